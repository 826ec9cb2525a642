// Protocol 5, "Binary4": frames of six ASCII digits, output, page and button
// two digits each, then CR LF; each frame is answered "OK" or "NG" with CR LF.
#include "remote/SerialProtocols.h"

#include <algorithm>
#include <utility>

namespace remote {

namespace {

constexpr std::uint8_t LineFeed = 0x0A;
// Six digits and the byte before the LF (CR, not checked).
constexpr std::size_t BeforeLineFeed = 7;

PortAnswer TextAnswer(bool accepted)
{
    return accepted ? PortAnswer{{'O', 'K', '\r', '\n'}} : PortAnswer{{'N', 'G', '\r', '\n'}};
}

// The six bytes of one frame; a bad button after a good page still selects
// the page.
void TakeFrame(std::span<const std::uint8_t> digits, const SerialRemoteContext& context,
               std::vector<SerialAction>& actions)
{
    if (!std::all_of(digits.begin(), digits.end(), IsDigitByte)) {
        actions.emplace_back(TextAnswer(false));
        return;
    }
    const auto pair = [&digits](std::size_t at) { return (digits[at] - '0') * 10 + (digits[at + 1] - '0'); };
    const int output = pair(0) - 1;
    const int page = pair(2);
    const int button = pair(4);
    if (!IsExistingOutput(output, context) || !IsExistingPage(page, context)) {
        actions.emplace_back(TextAnswer(false));
        return;
    }
    actions.emplace_back(RemoteCommand{output, 200 + page});
    if (button < 1 || button > context.buttonsPerPage[static_cast<std::size_t>(output)]) {
        actions.emplace_back(TextAnswer(false));
        return;
    }
    actions.emplace_back(RemoteCommand{output, button});
    actions.emplace_back(TextAnswer(true));
}

} // namespace

SerialStep ParseBinary4Protocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                                const SerialRemoteContext& context)
{
    SerialStep step;
    std::vector<std::uint8_t>& buffer = state.buffer;
    buffer.insert(buffer.end(), received.begin(), received.end());
    // Every LF with seven bytes before it since the last frame closes a frame;
    // an LF with fewer is taken as a byte like any other.
    std::size_t start = 0;
    for (std::size_t at = start + BeforeLineFeed; at < buffer.size(); ++at) {
        if (buffer[at] != LineFeed || at - start < BeforeLineFeed) {
            continue;
        }
        TakeFrame(std::span(buffer).subspan(at - BeforeLineFeed, 6), context, step.actions);
        start = at + 1;
    }
    // What follows the last frame stays, at most the seven bytes a frame
    // needs before its LF, so a frame cut by the read, or one after noise,
    // still completes.
    start = std::max(start, buffer.size() > BeforeLineFeed ? buffer.size() - BeforeLineFeed : 0);
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(start));
    step.state = std::move(state);
    return step;
}

} // namespace remote
