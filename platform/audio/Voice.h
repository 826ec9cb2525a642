#pragma once

#include "platform/audio/AudioError.h"
#include "platform/audio/ChannelRouting.h"
#include "platform/audio/GainRamp.h"
#include "platform/audio/SpscRing.h"
#include "platform/audio/StreamFormat.h"
#include "platform/audio/VoiceBuffer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform::audio {

class OutputDevice;

// One sound stream on an output device, as a wave-out handle was: buffers are
// queued in order and played one after the other, each marked done once the
// mixer has taken its last frame; the position counts the frames played since
// the voice was opened or last reset. Several voices share one device, each
// with its own two-channel volume, so one voice's level never moves another's.
//
// The control side (every public member) belongs to one thread, the program's.
// The mixer side runs on the device's mixer thread and never allocates, locks
// (it only tries the voice's lock and skips the voice for one period when the
// control side holds it), logs or touches files.
class Voice {
public:
    // Most buffers queued at once.
    static constexpr int MaxQueuedBuffers = 256;
    // Length of a volume change, and of the fade that keeps a pause, a resume
    // or a reset from clicking.
    static constexpr int VolumeRampMs = 5;
    static constexpr int DeclickFrames = 64;

    struct Key; // only the device creates voices
    Voice(const Key&, std::shared_ptr<OutputDevice> device, const StreamFormat& format);
    // Closing takes the voice off its device; buffers still queued become
    // done, and what still sounds of it fades out as after a Reset.
    ~Voice();
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    // A number that names this voice for as long as the process runs, never 0
    // (callers that kept wave-out handles use it as theirs).
    std::int32_t Handle() const { return handle_; }
    const StreamFormat& Format() const { return format_; }
    OutputDevice& Device() const { return *device_; }

    // Queues a buffer behind the ones already queued. A buffer still queued,
    // or a full queue, is refused.
    AudioError Write(VoiceBuffer& buffer);
    // Write for a voice fed by a decoder's own thread instead of the program's:
    // it never syncs the device, so it is safe off the program's thread. Such
    // a thread is then the voice's only writer.
    AudioError WriteFromStream(VoiceBuffer& buffer);
    // Pause holds the position (queued buffers wait, and new ones queue);
    // Restart goes on from there. Both take effect at the next mixer period.
    void Pause();
    void Restart();
    bool Paused() const { return pauseRequested_.load(std::memory_order_relaxed); }
    // Stops at once: every queued buffer becomes done and the position is 0.
    // When it returns, the mixer no longer reads any of the buffers.
    void Reset();
    // Frames of the voice's format played since the voice was opened or reset.
    std::uint64_t Position();
    // The same as last mixed, without mixing what a device paced by hand owes
    // first: for a thread other than the one that paces it.
    std::uint64_t MixedPosition() const { return position_.load(std::memory_order_acquire); }
    // Linear gains of the left (even) and right (odd) channels, 0 .. 1; the
    // voice moves to them over VolumeRampMs, or at once while it is silent
    // (not yet started, reset, paused or run dry). A mono voice sounds on the
    // left speaker at the left gain and on the right one at the right gain.
    void SetVolume(float left, float right);
    float LeftVolume() const { return leftTarget_.load(std::memory_order_relaxed); }
    float RightVolume() const { return rightTarget_.load(std::memory_order_relaxed); }
    // Playback rate in Hz (the format's rate at opening); other rates than the
    // device's are resampled.
    void SetRate(int rate);
    int Rate() const { return rateRequested_.load(std::memory_order_relaxed); }
    int QueuedBuffers() const { return static_cast<int>(queue_.Size()); }
    // Any thread: more of the sound is still to come than is queued (a
    // decoder feeds the voice). A start then takes from it no more at once
    // than it holds, and frames it has to leave silent for want of more
    // are counted (see StarvedFrames).
    // A voice that ran dry may wait for more before its card wakes: its end
    // wakes it.
    void SetMoreToCome(bool more);
    // Device frames the voice left silent while more was to come, since it
    // was opened.
    std::uint64_t StarvedFrames() const { return starved_.load(std::memory_order_acquire); }
    // Any thread: device frames of silence heard in place of the voice while
    // more was to come. Those mixed silent, less the silence its card dropped
    // unheard when it stopped for want of sound, plus the time the card then
    // stood stopped (until now, while it still does).
    std::int64_t SilenceHeardFrames() const;
    // Mixer side: the card stops now (monotonic nanoseconds), dropping dropped
    // frames unheard; a voice left silent for want of more hears silence
    // until the card starts again.
    void NoteCardStopped(std::int64_t nowNs, int dropped);
    // Mixer side: the card starts again now.
    void NoteCardStarted(std::int64_t nowNs);
    // Any thread: the voice plays at most frames frames of its format from
    // position 0 (the part of its queue known to hold the sound), then holds
    // in silence with its position kept until the limit moves on. Kept over
    // a reset; NoPlayLimit lifts it.
    static constexpr std::uint64_t NoPlayLimit = ~std::uint64_t{0};
    void SetPlayLimit(std::uint64_t frames) { playLimit_.store(frames, std::memory_order_release); }
    // False when the device had no free voice slot.
    bool Attached() const { return slot_ >= 0; }
    // Lets a device on virtual time catch up with the clock and passes the
    // mixer's log events on. A poller calls it before reading done flags.
    void Sync();

    // Mixer side: adds one period of this voice to the device's interleaved
    // mix. Called by the mixer with the voice's lock held.
    void MixInto(float* mix, int frames);
    bool TryLock() { return !locked_.exchange(true, std::memory_order_acquire); }
    // Mixer side, with the lock held: nothing played since opening or the
    // last reset, and not paused (a start may be mixed into queued audio).
    // Mixer side: where in the frames it last mixed the voice's sound ran
    // out (it had played and its queue ran empty), or -1; taken once.
    int TakeEndedAt()
    {
        const int at = endedAt_;
        endedAt_ = -1;
        return at;
    }
    // Mixer side, with the lock held: device frames the voice can play from
    // what is queued, up to limit (limit when no more is to come).
    int HeldFrames(int limit) const;
    bool Fresh() const { return playedFrames_ == 0 && !paused_ && !pauseRequested_.load(std::memory_order_acquire); }
    void Unlock() { locked_.store(false, std::memory_order_release); }
    // Mixer side, with the lock held: something of this voice sounded in the
    // frames it last mixed, or its fade-out still runs.
    bool Sounding() const { return !silent_ || tailRemaining_ > 0; }
    // Any thread: buffers are queued and the voice is not paused, so it plays
    // at the next period.
    bool WaitsToPlay() const { return !queue_.Empty() && !pauseRequested_.load(std::memory_order_seq_cst); }

private:
    void Lock();
    std::size_t PullFrames(float* out, std::size_t frames);
    int Direct(int frames);
    int Resample(int frames);
    void ResetResampler();
    void StartDeclick();
    void AddDeclick(float* mix, int frames);
    void FinishAll();
    // With the lock held: the sound ran out by itself (nothing queued, none
    // to come), so its last frame is its end and owes no fade.
    void ForgetLastFrameIfEnded();

    std::shared_ptr<OutputDevice> device_;
    const StreamFormat format_;
    const int deviceRate_;
    const int deviceChannels_;
    // A mono voice is mixed as two equal channels, so that its left and right
    // volumes reach the left and right speakers and it can be panned.
    const int mixChannels_;
    const ChannelRouting routing_;
    int slot_ = -1;
    const std::int32_t handle_;

    // Control -> mixer.
    SpscRing<VoiceBuffer*> queue_{MaxQueuedBuffers};
    std::atomic<bool> pauseRequested_{false};
    std::atomic<float> leftTarget_{1.0f};
    std::atomic<float> rightTarget_{1.0f};
    std::atomic<int> rateRequested_;
    std::atomic<bool> locked_{false};
    std::atomic<bool> moreToCome_{false};
    std::atomic<std::uint64_t> playLimit_{NoPlayLimit};
    // Mixer -> control.
    std::atomic<std::uint64_t> position_{0};
    std::atomic<std::uint64_t> starved_{0};
    // The last period mixed left the voice silent for want of more.
    std::atomic<bool> starving_{false};
    // Of the silence heard while its card stood stopped: frames counted so
    // far, which may be negative (it dropped more than it then stood still),
    // and when the stop began to be heard (notStopped while it runs).
    static constexpr std::int64_t notStopped = INT64_MIN;
    std::atomic<std::int64_t> stoppedFrames_{0};
    std::atomic<std::int64_t> stoppedSinceNs_{notStopped};
    std::int64_t FramesIn(std::int64_t ns) const;

    // Mixer state, guarded by the voice's lock.
    std::uint64_t playedFrames_ = 0;
    std::size_t frontFrame_ = 0;
    bool paused_ = false;
    int appliedRate_;
    std::uint64_t step_; // input frames per output frame, 32.32 fixed point
    bool resampling_ = false;
    std::uint64_t phase_ = 0; // 32.32 fixed point, between history frames 1 and 2
    std::array<float, 4 * MaxChannels> history_{};
    int zeroFeed_ = 0;
    GainRamp left_;
    GainRamp right_;
    int rampIn_ = 0;
    // Nothing of this voice sounded in the last period: a new volume applies
    // at once, so a sound started at a low level never begins louder.
    bool silent_ = true;
    bool sounding_ = false; // the last period mixed was full
    int endedAt_ = -1;
    std::array<float, MaxChannels> lastFrame_{};
    std::array<float, MaxChannels> tail_{};
    int tailRemaining_ = 0;
    std::vector<float> input_; // decoded frames of the voice's format
    // Mixer side: output_'s frames from .. to times the volume that holds still.
    void ApplySteadyGain(int from, int to);
    std::vector<float> output_; // one period at the device rate, mix channels
    std::size_t inputCapacityFrames_ = 0;
};

} // namespace platform::audio

namespace platform::audio {

struct Voice::Key {
private:
    Key() = default;
    friend class OutputDevice;
};

} // namespace platform::audio
