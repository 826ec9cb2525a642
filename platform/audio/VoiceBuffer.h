#pragma once

#include <atomic>
#include <cstdint>
#include <span>

namespace platform::audio {

// One block of samples queued on a voice, in the voice's format. The owner
// keeps the memory and must leave it untouched from Write until Done reads
// true; a done buffer may be filled and written again. Done is set by the
// mixer once it has taken the last frame, so a poller sees it without any call.
// A looping buffer starts again at its first frame each time its last one has
// been taken, and so never becomes done, until looping is switched off (it then
// ends after the pass under way) or the voice is reset.
class VoiceBuffer {
public:
    std::span<const std::uint8_t> data;

    void SetLooping(bool looping) { looping_.store(looping, std::memory_order_release); }
    bool Looping() const { return looping_.load(std::memory_order_acquire); }

    bool Done() const { return state_.load(std::memory_order_acquire) == Finished; }
    bool Queued() const { return state_.load(std::memory_order_acquire) == Waiting; }
    // Back to the fresh state (neither queued nor done); ignored while queued.
    void Clear()
    {
        int expected = Finished;
        state_.compare_exchange_strong(expected, Fresh, std::memory_order_acq_rel);
    }

private:
    friend class Voice;
    enum State : int { Fresh, Waiting, Finished };
    std::atomic<int> state_{Fresh};
    std::atomic<bool> looping_{false};
};

} // namespace platform::audio
