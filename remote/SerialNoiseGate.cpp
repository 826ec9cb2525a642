#include "remote/SerialNoiseGate.h"

#include "remote/SerialReceive.h"

#include <algorithm>

namespace remote {

std::size_t SerialCommandBytes(int protocol)
{
    // The text protocol finds its commands anywhere in the stream, so a box
    // may end each like a line of text; the others are framed by their
    // own bytes ("Binary4" ends its frames with CR LF itself).
    constexpr int LineEnd = 2;
    const int bytes = SerialReadSize(protocol) + (protocol == ProtocolText ? LineEnd : 0);
    return static_cast<std::size_t>(bytes);
}

SerialNoiseGate::SerialNoiseGate(std::size_t commandBytes, std::int64_t sinceMs)
    : bytesPerSlice_(CommandsPerSlice * std::max<std::size_t>(commandBytes, 1)),
      // A line that was quiet before has its slice to spare, and the slice
      // now.
      credit_(2 * bytesPerSlice_ * SliceMs), lastPollMs_(sinceMs)
{
}

bool SerialNoiseGate::Spend(std::size_t bytesRead, std::int64_t nowMs)
{
    // A clock set back tells nothing of the time that passed: it counts as a
    // slice.
    const auto elapsedMs = static_cast<std::uint64_t>(nowMs >= lastPollMs_ ? nowMs - lastPollMs_ : SliceMs);
    lastPollMs_ = nowMs;
    // The credit holds the slice now and one to spare; a late poll, all the
    // time it covers and one to spare, so keys that piled up while the tick
    // was held are no noise.
    const std::uint64_t slice = bytesPerSlice_ * SliceMs;
    const std::uint64_t earned = bytesPerSlice_ * elapsedMs;
    const std::uint64_t credit = std::min(credit_ + earned, slice + std::max(earned, slice));
    const std::uint64_t spent = static_cast<std::uint64_t>(bytesRead) * SliceMs;
    if (spent > credit) {
        // Noise owes nothing: what follows it is judged on its own.
        credit_ = 0;
        return false;
    }
    credit_ = credit - spent;
    return true;
}

SerialNoiseGate::Verdict SerialNoiseGate::Judge(std::size_t bytesRead, std::size_t heldBytes, std::int64_t nowMs)
{
    const bool within = Spend(bytesRead, nowMs);
    Verdict verdict;
    if (!inNoise_) {
        if (!within) {
            inNoise_ = true;
            dropped_ = heldBytes + bytesRead;
            lastOverMs_ = nowMs;
            verdict.noise = true;
        }
        return verdict;
    }
    dropped_ += bytesRead;
    // What the calm polls read still goes with the noise, up to the poll
    // that ends the episode.
    verdict.noise = bytesRead > 0;
    lastOverMs_ = within ? std::min(lastOverMs_, nowMs) : nowMs;
    if (bytesRead == 0 || nowMs - lastOverMs_ >= CalmMs) {
        verdict.endedDropping = Finish();
    }
    return verdict;
}

std::size_t SerialNoiseGate::Finish()
{
    const std::size_t dropped = inNoise_ ? dropped_ : 0;
    inNoise_ = false;
    dropped_ = 0;
    return dropped;
}

} // namespace remote
