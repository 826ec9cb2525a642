// Protocol 3, "Binary2": frames of three bytes [0x80 + box channel, command,
// argument]. Any byte 0x80..0x8F starts a frame, wherever it stands.
#include "remote/SerialProtocols.h"

#include <optional>
#include <utility>

namespace remote {

namespace {

constexpr std::size_t FrameLength = 3;

bool IsFrameStart(std::uint8_t byte)
{
    return byte >= 0x80 && byte <= 0x8F;
}

// The output a frame addresses under the port's output setting.
std::optional<int> FrameOutput(std::uint8_t target, int outputSetting)
{
    const int channel = target & 0x0F;
    if (outputSetting >= 0 && outputSetting <= 3) {
        return outputSetting;
    }
    if (outputSetting == 4) {
        return channel;
    }
    if (outputSetting >= 5 && outputSetting <= 7) {
        return channel - (outputSetting - 4);
    }
    if (outputSetting >= 8 && outputSetting <= 10) {
        return channel + (outputSetting - 7);
    }
    return std::nullopt;
}

// The remote code of a command and its argument; 0 for none. Arguments
// outside their command's range (buttons 1..100, pages 1..20, 1..4 for locks
// and the list cursor) make no code, so a damaged argument cannot turn a
// button into a stop or a page into a lock.
int FrameCode(std::uint8_t command, std::uint8_t argument, const SerialRemoteContext& context)
{
    switch (command) {
    case 0x11:
        switch (argument) {
        case 0x01:
            return 242;
        case 0x02:
            return 243;
        case 0x04:
            return 244;
        case 0x05:
            return 241;
        case 0x06:
            return 245;
        case 0x07:
            return 246;
        default:
            return 0;
        }
    case 0x12:
        return argument >= 1 && argument <= 100 ? argument : 0;
    case 0x13:
        return IsExistingPage(argument, context) ? 200 + argument : 0;
    case 0x14:
        return 255;
    case 0x16:
        return argument >= 1 && argument <= 4 ? 256 + argument : 0;
    default:
        return 0;
    }
}

} // namespace

SerialStep ParseBinary2Protocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                                const SerialRemoteContext& context)
{
    SerialStep step;
    std::vector<std::uint8_t>& buffer = state.buffer;
    buffer.insert(buffer.end(), received.begin(), received.end());
    std::size_t kept = buffer.size();
    for (std::size_t at = 0; at < buffer.size(); ++at) {
        if (!IsFrameStart(buffer[at])) {
            continue;
        }
        if (at + FrameLength > buffer.size()) {
            // A frame cut by the read: it completes with the next bytes.
            kept = at;
            break;
        }
        const std::optional<int> output = FrameOutput(buffer[at], context.outputSetting);
        const int code = FrameCode(buffer[at + 1], buffer[at + 2], context);
        if (output && IsExistingOutput(*output, context) && code >= 1) {
            step.actions.emplace_back(RemoteCommand{*output, code});
        }
        // The scan goes on right after the start byte: a command or argument
        // byte 0x80..0x8F is taken for the start of the next frame.
    }
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(kept));
    step.state = std::move(state);
    return step;
}

} // namespace remote
