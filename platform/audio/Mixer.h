#pragma once

#include "platform/audio/StreamFormat.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

namespace platform::audio {

class Voice;

// Sums the voices of one device, one period at a time. Voices join and leave
// from the program's thread while the mixer thread runs: a leaving voice is
// unhooked first, then Detach waits until no mixing pass that may still see it
// is running (a pass takes microseconds), so the voice can be freed safely.
class Mixer {
public:
    static constexpr int MaxVoices = 64;

    // What a closed voice still owes its device: the fade of a stop, from
    // these levels of the device's channels down to nothing in a straight
    // line over Voice::DeclickFrames, of which remaining frames are left.
    struct Fade {
        std::array<float, MaxChannels> levels{};
        int remaining = 0;
    };

    Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Program side. Attach gives the slot, or -1 when every slot is taken.
    int Attach(Voice& voice);
    // With the voice's lock held: unhooks it, and mixes its fade from the
    // next pass on, right after the last frames mixed of it, so that a voice
    // closed while it sounds ends as a stopped one does, not in one step.
    void Detach(int slot, const Fade& fade);
    int VoiceCount() const;

    // Mixer side: clears the interleaved mix and adds every voice to it,
    // but a voice about to start (its flag in starting set, nothing played
    // yet), which MixStarting places where the device plays it soonest.
    // Returns where in the period the last sound that ran out ended, or -1.
    int MixPeriod(std::span<float> mix, int frames, const std::array<std::atomic<bool>, MaxVoices>* starting = nullptr);
    // Mixer side: adds to mix (frames of channels, in pieces of at most
    // period) the voices whose starting flag is set and that have not played
    // yet; clears the flags. Voices already playing are never mixed twice.
    // Returns where in mix the last starting sound that ran out ended, or -1.
    int MixStarting(float* mix, int frames, int period, int channels,
                    std::array<std::atomic<bool>, MaxVoices>& starting);
    // Mixer side: the fewest frames, up to limit, that a voice whose flag in
    // starting is set and that has not played yet can fill from what it
    // holds (see Voice::HeldFrames).
    int FramesHeldByStarting(int limit, const std::array<std::atomic<bool>, MaxVoices>& starting);
    // Mixer side: whether any voice sounded in the last MixPeriod (or waited
    // for its start there).
    bool Sounded() const { return sounded_; }
    // Mixer side: whether any voice has buffers queued and is not paused, and
    // (when holding is not 0) holds holding frames of its sound, its end, or
    // ResumeBuffers buffers (what a decoder gives before it waits for some to
    // play may be no more).
    static constexpr int ResumeBuffers = 16;
    bool AnyVoiceWaitsToPlay(int holding = 0);
    // Mixer side: the device stopped while silent (dropping dropped frames
    // unheard), or starts again; the voices left silent for want of more
    // count the time between as silence heard (see Voice::SilenceHeardFrames).
    void NoteCardStopped(std::int64_t nowNs, int dropped);
    void NoteCardStarted(std::int64_t nowNs);
    std::uint64_t Passes() const { return passes_.load(std::memory_order_acquire) / 2; }

private:
    // Mixer side: calls f on every voice in the slots, counted as a pass so
    // that a voice removed meanwhile is not deleted under it.
    template <typename F>
    void ForEachVoiceInAPass(F&& f)
    {
        passes_.fetch_add(1, std::memory_order_seq_cst);
        for (auto& slot : slots_) {
            if (Voice* voice = slot.load(std::memory_order_seq_cst)) {
                f(*voice);
            }
        }
        passes_.fetch_add(1, std::memory_order_seq_cst);
    }

    // Mixer side, first in a pass: adds the fades of closed voices. One
    // given in a pass waits for the next, as the voice may have been mixed
    // in it.
    void AddFades(std::span<float> mix, int frames);

    std::array<std::atomic<Voice*>, MaxVoices> slots_{};
    struct PendingFade {
        // Frames left; -1 while the program fills it in, 0 when free.
        std::atomic<int> remaining{0};
        std::array<float, MaxChannels> levels{};
    };
    std::array<PendingFade, MaxVoices> fades_{};
    // Odd while a pass runs; each pass adds 2.
    std::atomic<std::uint64_t> passes_{0};
    bool sounded_ = false;
};

} // namespace platform::audio
