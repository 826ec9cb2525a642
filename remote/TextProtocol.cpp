// Protocol 1, "Text": commands of four characters, "STOP", "PLAY", "B" or "P"
// followed by three digits, found anywhere in the stream.
#include "remote/SerialProtocols.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

namespace remote {

namespace {

constexpr std::size_t CommandLength = 4;
// What stays of a buffer without a command: enough for one still incomplete.
constexpr std::size_t KeptTail = CommandLength - 1;

bool WordAt(std::span<const std::uint8_t> bytes, std::string_view word)
{
    return std::equal(word.begin(), word.end(), bytes.begin(),
                      [](char letter, std::uint8_t byte) { return static_cast<std::uint8_t>(letter) == byte; });
}

// The value of three digits, none when any is not '0'..'9'.
std::optional<int> ThreeDigits(std::span<const std::uint8_t> bytes)
{
    int value = 0;
    for (const std::uint8_t byte : bytes.first(3)) {
        if (!IsDigitByte(byte)) {
            return std::nullopt;
        }
        value = value * 10 + (byte - '0');
    }
    return value;
}

// Whether the four bytes are a command; its action, if any, goes to actions.
bool TakeCommand(std::span<const std::uint8_t> bytes, const SerialRemoteContext& context,
                 std::vector<SerialAction>& actions)
{
    // A contact-mode port addresses no output: only its "B" commands act.
    const bool contactMode = context.outputSetting >= 4;
    const int output = context.outputSetting;
    const bool toOutput = !contactMode && IsExistingOutput(output, context);
    if (WordAt(bytes, "STOP") || WordAt(bytes, "PLAY")) {
        if (toOutput) {
            actions.emplace_back(RemoteCommand{output, bytes[0] == 'S' ? 241 : 244});
        }
        return true;
    }
    if (bytes[0] != 'B' && bytes[0] != 'P') {
        return false;
    }
    const std::optional<int> number = ThreeDigits(bytes.subspan(1));
    if (!number) {
        return false;
    }
    if (bytes[0] == 'B') {
        if (*number >= 1 && contactMode) {
            actions.emplace_back(ContactClosure{*number});
        } else if (*number >= 1 && toOutput) {
            actions.emplace_back(RemoteCommand{output, *number});
        }
    } else if (toOutput && IsExistingPage(*number, context)) {
        actions.emplace_back(RemoteCommand{output, 200 + *number});
    }
    return true;
}

} // namespace

SerialStep ParseTextProtocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                             const SerialRemoteContext& context)
{
    SerialStep step;
    std::vector<std::uint8_t>& buffer = state.buffer;
    buffer.insert(buffer.end(), received.begin(), received.end());
    // The first command by position wins; whatever lies before it and the
    // command itself leave the buffer, and the scan starts again.
    std::size_t start = 0;
    while (buffer.size() - start >= CommandLength) {
        bool found = false;
        for (std::size_t at = start; at + CommandLength <= buffer.size(); ++at) {
            if (TakeCommand(std::span(buffer).subspan(at, CommandLength), context, step.actions)) {
                start = at + CommandLength;
                found = true;
                break;
            }
        }
        if (!found) {
            start = buffer.size() - KeptTail;
        }
    }
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(start));
    step.state = std::move(state);
    return step;
}

} // namespace remote
