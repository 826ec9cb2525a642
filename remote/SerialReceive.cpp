#include "remote/SerialReceive.h"

#include "remote/SerialProtocols.h"

#include <algorithm>
#include <utility>

namespace remote {

namespace {

// Pages a remote command can reach (codes 201..220).
constexpr int MaxRemotePages = 20;

} // namespace

int SerialReadSize(int protocol)
{
    switch (protocol) {
    case ProtocolText:
        return 4;
    case ProtocolBinary1:
        return 1;
    case ProtocolBinary2:
        return 3;
    case ProtocolBinary3:
        return 6;
    case ProtocolBinary4:
        return 8;
    default:
        return 0;
    }
}

int SerialParity(int protocol)
{
    return protocol == ProtocolBinary3 ? 2 : 0;
}

bool IsExistingOutput(int output, const SerialRemoteContext& context)
{
    return output >= 0 && output < std::min(context.numOut, MaxOutputs);
}

bool IsExistingPage(int pageNumber, const SerialRemoteContext& context)
{
    return pageNumber >= 1 && pageNumber <= std::min(context.pageNum, MaxRemotePages);
}

SerialStep ParseSerialInput(int protocol, SerialReceiveState state, std::span<const std::uint8_t> received,
                            const SerialRemoteContext& context)
{
    switch (protocol) {
    case ProtocolText:
        return ParseTextProtocol(std::move(state), received, context);
    case ProtocolBinary1:
        return ParseBinary1Protocol(std::move(state), received, context);
    case ProtocolBinary2:
        return ParseBinary2Protocol(std::move(state), received, context);
    case ProtocolBinary3:
        return ParseBinary3Protocol(std::move(state), received, context);
    case ProtocolBinary4:
        return ParseBinary4Protocol(std::move(state), received, context);
    default: {
        SerialStep step;
        step.state = std::move(state);
        return step;
    }
    }
}

int FeedSerialInput(int protocol, SerialReceiveState& state, std::span<const std::uint8_t> received,
                    const std::function<SerialRemoteContext()>& readContext,
                    const std::function<void(const SerialAction&)>& carryOut)
{
    int commands = 0;
    std::span<const std::uint8_t> bytes = received;
    while (true) {
        SerialStep step = ParseSerialInput(protocol, std::move(state), bytes, readContext());
        bytes = {};
        state = std::move(step.state);
        for (const SerialAction& action : step.actions) {
            if (std::holds_alternative<RemoteCommand>(action) || std::holds_alternative<ContactClosure>(action)) {
                ++commands;
            }
            carryOut(action);
        }
        if (!step.more) {
            return commands;
        }
    }
}

} // namespace remote
