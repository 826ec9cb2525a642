#include "remote/SerialNoiseGate.h"

#include <algorithm>

namespace remote {

SerialNoiseGate::SerialNoiseGate(std::size_t commandBytes, std::int64_t sinceMs)
    : commandBytes_(std::max<std::size_t>(commandBytes, 1)), lastPollMs_(sinceMs)
{
}

SerialNoiseGate::Verdict SerialNoiseGate::Judge(std::size_t bytesRead, std::int64_t nowMs)
{
    // A poll sooner than a slice after the previous one (a short timer
    // interval, a tick run at once by a stopping player, a clock set back)
    // still allows a slice's worth: one key press is never noise. A late poll
    // allows for all the time it covers.
    const std::int64_t elapsedMs = std::max(nowMs - lastPollMs_, SliceMs);
    lastPollMs_ = nowMs;
    Verdict verdict;
    if (inNoise_) {
        if (bytesRead == 0) {
            verdict.endedDropping = Finish();
        } else {
            dropped_ += bytesRead;
            verdict.noise = true;
        }
        return verdict;
    }
    // bytesRead > CommandsPerSlice x commandBytes x elapsed / SliceMs, without
    // the rounding of the division.
    const auto allowance =
        static_cast<std::uint64_t>(CommandsPerSlice * commandBytes_) * static_cast<std::uint64_t>(elapsedMs);
    if (static_cast<std::uint64_t>(bytesRead) * static_cast<std::uint64_t>(SliceMs) > allowance) {
        inNoise_ = true;
        dropped_ = bytesRead;
        verdict.noise = true;
    }
    return verdict;
}

void SerialNoiseGate::AddDropped(std::size_t bytes)
{
    dropped_ += bytes;
}

std::size_t SerialNoiseGate::Finish()
{
    const std::size_t dropped = inNoise_ ? dropped_ : 0;
    inNoise_ = false;
    dropped_ = 0;
    return dropped;
}

} // namespace remote
