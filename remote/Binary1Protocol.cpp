// Protocol 2, "Binary1": every byte is one remote code, or on a contact-mode
// port the number of a contact input. Bytes that are neither (line noise, 0)
// are passed over, so they never count as commands.
#include "remote/RemoteDispatcher.h"
#include "remote/SerialProtocols.h"

#include <utility>

namespace remote {

SerialStep ParseBinary1Protocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                                const SerialRemoteContext& context)
{
    SerialStep step;
    const bool contactMode = context.outputSetting >= 4;
    for (const std::uint8_t byte : received) {
        if (contactMode) {
            if (byte >= 1 && byte <= RemoteDispatcher::ContactInputs) {
                step.actions.emplace_back(ContactClosure{byte});
            }
        } else if (RemoteDispatcher::IsRemoteCode(byte) && IsExistingOutput(context.outputSetting, context)) {
            step.actions.emplace_back(RemoteCommand{context.outputSetting, byte});
        }
    }
    state.buffer.clear();
    state.pending.reset();
    step.state = std::move(state);
    return step;
}

} // namespace remote
