#include "platform/audio/AlsaSink.h"

#include "platform/audio/AlsaHwSetup.h"
#include "platform/audio/AlsaMessages.h"
#include "platform/audio/AlsaPcmOpen.h"
#include "platform/audio/SampleConversion.h"

#include <alsa/asoundlib.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform::audio {

namespace {

// How long Write waits for a card that takes nothing before it counts as lost.
constexpr int waitStepMs = 100;
constexpr int waitStepsBeforeLost = 20;
// A stopped card is looked at every half second.
constexpr int waitStepsBetweenLooks = 5;

} // namespace

std::unique_ptr<AlsaSink> AlsaSink::Open(const AlsaOptions& options, std::string& error)
{
    SilenceAlsaMessages();
    auto sink = std::make_unique<AlsaSink>(Key{});
    if (!OpenAlsaPcm(options, SND_PCM_STREAM_PLAYBACK, sink->pcm_, sink->config_, error)) {
        return nullptr;
    }
    snd_pcm_t* pcm = sink->pcm_;
    AlsaHwChoice choice;
    if (!NegotiateAlsaHw(pcm, options, choice, error)) {
        return nullptr;
    }
    const snd_pcm_uframes_t period = choice.period;
    const snd_pcm_uframes_t buffer = choice.buffer;

    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    int r = snd_pcm_sw_params_current(pcm, sw);
    if (r >= 0) {
        r = snd_pcm_sw_params_set_start_threshold(pcm, sw, buffer);
    }
    if (r >= 0) {
        r = snd_pcm_sw_params_set_avail_min(pcm, sw, period);
    }
    if (r >= 0) {
        r = snd_pcm_sw_params(pcm, sw);
    }
    if (r < 0) {
        error = AlsaFailure("snd_pcm_sw_params", r);
        return nullptr;
    }

    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    if (snd_pcm_hw_params_current(pcm, hw) >= 0 && snd_pcm_hw_params_is_batch(hw) != 0) {
        // Its position moves once a period: a start can be no closer.
        sink->positionStep_ = static_cast<int>(period);
    }
    sink->sampleType_ = choice.type;
    sink->options_ = options.device;
    sink->options_.channels = static_cast<int>(choice.channels);
    sink->options_.rate = static_cast<int>(choice.rate);
    sink->options_.periodFrames = static_cast<int>(period);
    // The buffer may be larger than the periods kept queued (see SetQueuedAhead),
    // which make about 43 ms at most: long periods are not queued eight deep.
    const auto about43Ms = static_cast<int>(choice.rate * 43 / 1000 / std::max<snd_pcm_uframes_t>(period, 1));
    sink->options_.periods = std::clamp(period > 0 ? static_cast<int>(buffer / period) : 2, 2,
                                        std::max(2, std::min(options.device.periods, about43Ms)));
    sink->options_.bufferFrames = static_cast<int>(buffer);
    sink->roomAt_ = static_cast<long>(period);
    sink->frameBytes_ = AlsaBytesOf(choice.type) * choice.channels;
    // Room for the most the mixer hands over at once: the whole buffer.
    sink->bytes_.assign(sink->frameBytes_ * std::max(buffer, period), 0);
    // Zero bits are silence in every sample type offered.
    sink->silence_.assign(sink->frameBytes_ * period, 0);
    sink->description_ = DescribeAlsaHw(choice);
    sink->wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    const int descriptors = std::max(0, snd_pcm_poll_descriptors_count(pcm));
    sink->polls_.assign(static_cast<std::size_t>(descriptors) + 1, pollfd{});
    sink->tried_ = sink->TryTakingFramesBack();
    sink->takesFramesBack_ = sink->tried_.value_or(false);
    const int fill = sink->options_.periods * sink->options_.periodFrames;
    sink->SetQueuedAhead(fill, LowWaterFrames(fill, sink->options_.periodFrames));
    return sink;
}

std::optional<bool> AlsaSink::TryTakingFramesBack()
{
    // A period of silence is handed over and taken back: a device that really
    // took it back no longer counts it in its delay, and has nothing of it to
    // play. Silence sounds the same if it does; the device starts afresh after.
    const auto period = static_cast<snd_pcm_sframes_t>(options_.periodFrames);
    snd_pcm_sframes_t before = 0;
    snd_pcm_sframes_t after = 0;
    const bool handed = period > 0 &&
                        snd_pcm_writei(pcm_, bytes_.data(), static_cast<snd_pcm_uframes_t>(period)) == period &&
                        snd_pcm_delay(pcm_, &before) >= 0;
    const bool rewound = handed && snd_pcm_rewind(pcm_, static_cast<snd_pcm_uframes_t>(period)) == period &&
                         snd_pcm_delay(pcm_, &after) >= 0;
    snd_pcm_drop(pcm_);
    snd_pcm_prepare(pcm_);
    // A device that started meanwhile played some of it: allow a quarter.
    // One that counts far less than the period as queued, before its start,
    // played it at once: it has no clock of its own.
    const snd_pcm_sframes_t slack = period / 4;
    hasClock_ = !handed || before >= period - slack;
    if (!handed || before < period - slack) {
        return std::nullopt;
    }
    return rewound && std::abs(before - after - period) <= slack;
}

void AlsaSink::Close()
{
    if (pcm_ != nullptr) {
        // A failed card has nothing left to play out.
        snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }
}

AlsaSink::~AlsaSink()
{
    if (wakeFd_ >= 0) {
        close(wakeFd_);
    }
    if (pcm_ != nullptr) {
        // Let the last periods play out (a few milliseconds) before closing.
        snd_pcm_nonblock(pcm_, 0);
        snd_pcm_drain(pcm_);
        snd_pcm_close(pcm_);
    }
    if (config_ != nullptr) {
        snd_config_delete(config_);
    }
}

void AlsaSink::Convert(std::span<const float> frames)
{
    std::uint8_t* out = bytes_.data();
    switch (sampleType_) {
    case AlsaSampleType::S16:
        FloatsToS16(frames, out);
        break;
    case AlsaSampleType::S32:
        FloatsToS32(frames, out);
        break;
    case AlsaSampleType::S24:
    case AlsaSampleType::S24Packed:
        FloatsToS24(frames, out, sampleType_ == AlsaSampleType::S24Packed);
        break;
    case AlsaSampleType::Float:
    case AlsaSampleType::Automatic:
        FloatsToFloat(frames, out);
        break;
    }
}

DeviceSink::WriteResult AlsaSink::Write(std::span<const float> frames, SpscRing<MixerEvent>& events,
                                        const std::atomic<bool>& running)
{
    const auto channels = static_cast<std::size_t>(options_.channels);
    const std::size_t most = bytes_.size() / frameBytes_ * channels;
    if (frames.size() > most) {
        // More than the buffer at once: in pieces that fit the conversion.
        WriteResult result = WriteResult::Written;
        for (std::size_t done = 0; done < frames.size() && result != WriteResult::Lost; done += most) {
            const WriteResult piece =
                Write(frames.subspan(done, std::min(most, frames.size() - done)), events, running);
            result = piece == WriteResult::Written ? result : piece;
        }
        return result;
    }
    Convert(frames);
    const std::uint8_t* data = bytes_.data();
    auto left = static_cast<snd_pcm_uframes_t>(frames.size() / channels);
    int idleWaits = 0;
    WriteResult result = WriteResult::Written;
    if (prepared_ && !WriteStartPad(left)) {
        events.Push(MixerEvent{MixerEvent::DeviceLost, -EIO});
        return WriteResult::Lost;
    }
    while (left > 0 && running.load(std::memory_order_acquire)) {
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm_, data, left);
        if (written >= 0) {
            data += static_cast<std::size_t>(written) * frameBytes_;
            left -= static_cast<snd_pcm_uframes_t>(written);
            idleWaits = 0;
            continue;
        }
        const int r = static_cast<int>(written);
        if (r == -EAGAIN) {
            if (snd_pcm_wait(pcm_, waitStepMs) == 0 && ++idleWaits >= waitStepsBeforeLost) {
                events.Push(MixerEvent{MixerEvent::DeviceLost, -ETIMEDOUT});
                return WriteResult::Lost;
            }
            continue;
        }
        if (r == -EINTR) {
            continue;
        }
        if (r == -EPIPE) {
            events.Push(MixerEvent{MixerEvent::Underrun, r});
            result = WriteResult::Recovered;
            const int prepared = snd_pcm_prepare(pcm_);
            if (prepared < 0 || !WriteStartPad(left)) {
                events.Push(MixerEvent{MixerEvent::DeviceLost, prepared < 0 ? prepared : -EIO});
                return WriteResult::Lost;
            }
            continue;
        }
        if (r == -ESTRPIPE) {
            int resumed = 0;
            while ((resumed = snd_pcm_resume(pcm_)) == -EAGAIN && running.load(std::memory_order_acquire)) {
                snd_pcm_wait(pcm_, waitStepMs);
            }
            const int prepared = resumed < 0 ? snd_pcm_prepare(pcm_) : 0;
            if (prepared < 0 || (resumed < 0 && !WriteStartPad(left))) {
                events.Push(MixerEvent{MixerEvent::DeviceLost, prepared < 0 ? prepared : -EIO});
                return WriteResult::Lost;
            }
            events.Push(MixerEvent{MixerEvent::Suspended, 0});
            continue;
        }
        events.Push(MixerEvent{MixerEvent::DeviceLost, r});
        return WriteResult::Lost;
    }
    return result;
}

bool AlsaSink::WriteStartPad(unsigned long following)
{
    // A card wakes its application at the ends of its periods, counted from
    // its start; the mixer writes whole periods. Started with the fill
    // queued, the card is down to what it is refilled at just as a period
    // ends; started with more (the fill rounded up to whole periods), it can
    // be a little above that point at a period's end and run dry before the
    // next. The silence is at most a period less a frame, once a start; a
    // start that brings its own frames up to the fill needs none, and its
    // first frame is the first one played.
    prepared_ = false;
    const auto period = static_cast<snd_pcm_uframes_t>(options_.periodFrames);
    if (period == 0) {
        return true;
    }
    snd_pcm_uframes_t pad = (static_cast<snd_pcm_uframes_t>(fill_) + period - following % period) % period;
    while (pad > 0) {
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm_, silence_.data(), pad);
        if (written == -EINTR) {
            continue;
        }
        if (written == -EAGAIN || written == -EPIPE || written == -ESTRPIPE) {
            return true; // no pad then; the frames that follow meet the state
        }
        if (written < 0) {
            return false;
        }
        pad -= static_cast<snd_pcm_uframes_t>(written);
    }
    return true;
}

void AlsaSink::SetQueuedAhead(int frames, int lowWater)
{
    // The card starts (and restarts after an underrun) once the fill is
    // queued, and wakes the mixer at its low water; the mixer then writes up
    // to the fill.
    const auto buffer = static_cast<snd_pcm_uframes_t>(options_.bufferFrames);
    const auto period = static_cast<snd_pcm_uframes_t>(options_.periodFrames);
    const snd_pcm_uframes_t fill = std::clamp(static_cast<snd_pcm_uframes_t>(std::max(frames, 0)), period, buffer);
    const snd_pcm_uframes_t refill =
        fill - std::min(static_cast<snd_pcm_uframes_t>(std::max(lowWater, 0)), fill - period);
    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    if (pcm_ == nullptr || snd_pcm_sw_params_current(pcm_, sw) < 0 ||
        snd_pcm_sw_params_set_start_threshold(pcm_, sw, fill) < 0 ||
        snd_pcm_sw_params_set_avail_min(pcm_, sw, buffer - fill + refill) < 0 || snd_pcm_sw_params(pcm_, sw) < 0) {
        return; // the device keeps the fill it had
    }
    roomAt_ = static_cast<long>(buffer - fill + period);
    if (stopped_ || (awaitsStart_ && prepared_)) {
        roomFrames_ = static_cast<int>(fill); // it is empty: the new fill starts it
    }
    // The next wake-up may still come where the fill had it: not late.
    fillMoved_ = fill_ != 0 && static_cast<long>(buffer - fill + refill) != wakeAt_;
    wakeAt_ = static_cast<long>(buffer - fill + refill);
    fill_ = static_cast<long>(fill);
}

int AlsaSink::InFlightFrames()
{
    // The delay counts every frame not yet heard; what the buffer still holds
    // can be taken back, the rest has left it.
    snd_pcm_sframes_t avail = 0;
    snd_pcm_sframes_t delay = 0;
    if (pcm_ == nullptr || snd_pcm_avail_delay(pcm_, &avail, &delay) < 0) {
        return 0;
    }
    const snd_pcm_sframes_t queued = static_cast<snd_pcm_sframes_t>(options_.bufferFrames) - avail;
    return static_cast<int>(std::clamp<snd_pcm_sframes_t>(delay - queued, 0, options_.bufferFrames));
}

int AlsaSink::TakeWakeLateFrames()
{
    const int late = wakeLate_;
    wakeLate_ = 0;
    return late;
}

void AlsaSink::Wake()
{
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        const ssize_t written = write(wakeFd_, &one, sizeof one);
        (void)written; // a full counter still wakes
    }
}

bool AlsaSink::CardGone()
{
    // An unplugged card reports itself disconnected, or its position is gone.
    return snd_pcm_state(pcm_) == SND_PCM_STATE_DISCONNECTED || snd_pcm_avail(pcm_) == -ENODEV;
}

bool AlsaSink::StopWhileSilent()
{
    // What it drops is silence; a card starts again as soon as it is filled.
    if (pcm_ == nullptr || snd_pcm_drop(pcm_) < 0 || snd_pcm_prepare(pcm_) < 0) {
        return false;
    }
    stopped_ = true;
    prepared_ = true;
    roomFrames_ = static_cast<int>(fill_);
    return true;
}

int AlsaSink::UnheardFrames()
{
    snd_pcm_sframes_t delay = 0;
    if (pcm_ == nullptr || stopped_ || snd_pcm_delay(pcm_, &delay) < 0) {
        return 0;
    }
    return static_cast<int>(std::clamp<snd_pcm_sframes_t>(delay, 0, options_.bufferFrames));
}

DeviceSink::WaitResult AlsaSink::WaitForRoom(SpscRing<MixerEvent>& events, const std::atomic<bool>& running)
{
    if (stopped_) {
        // Only a wake-up ends a stop: the card has nothing to ask for. It is
        // still looked at now and then, so that a card unplugged meanwhile
        // is known lost before a press plays into it.
        pollfd woken{wakeFd_, POLLIN, 0};
        int quietWaits = 0;
        while (running.load(std::memory_order_acquire)) {
            if (poll(&woken, 1, waitStepMs) > 0 && (woken.revents & POLLIN) != 0) {
                std::uint64_t count = 0;
                const ssize_t got = read(wakeFd_, &count, sizeof count);
                (void)got;
                stopped_ = false;
                awaitsStart_ = true;
                roomFrames_ = static_cast<int>(fill_);
                return WaitResult::Woken;
            }
            if (++quietWaits >= waitStepsBetweenLooks) {
                quietWaits = 0;
                if (CardGone()) {
                    events.Push(MixerEvent{MixerEvent::DeviceLost, -ENODEV});
                    return WaitResult::Lost;
                }
            }
        }
        return WaitResult::Room;
    }
    const auto descriptors = static_cast<unsigned int>(polls_.size() - 1);
    int idleWaits = 0;
    bool woken = false;
    while (running.load(std::memory_order_acquire)) {
        const snd_pcm_sframes_t avail = snd_pcm_avail_update(pcm_);
        awaitsStart_ = false;
        if (avail < 0) {
            // Write meets the same state and recovers from it.
            roomFrames_ = options_.periodFrames;
            return WaitResult::Room;
        }
        // Woken by the device with a period or less queued: it may not wake
        // the mixer again before that has played (the fill shrank below where
        // its periods end, or it wakes once a period from its start), so it is
        // refilled now rather than left to run dry.
        const bool lastPeriod = woken && avail >= static_cast<snd_pcm_sframes_t>(options_.bufferFrames) -
                                                      static_cast<snd_pcm_sframes_t>(options_.periodFrames);
        if (avail >= roomAt_ || lastPeriod || snd_pcm_state(pcm_) != SND_PCM_STATE_RUNNING) {
            // Up to the fill: before the start (and after an underrun) the
            // device fills to it at once.
            const long below = avail - (static_cast<long>(options_.bufferFrames) - fill_);
            awaitsStart_ = below > 0 && snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED;
            roomFrames_ = static_cast<int>(awaitsStart_ ? std::min(below, fill_)
                                                        : std::clamp<long>(below, options_.periodFrames, fill_));
            if (woken && avail > wakeAt_ && !fillMoved_) {
                // Scheduling, the card's interrupts and its position steps:
                // all that the device waited for the mixer beyond its call.
                wakeLate_ = std::max(
                    wakeLate_, static_cast<int>(std::min<snd_pcm_sframes_t>(avail - wakeAt_, options_.bufferFrames)));
            }
            fillMoved_ = fillMoved_ && !woken;
            return WaitResult::Room;
        }
        if (snd_pcm_poll_descriptors(pcm_, polls_.data(), descriptors) < 0) {
            return WaitResult::Room;
        }
        polls_[descriptors] = pollfd{wakeFd_, POLLIN, 0};
        const int ready = poll(polls_.data(), descriptors + 1, waitStepMs);
        if (ready < 0) {
            continue; // EINTR
        }
        if ((polls_[descriptors].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            const ssize_t got = read(wakeFd_, &count, sizeof count);
            (void)got;
            return WaitResult::Woken;
        }
        if (ready == 0) {
            if (++idleWaits >= waitStepsBeforeLost) {
                events.Push(MixerEvent{MixerEvent::DeviceLost, -ETIMEDOUT});
                return WaitResult::Lost;
            }
            continue;
        }
        unsigned short revents = 0;
        snd_pcm_poll_descriptors_revents(pcm_, polls_.data(), descriptors, &revents);
        idleWaits = 0;
        woken = true;
    }
    return WaitResult::Room;
}

int AlsaSink::Rewindable()
{
    if (!takesFramesBack_) {
        return 0;
    }
    // The hardware position as of now: a stale one would take back frames
    // that have already played.
    if (snd_pcm_avail(pcm_) < 0) {
        return 0;
    }
    const snd_pcm_sframes_t frames = snd_pcm_rewindable(pcm_);
    return frames > 0 ? static_cast<int>(frames) : 0;
}

int AlsaSink::Rewind(int frames)
{
    const snd_pcm_sframes_t taken = snd_pcm_rewind(pcm_, static_cast<snd_pcm_uframes_t>(frames));
    return taken > 0 ? static_cast<int>(taken) : 0;
}

} // namespace platform::audio
