#include "platform/audio/Voice.h"

#include "platform/audio/MixerThreadObserver.h"
#include "platform/audio/MonotonicTime.h"
#include "platform/audio/OutputDevice.h"

#include <algorithm>
#include <thread>

namespace platform::audio {

namespace {

constexpr std::uint64_t unitStep = std::uint64_t{1} << 32;

std::int32_t NextHandle()
{
    static std::atomic<std::int32_t> last{0};
    std::int32_t handle = 0;
    while (handle <= 0) {
        handle = last.fetch_add(1, std::memory_order_relaxed) + 1;
        if (handle <= 0) {
            last.store(0, std::memory_order_relaxed);
        }
    }
    return handle;
}

std::uint64_t StepFor(int rate, int deviceRate)
{
    return (static_cast<std::uint64_t>(rate) << 32) / static_cast<std::uint64_t>(deviceRate);
}

// Catmull-Rom interpolation between y1 and y2 at t in [0, 1).
inline float Interpolate(float y0, float y1, float y2, float y3, float t)
{
    return y1 + 0.5f * t * (y2 - y0 + t * (2.0f * y0 - 5.0f * y1 + 4.0f * y2 - y3 + t * (3.0f * (y1 - y2) + y3 - y0)));
}

} // namespace

Voice::Voice(const Key&, std::shared_ptr<OutputDevice> device, const StreamFormat& format)
    : device_(std::move(device)), format_(format), deviceRate_(device_->Rate()), deviceChannels_(device_->Channels()),
      mixChannels_(format.channels == 1 ? 2 : format.channels), routing_(mixChannels_, device_->Channels()),
      handle_(NextHandle()), rateRequested_(format.rate), appliedRate_(format.rate),
      step_(StepFor(format.rate, device_->Rate())), left_(device_->Rate() * VolumeRampMs / 1000, 1.0f),
      right_(device_->Rate() * VolumeRampMs / 1000, 1.0f)
{
    resampling_ = format_.rate != deviceRate_;
    zeroFeed_ = 4;
    const int period = device_->PeriodFrames();
    const std::size_t largestStep = static_cast<std::size_t>(MaxRate / deviceRate_) + 2;
    inputCapacityFrames_ = static_cast<std::size_t>(period) + 2 * largestStep;
    const auto channels = static_cast<std::size_t>(format_.channels);
    input_.assign(inputCapacityFrames_ * channels, 0.0f);
    output_.assign(static_cast<std::size_t>(period) * static_cast<std::size_t>(mixChannels_), 0.0f);
    slot_ = device_->AttachVoice(*this);
}

Voice::~Voice()
{
    if (slot_ >= 0) {
        Lock();
        const bool sounds = !silent_ || tailRemaining_ > 0;
        ForgetLastFrameIfEnded();
        // What still sounds of it (its last frame, and the fade of a stop
        // under way) fades out as after a stop, on the device in its place:
        // a sound replaced by another never ends in one step.
        const float left = static_cast<float>(tailRemaining_) / static_cast<float>(DeclickFrames);
        Mixer::Fade fade;
        for (int r = 0; r < routing_.Count(); ++r) {
            const ChannelRouting::Route& route = routing_[r];
            const float level = (tail_[route.from] * left + lastFrame_[route.from]) * route.weight;
            if (route.to < MaxChannels && level != 0.0f) {
                fade.levels[route.to] += level;
                fade.remaining = DeclickFrames;
            }
        }
        device_->DetachVoice(slot_, fade);
        if (sounds) {
            // Its last frames are queued on the device: no start reaches back over them.
            device_->SoundCut();
        }
    }
    FinishAll();
}

AudioError Voice::Write(VoiceBuffer& buffer)
{
    Sync();
    return WriteFromStream(buffer);
}

AudioError Voice::WriteFromStream(VoiceBuffer& buffer)
{
    const int before = buffer.state_.load(std::memory_order_acquire);
    if (before == VoiceBuffer::Waiting) {
        return AudioError::StillQueued;
    }
    if (queue_.Size() >= static_cast<std::size_t>(MaxQueuedBuffers)) {
        return AudioError::QueueFull;
    }
    // Only a voice that has played nothing since it was opened or reset
    // starts; one that ran dry gets more of the same sound. A paused voice
    // starts at its Restart: said now, the device would start with silence
    // and the sound would wait behind it.
    const bool idle = queue_.Size() == 0 && position_.load(std::memory_order_acquire) == 0 &&
                      !pauseRequested_.load(std::memory_order_acquire);
    if (idle && slot_ >= 0) {
        device_->VoiceAboutToStart(slot_);
    }
    buffer.state_.store(VoiceBuffer::Waiting, std::memory_order_release);
    if (!queue_.Push(&buffer)) {
        buffer.state_.store(before, std::memory_order_release);
        if (idle && slot_ >= 0) {
            device_->VoiceStarting(slot_); // its start is over, with nothing to start
        }
        return AudioError::QueueFull;
    }
    if (idle && slot_ >= 0) {
        const MixerThreadObserver* observer = CurrentMixerThreadObserver();
        if (observer != nullptr && observer->startQueued != nullptr) {
            observer->startQueued();
        }
        device_->VoiceStarting(slot_);
    } else {
        device_->VoiceMayPlay();
    }
    return AudioError::None;
}

void Voice::SetMoreToCome(bool more)
{
    moreToCome_.store(more, std::memory_order_seq_cst);
    if (!more && slot_ >= 0) {
        device_->VoiceMayPlay();
    }
}

std::int64_t Voice::FramesIn(std::int64_t ns) const
{
    return ns * deviceRate_ / 1'000'000'000;
}

std::int64_t Voice::SilenceHeardFrames() const
{
    // A card starting again moves the time it stood still into the count and
    // then clears its start: read until both are seen on one side of that.
    for (;;) {
        const std::int64_t since = stoppedSinceNs_.load(std::memory_order_acquire);
        const std::int64_t stopped = stoppedFrames_.load(std::memory_order_acquire);
        if (stoppedSinceNs_.load(std::memory_order_acquire) != since) {
            continue;
        }
        const std::int64_t standing =
            since == notStopped ? 0 : std::max<std::int64_t>(0, FramesIn(MonotonicNs() - since));
        return static_cast<std::int64_t>(starved_.load(std::memory_order_acquire)) + stopped + standing;
    }
}

void Voice::NoteCardStopped(std::int64_t nowNs, int dropped)
{
    if (!starving_.load(std::memory_order_acquire) ||
        stoppedSinceNs_.load(std::memory_order_relaxed) != notStopped) {
        return;
    }
    // The dropped silence was counted as mixed, but never heard: the card
    // stopped instead, and the stop is counted from now.
    stoppedFrames_.fetch_sub(dropped, std::memory_order_acq_rel);
    stoppedSinceNs_.store(nowNs, std::memory_order_release);
}

void Voice::NoteCardStarted(std::int64_t nowNs)
{
    // The mixer and a pause may close the same stop: one of them counts it.
    std::int64_t since = stoppedSinceNs_.load(std::memory_order_acquire);
    while (since != notStopped) {
        const std::int64_t standing = std::max<std::int64_t>(0, FramesIn(nowNs - since));
        stoppedFrames_.fetch_add(standing, std::memory_order_acq_rel);
        if (stoppedSinceNs_.compare_exchange_strong(since, notStopped, std::memory_order_acq_rel)) {
            return;
        }
        stoppedFrames_.fetch_sub(standing, std::memory_order_acq_rel);
    }
}

void Voice::Pause()
{
    Sync();
    pauseRequested_.store(true, std::memory_order_release);
    // Silence asked for is no shortfall: a stop its card stands in ends here
    // for this voice.
    NoteCardStarted(MonotonicNs());
}

void Voice::Restart()
{
    Sync();
    // A voice filled while paused that has played nothing (a decoder queues
    // the first blocks before the sound is started) starts now, as a first
    // write would start it: the device, stopped or unable to take queued
    // audio back, begins with the sound's first frame, not behind silence.
    const bool fresh = slot_ >= 0 && pauseRequested_.load(std::memory_order_acquire) &&
                       position_.load(std::memory_order_acquire) == 0 && !queue_.Empty();
    if (fresh) {
        device_->VoiceAboutToStart(slot_);
    }
    pauseRequested_.store(false, std::memory_order_seq_cst);
    if (fresh) {
        device_->VoiceStarting(slot_);
    } else {
        device_->VoiceMayPlay();
    }
}

void Voice::Reset()
{
    Sync();
    Lock();
    if (slot_ >= 0 && (!silent_ || tailRemaining_ > 0)) {
        // The sound stops with the fade below, after what the device holds
        // of it: a start (its own restart, as a rule) taking that back would
        // sound over the old sound and then cut it off.
        device_->SoundCut();
    }
    ForgetLastFrameIfEnded();
    FinishAll();
    frontFrame_ = 0;
    playedFrames_ = 0;
    sounding_ = false; // stopped, not run out
    endedAt_ = -1;
    position_.store(0, std::memory_order_release);
    silent_ = true;
    if (!paused_) {
        StartDeclick();
    }
    rampIn_ = 0;
    ResetResampler();
    Unlock();
}

std::uint64_t Voice::Position()
{
    Sync();
    return position_.load(std::memory_order_acquire);
}

void Voice::SetVolume(float left, float right)
{
    Sync();
    leftTarget_.store(std::clamp(left, 0.0f, 1.0f), std::memory_order_relaxed);
    rightTarget_.store(std::clamp(right, 0.0f, 1.0f), std::memory_order_relaxed);
}

void Voice::SetRate(int rate)
{
    Sync();
    rateRequested_.store(std::clamp(rate, MinRate, MaxRate), std::memory_order_relaxed);
}

void Voice::Sync()
{
    device_->Sync();
}

void Voice::Lock()
{
    int spins = 0;
    while (locked_.exchange(true, std::memory_order_acquire)) {
        // The mixer holds the lock only while it mixes this voice: microseconds.
        if (++spins > 64) {
            std::this_thread::yield();
        }
    }
}

void Voice::FinishAll()
{
    VoiceBuffer* buffer = nullptr;
    while (queue_.Pop(buffer)) {
        buffer->state_.store(VoiceBuffer::Finished, std::memory_order_release);
    }
}

void Voice::ForgetLastFrameIfEnded()
{
    // A sound whose end fell on the end of a period still has its last frame
    // here until the next period finds it dry; a stop then is no cut.
    if (queue_.Empty() && !moreToCome_.load(std::memory_order_acquire)) {
        lastFrame_.fill(0.0f);
    }
}

int Voice::HeldFrames(int limit) const
{
    if (!moreToCome_.load(std::memory_order_acquire)) {
        return limit;
    }
    const auto block = static_cast<std::size_t>(format_.BlockAlign());
    const auto wanted = static_cast<std::uint64_t>(limit) * static_cast<std::uint64_t>(appliedRate_) /
                            static_cast<std::uint64_t>(deviceRate_) +
                        4;
    std::uint64_t held = 0;
    for (std::size_t i = 0; held < wanted; ++i) {
        VoiceBuffer* const* buffer = queue_.Peek(i);
        if (buffer == nullptr) {
            break;
        }
        if ((*buffer)->Looping()) {
            return limit;
        }
        held += (*buffer)->data.size() / block - (i == 0 ? std::min(frontFrame_, (*buffer)->data.size() / block) : 0);
    }
    // The interpolator keeps a few frames back.
    const std::uint64_t usable = resampling_ ? held - std::min<std::uint64_t>(held, 4) : held;
    return static_cast<int>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(limit), usable * static_cast<std::uint64_t>(deviceRate_) /
                                                                       static_cast<std::uint64_t>(appliedRate_)));
}

std::size_t Voice::PullFrames(float* out, std::size_t frames)
{
    const auto block = static_cast<std::size_t>(format_.BlockAlign());
    const auto channels = static_cast<std::size_t>(format_.channels);
    const std::uint64_t limit = playLimit_.load(std::memory_order_acquire);
    frames = static_cast<std::size_t>(std::min<std::uint64_t>(frames, limit - std::min(limit, playedFrames_)));
    std::size_t got = 0;
    while (got < frames) {
        VoiceBuffer* const* front = queue_.Front();
        if (front == nullptr) {
            break;
        }
        VoiceBuffer& buffer = **front;
        const std::size_t total = buffer.data.size() / block;
        const std::size_t take = std::min(total - std::min(frontFrame_, total), frames - got);
        if (take > 0) {
            DecodeFrames(format_, buffer.data.data() + frontFrame_ * block, take, out + got * channels);
            got += take;
            frontFrame_ += take;
        }
        if (frontFrame_ >= total && total > 0 && buffer.Looping()) {
            frontFrame_ = 0;
            continue;
        }
        if (frontFrame_ >= total) {
            // A poller that sees the buffer done also sees all of its frames counted.
            position_.store(playedFrames_ + got, std::memory_order_release);
            buffer.state_.store(VoiceBuffer::Finished, std::memory_order_release);
            queue_.PopFront();
            frontFrame_ = 0;
        }
    }
    playedFrames_ += got;
    return got;
}

int Voice::Direct(int frames)
{
    return static_cast<int>(PullFrames(output_.data(), static_cast<std::size_t>(frames)));
}

namespace {

// Interpolates count output frames from the input frames at in, moving the
// four points of each channel on by one input frame as the phase passes each
// whole frame. Fixed channel counts (mono and stereo, nearly every sound) let
// the compiler unroll the channel loops; 0 takes the count at run time.
template <std::size_t Fixed, std::size_t N>
void InterpolateRun(const float* in, float* out, std::uint64_t count, std::uint64_t step, std::uint64_t& phase,
                    std::array<float, N>& points, std::size_t runtimeChannels = Fixed)
{
    constexpr std::size_t stride = N / 4;
    const std::size_t channels = Fixed != 0 ? Fixed : runtimeChannels;
    float* p0 = points.data();
    float* p1 = p0 + stride;
    float* p2 = p1 + stride;
    float* p3 = p2 + stride;
    for (std::uint64_t k = 0; k < count; ++k) {
        const float t = static_cast<float>(phase) * (1.0f / 4294967296.0f);
        for (std::size_t c = 0; c < channels; ++c) {
            out[c] = Interpolate(p0[c], p1[c], p2[c], p3[c], t);
        }
        out += channels;
        phase += step;
        while (phase >= unitStep) {
            phase -= unitStep;
            for (std::size_t c = 0; c < channels; ++c) {
                p0[c] = p1[c];
                p1[c] = p2[c];
                p2[c] = p3[c];
                p3[c] = in[c];
            }
            in += channels;
        }
    }
}

} // namespace

int Voice::Resample(int frames)
{
    const auto channels = static_cast<std::size_t>(format_.channels);
    int done = 0;
    while (done < frames) {
        const bool held = playedFrames_ >= playLimit_.load(std::memory_order_acquire);
        if (zeroFeed_ >= 4 && (queue_.Front() == nullptr || held)) {
            // Nothing (more may be) played and the last frames have left the interpolator.
            ResetResampler();
            break;
        }
        std::uint64_t chunk = static_cast<std::uint64_t>(frames - done);
        const std::uint64_t fits = ((static_cast<std::uint64_t>(inputCapacityFrames_) << 32) - phase_) / step_;
        chunk = std::max<std::uint64_t>(1, std::min(chunk, fits));
        const std::size_t need = static_cast<std::size_t>((phase_ + chunk * step_) >> 32);
        const std::size_t got = PullFrames(input_.data(), need);
        std::fill(input_.begin() + static_cast<std::ptrdiff_t>(got * channels),
                  input_.begin() + static_cast<std::ptrdiff_t>(need * channels), 0.0f);
        if (got == need) {
            zeroFeed_ = 0;
        } else {
            zeroFeed_ = (got > 0 ? 0 : zeroFeed_) + static_cast<int>(need - got);
        }
        float* out = &output_[static_cast<std::size_t>(done) * channels];
        switch (channels) {
        case 1:
            InterpolateRun<1>(input_.data(), out, chunk, step_, phase_, history_);
            break;
        case 2:
            InterpolateRun<2>(input_.data(), out, chunk, step_, phase_, history_);
            break;
        default:
            InterpolateRun<0>(input_.data(), out, chunk, step_, phase_, history_, channels);
            break;
        }
        done += static_cast<int>(chunk);
    }
    return done;
}

void Voice::ResetResampler()
{
    history_.fill(0.0f);
    phase_ = 0;
    zeroFeed_ = 4;
    resampling_ = appliedRate_ != deviceRate_;
}

void Voice::StartDeclick()
{
    const auto channels = static_cast<std::size_t>(mixChannels_);
    bool sounding = false;
    for (std::size_t c = 0; c < channels; ++c) {
        sounding = sounding || lastFrame_[c] != 0.0f;
    }
    if (!sounding) {
        return;
    }
    tail_ = lastFrame_;
    lastFrame_.fill(0.0f);
    tailRemaining_ = DeclickFrames;
}

void Voice::AddDeclick(float* mix, int frames)
{
    const int count = std::min(frames, tailRemaining_);
    const auto deviceChannels = static_cast<std::size_t>(deviceChannels_);
    for (int r = 0; r < routing_.Count(); ++r) {
        const ChannelRouting::Route& route = routing_[r];
        const float start = tail_[route.from] * route.weight;
        for (int k = 0; k < count; ++k) {
            const float factor = static_cast<float>(tailRemaining_ - k - 1) / static_cast<float>(DeclickFrames);
            mix[static_cast<std::size_t>(k) * deviceChannels + route.to] += start * factor;
        }
    }
    tailRemaining_ -= count;
    if (tailRemaining_ == 0 && count > 0) {
        // The fade of a pause or a stop is the sound's end: a start does not
        // reach back over it.
        endedAt_ = std::max(endedAt_, count);
    }
}

void Voice::ApplySteadyGain(int from, int to)
{
    // Most periods of most voices: the volume holds still, one factor a channel.
    const float leftGain = left_.Current();
    const float rightGain = right_.Current();
    if (leftGain == 1.0f && rightGain == 1.0f) {
        return;
    }
    const auto channels = static_cast<std::size_t>(mixChannels_);
    const std::size_t samples = static_cast<std::size_t>(to - from) * channels;
    float* out = output_.data() + static_cast<std::size_t>(from) * channels;
    for (std::size_t i = 0; i + 1 < samples; i += 2) {
        out[i] *= leftGain;
        out[i + 1] *= rightGain;
    }
}

void Voice::MixInto(float* mix, int frames)
{
    const bool pause = pauseRequested_.load(std::memory_order_acquire);
    if (pause != paused_) {
        paused_ = pause;
        if (paused_) {
            StartDeclick();
        } else {
            // A resume fades in; a voice that starts afresh (nothing played
            // since it was opened or reset) starts exactly on its first frame.
            rampIn_ = playedFrames_ > 0 ? DeclickFrames : 0;
        }
    }
    const int rate = rateRequested_.load(std::memory_order_relaxed);
    if (rate != appliedRate_) {
        appliedRate_ = rate;
        step_ = StepFor(rate, deviceRate_);
        resampling_ = resampling_ || rate != deviceRate_;
    }
    const float leftTarget = leftTarget_.load(std::memory_order_relaxed);
    const float rightTarget = rightTarget_.load(std::memory_order_relaxed);
    if (silent_) {
        left_.JumpTo(leftTarget);
        right_.JumpTo(rightTarget);
    } else {
        left_.SetTarget(leftTarget);
        right_.SetTarget(rightTarget);
    }
    silent_ = paused_;
    if (paused_) {
        starving_.store(false, std::memory_order_release); // silent by request
    } else {
        const int produced = resampling_ ? Resample(frames) : Direct(frames);
        silent_ = produced == 0;
        if (produced < frames && (produced > 0 || sounding_)) {
            endedAt_ = produced;
        }
        const bool starving = produced < frames && playedFrames_ > 0 && moreToCome_.load(std::memory_order_acquire);
        if (starving) {
            starved_.fetch_add(static_cast<std::uint64_t>(frames - produced), std::memory_order_acq_rel);
        }
        starving_.store(starving, std::memory_order_release);
        sounding_ = produced == frames;
        if (format_.channels == 1) {
            // Backwards, so that no sample is overwritten before it is copied.
            for (int f = produced - 1; f >= 0; --f) {
                const float sample = output_[static_cast<std::size_t>(f)];
                output_[2 * static_cast<std::size_t>(f)] = sample;
                output_[2 * static_cast<std::size_t>(f) + 1] = sample;
            }
        }
        const auto channels = static_cast<std::size_t>(mixChannels_);
        int f = 0;
        for (; f < produced && (left_.Moving() || right_.Moving() || rampIn_ > 0); ++f) {
            const float leftGain = left_.Next();
            const float rightGain = right_.Next();
            float fade = 1.0f;
            if (rampIn_ > 0) {
                fade = static_cast<float>(DeclickFrames - rampIn_ + 1) / static_cast<float>(DeclickFrames);
                --rampIn_;
            }
            float* frame = &output_[static_cast<std::size_t>(f) * channels];
            for (std::size_t c = 0; c < channels; ++c) {
                frame[c] *= ((c & 1U) != 0 ? rightGain : leftGain) * fade;
            }
        }
        ApplySteadyGain(f, produced);
        if (produced == frames) {
            std::copy_n(output_.begin() +
                            static_cast<std::ptrdiff_t>((static_cast<std::size_t>(frames) - 1) * channels),
                        channels, lastFrame_.begin());
        } else {
            // The voice ran dry: it fell silent by itself, nothing to fade.
            lastFrame_.fill(0.0f);
        }
        const auto deviceChannels = static_cast<std::size_t>(deviceChannels_);
        for (int r = 0; r < routing_.Count(); ++r) {
            const ChannelRouting::Route& route = routing_[r];
            const float* in = output_.data() + route.from;
            float* out = mix + route.to;
            for (int frame = 0; frame < produced; ++frame) {
                out[static_cast<std::size_t>(frame) * deviceChannels] +=
                    in[static_cast<std::size_t>(frame) * channels] * route.weight;
            }
        }
        position_.store(playedFrames_, std::memory_order_release);
    }
    if (tailRemaining_ > 0) {
        AddDeclick(mix, frames);
    }
}

} // namespace platform::audio
