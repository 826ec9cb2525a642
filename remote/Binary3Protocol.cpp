// Protocol 4, "Binary3": frames between STX and ETX, [STX, letter, output
// digit, ..., ETX], each answered [STX, ACK, output digit, ETX] when it acts.
#include "remote/SerialProtocols.h"

#include <utility>

namespace remote {

namespace {

constexpr std::uint8_t Stx = 0x02;
constexpr std::uint8_t Etx = 0x03;
constexpr std::uint8_t Ack = 0x06;

std::size_t FrameLength(std::uint8_t letter)
{
    switch (letter) {
    case 'M':
        return 5;
    case 'D':
    case 'Q':
        return 6;
    default:
        return 4;
    }
}

PortAnswer Acknowledge(int output)
{
    return PortAnswer{{Stx, Ack, static_cast<std::uint8_t>('0' + output), Etx}};
}

// Plays the button (or next list item), or on a list output long enough for
// it, cues the row of that number instead (no answer then).
void FinishButtonFrame(const PendingButtonFrame& frame, const SerialRemoteContext& context,
                       std::vector<SerialAction>& actions)
{
    if (frame.listCue && context.isList[static_cast<std::size_t>(frame.output)] &&
        context.listItemCount[static_cast<std::size_t>(frame.output)] >= frame.code) {
        actions.emplace_back(ListRowCue{frame.output, frame.code - 1});
        return;
    }
    actions.emplace_back(RemoteCommand{frame.output, frame.code});
    actions.emplace_back(Acknowledge(frame.output));
}

enum class FrameKind {
    NotAFrame, // the STX starts no frame: the scan goes on after it
    Done,      // a whole frame, acted on or skipped
};

// One complete frame at the front of bytes (STX ... ETX). A "D" or "Q" frame
// that has to select its page first leaves its rest in pending.
FrameKind TakeFrame(std::span<const std::uint8_t> frame, const SerialRemoteContext& context,
                    std::vector<SerialAction>& actions, std::optional<PendingButtonFrame>& pending)
{
    if (frame.back() != Etx || !IsDigitByte(frame[2])) {
        return FrameKind::NotAFrame;
    }
    const std::uint8_t letter = frame[1];
    const int output = frame[2] - '0';
    if ((letter == 'D' || letter == 'Q') && (!IsDigitByte(frame[3]) || !IsDigitByte(frame[4]))) {
        return FrameKind::NotAFrame;
    }
    // A frame for an output the program does not have is passed over.
    if (!IsExistingOutput(output, context)) {
        return FrameKind::Done;
    }
    switch (letter) {
    case 'P':
    case 'A':
    case 'T':
        actions.emplace_back(RemoteCommand{output, letter == 'P' ? 244 : letter == 'A' ? 246 : 241});
        actions.emplace_back(Acknowledge(output));
        break;
    case 'M':
        actions.emplace_back(Acknowledge(output));
        break;
    case 'D':
    case 'Q': {
        const int number = (frame[3] - '0') * 10 + (frame[4] - '0');
        const int perPage = context.buttonsPerPage[static_cast<std::size_t>(output)];
        if (number < 1 || perPage < 1) {
            break;
        }
        const int page = (number - 1) / perPage;
        // A number beyond the last page is ignored rather than played on the
        // page that happens to be shown.
        if (!IsExistingPage(page + 1, context)) {
            break;
        }
        const int code = number % perPage == 0 ? perPage : number % perPage;
        const PendingButtonFrame rest{output, code, letter == 'Q'};
        if (page != context.currentPage[static_cast<std::size_t>(output)]) {
            actions.emplace_back(RemoteCommand{output, 201 + page});
            pending = rest;
        } else {
            FinishButtonFrame(rest, context, actions);
        }
        break;
    }
    default:
        break;
    }
    return FrameKind::Done;
}

} // namespace

SerialStep ParseBinary3Protocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                                const SerialRemoteContext& context)
{
    SerialStep step;
    std::vector<std::uint8_t>& buffer = state.buffer;
    buffer.insert(buffer.end(), received.begin(), received.end());
    if (state.pending) {
        const PendingButtonFrame frame = *state.pending;
        state.pending.reset();
        if (IsExistingOutput(frame.output, context)) {
            FinishButtonFrame(frame, context, step.actions);
        }
        step.more = !buffer.empty();
        step.state = std::move(state);
        return step;
    }
    std::size_t at = 0;
    while (at < buffer.size()) {
        if (buffer[at] != Stx) {
            ++at;
            continue;
        }
        if (at + 1 >= buffer.size() || at + FrameLength(buffer[at + 1]) > buffer.size()) {
            break; // a frame cut by the read stays for the next bytes
        }
        const std::size_t length = FrameLength(buffer[at + 1]);
        const FrameKind kind = TakeFrame(std::span(buffer).subspan(at, length), context, step.actions, state.pending);
        if (kind == FrameKind::NotAFrame) {
            ++at;
            continue;
        }
        at += length;
        // Whatever a frame did may change the page or list the next one reads.
        if (!step.actions.empty()) {
            step.more = state.pending.has_value() || at < buffer.size();
            break;
        }
    }
    buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(at));
    step.state = std::move(state);
    return step;
}

} // namespace remote
