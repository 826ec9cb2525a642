#pragma once

#include <cstddef>
#include <cstdint>

namespace remote {

// The bytes of one command of a protocol (setting ComMode_<n>) as a box may
// send it: its longest command with the framing the protocol accepts around
// it. A text box may end each command with CR LF; the binary protocols frame
// every byte themselves. 0 for an unknown protocol.
std::size_t SerialCommandBytes(int protocol);

// Tells line noise (a wrong baud rate, a loose cable) from a remote box by how
// fast the bytes come. A person presses a key at most every 50 ms or so, and a
// box sends one or two commands a key: the port earns four commands' worth of
// bytes for each 50 ms that passes, and may keep up to one such slice unused
// besides the slice now, so that keys sent together (eight commands at once)
// or a poll a few ms late stay within it, however close the polls come. A
// poll that comes late has earned all the time it covers. A poll that reads
// more than the port has earned reads noise.
// From then on all the port reads is noise, until a poll reads nothing (the
// line has fallen quiet) or the polls have stayed within the allowance for
// CalmMs (a box that keeps sending); what the port reads after that counts
// again.
class SerialNoiseGate {
public:
    static constexpr std::int64_t SliceMs = 50;
    static constexpr std::size_t CommandsPerSlice = 4;
    static constexpr std::int64_t CalmMs = 250;

    SerialNoiseGate() = default;
    // commandBytes: the bytes of one command of the port's protocol
    // (SerialCommandBytes); sinceMs: the instant that counts as the previous
    // poll.
    SerialNoiseGate(std::size_t commandBytes, std::int64_t sinceMs);

    struct Verdict {
        // What the poll read is noise: none of it may act.
        bool noise = false;
        // The poll ended a noise episode that dropped this many bytes; 0 when
        // it ended none.
        std::size_t endedDropping = 0;
    };
    // One poll at nowMs that read bytesRead bytes. heldBytes: bytes read by
    // earlier polls that have not acted yet; they go with the noise when this
    // poll starts an episode.
    Verdict Judge(std::size_t bytesRead, std::size_t heldBytes, std::int64_t nowMs);
    // Ends an episode that is still on (the port closes): the bytes it
    // dropped; 0 when there was none.
    std::size_t Finish();

private:
    // Takes the poll's bytes from the credit; false when they exceed it.
    bool Spend(std::size_t bytesRead, std::int64_t nowMs);

    // Credits count bytes times milliseconds, so that no division rounds.
    std::uint64_t bytesPerSlice_ = CommandsPerSlice;
    // What the port has earned and not read as of the previous poll.
    std::uint64_t credit_ = 0;
    std::int64_t lastPollMs_ = 0;
    bool inNoise_ = false;
    std::int64_t lastOverMs_ = 0;
    std::size_t dropped_ = 0;
};

} // namespace remote
