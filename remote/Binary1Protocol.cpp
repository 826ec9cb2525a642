// Protocol 2, "Binary1": every byte is one remote code, or on a contact-mode
// port the number of a contact input.
#include "remote/SerialProtocols.h"

#include <utility>

namespace remote {

SerialStep ParseBinary1Protocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                                const SerialRemoteContext& context)
{
    SerialStep step;
    const bool contactMode = context.outputSetting >= 4;
    for (const std::uint8_t byte : received) {
        if (byte == 0) {
            continue;
        }
        if (contactMode) {
            step.actions.emplace_back(ContactClosure{byte});
        } else if (IsExistingOutput(context.outputSetting, context)) {
            step.actions.emplace_back(RemoteCommand{context.outputSetting, byte});
        }
    }
    state.buffer.clear();
    state.pending.reset();
    step.state = std::move(state);
    return step;
}

} // namespace remote
