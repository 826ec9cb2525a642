#pragma once

#include <cstddef>
#include <cstdint>

namespace remote {

// Tells line noise (a wrong baud rate, a loose cable) from a remote box by how
// fast the bytes come. A person presses a key at most every 50 ms or so, and a
// box sends one or two commands a key; a poll that reads more than four
// commands' worth of bytes for each 50 ms since the previous poll reads noise.
// From then on all the port reads is noise, until a poll reads nothing: the
// line has fallen quiet, and what the box sends next counts again.
class SerialNoiseGate {
public:
    static constexpr std::int64_t SliceMs = 50;
    static constexpr std::size_t CommandsPerSlice = 4;

    SerialNoiseGate() = default;
    // commandBytes: the bytes of one command of the port's protocol (its
    // longest); sinceMs: the instant that counts as the previous poll.
    SerialNoiseGate(std::size_t commandBytes, std::int64_t sinceMs);

    struct Verdict {
        // What the poll read is noise: none of it may act.
        bool noise = false;
        // The poll ended a noise episode that dropped this many bytes; 0 when
        // it ended none.
        std::size_t endedDropping = 0;
    };
    // One poll at nowMs that read bytesRead bytes.
    Verdict Judge(std::size_t bytesRead, std::int64_t nowMs);
    // Bytes read by earlier polls and dropped with the noise that followed them.
    void AddDropped(std::size_t bytes);
    // Ends an episode that is still on (the port closes): the bytes it
    // dropped; 0 when there was none.
    std::size_t Finish();

private:
    std::size_t commandBytes_ = 1;
    std::int64_t lastPollMs_ = 0;
    bool inNoise_ = false;
    std::size_t dropped_ = 0;
};

} // namespace remote
