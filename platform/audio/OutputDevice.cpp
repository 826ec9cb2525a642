#include "platform/audio/OutputDevice.h"

#include "platform/audio/MixerThreadObserver.h"
#include "platform/audio/MonotonicTime.h"
#include "platform/audio/RealtimePriority.h"
#include "platform/audio/Voice.h"
#include "platform/base/Clock.h"
#include "platform/base/LogSink.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform::audio {

namespace {

// Waits until deadline (monotonic) or until wakeFd is signalled; true when
// it was. Without a descriptor it only sleeps.
bool SleepUntilNsOrWoken(std::int64_t deadline, int wakeFd)
{
    const std::int64_t left = deadline - MonotonicNs();
    if (left <= 0) {
        return false;
    }
    if (wakeFd < 0) {
        timespec until{};
        until.tv_sec = static_cast<time_t>(deadline / 1'000'000'000);
        until.tv_nsec = static_cast<long>(deadline % 1'000'000'000);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
        }
        return false;
    }
    timespec wait{};
    wait.tv_sec = static_cast<time_t>(left / 1'000'000'000);
    wait.tv_nsec = static_cast<long>(left % 1'000'000'000);
    pollfd woken{wakeFd, POLLIN, 0};
    if (ppoll(&woken, 1, &wait, nullptr) <= 0 || (woken.revents & POLLIN) == 0) {
        return false;
    }
    std::uint64_t count = 0;
    const ssize_t got = read(wakeFd, &count, sizeof count);
    (void)got;
    return true;
}

// "r=-19, No such device", or "no reason given".
std::string DeviceLossText(std::int64_t code)
{
    if (code >= 0) {
        return "no reason given";
    }
    return "r=" + std::to_string(code) + ", " + std::strerror(static_cast<int>(-code));
}

// Ten minutes of sound without an underrun: the queue shrinks a step.
constexpr std::int64_t quietSecondsBeforeShrinking = 600;

// What a running card that cannot take audio back keeps queued beyond a
// period and its margin, in whole periods: a real-time mixer on a machine
// under load (load 5-10 on eight cores) was woken over 10 ms late now and
// then; with this and the margin left at each wake-up, 18 ms, it still
// finds audio queued.
constexpr int steadyLeadMs = 16;

} // namespace

std::shared_ptr<OutputDevice> OutputDevice::Start(std::string name, std::unique_ptr<DeviceSink> sink, Pacing pacing)
{
    if (!sink) {
        return nullptr;
    }
    if (pacing == Pacing::Device && !sink->PacesItself()) {
        // A device that takes every frame at once would have its real-time
        // mixer spin at full speed, holding a core from every thread of
        // normal priority and delaying other mixers: it keeps the real rate.
        pacing = Pacing::RealTime;
    }
    auto device = std::make_shared<OutputDevice>(Key{}, std::move(name), std::move(sink), pacing);
    device->running_.store(true, std::memory_order_release);
    if (pacing != Pacing::Manual) {
        device->clockWakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        OutputDevice* owner = device.get();
        device->thread_ = std::thread([owner] { owner->Run(); });
        const std::string refused = MakeRealtime(device->thread_);
        device->withoutRealtime_.store(!refused.empty(), std::memory_order_relaxed);
        if (!refused.empty()) {
            Log("Audio device \"" + device->name_ +
                    "\": the mixer runs without real-time priority (SCHED_FIFO: " + refused + ")",
                0);
        }
    }
    return device;
}

OutputDevice::OutputDevice(const Key&, std::string name, std::unique_ptr<DeviceSink> sink, Pacing pacing)
    : name_(std::move(name)), sink_(std::move(sink)), pacing_(pacing)
{
    mix_.assign(static_cast<std::size_t>(PeriodFrames()) * static_cast<std::size_t>(Channels()) * MaxPeriodsAWrite,
                0.0f);
    // Everything the device's buffer holds can be taken back.
    historyFrames_ = static_cast<std::size_t>(
        std::max(sink_->BufferFrames(), PeriodFrames() * std::max(2, sink_->Options().periods)));
    openedQueuedAhead_ = std::min(sink_->BufferFrames(), PeriodFrames() * std::max(2, sink_->Options().periods));
    openedQueuedAhead_ = std::max(openedQueuedAhead_, PeriodFrames());
    queuedAhead_.store(openedQueuedAhead_, std::memory_order_relaxed);
    lowWater_ = LowWaterFrames(openedQueuedAhead_, PeriodFrames());
    sink_->SetQueuedAhead(openedQueuedAhead_, lowWater_);
    // A device found at its opening to give nothing back starts with the
    // least it can and runs with no more than a start may wait behind,
    // whether or not it is stopped at the first start.
    cannotRewind_ = sink_->TriedTakingFramesBack() == std::optional<bool>(false);
    MeasureMargin(0);
    history_.assign(historyFrames_ * static_cast<std::size_t>(Channels()), 0.0f);
    rewound_.assign(history_.size(), 0.0f);
    for (auto& flag : starting_) {
        flag.store(false, std::memory_order_relaxed);
    }
    shrinkAt_ = static_cast<std::uint64_t>(Rate()) * quietSecondsBeforeShrinking;
    clockBaseMs_ = ClockMs();
}

OutputDevice::~OutputDevice()
{
    running_.store(false, std::memory_order_release);
    WakeOwnClock();
    sink_->Wake();
    if (thread_.joinable()) {
        thread_.join();
    }
    if (clockWakeFd_ >= 0) {
        close(clockWakeFd_);
    }
    // A card that stopped taking frames would never finish playing out.
    ReleaseLostSink();
    LogEvents();
    ReportUnderruns(true);
}

std::unique_ptr<Voice> OutputDevice::OpenVoice(const StreamFormat& format, AudioError* error)
{
    const auto fail = [error](AudioError reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return std::unique_ptr<Voice>{};
    };
    if (!IsSupported(format)) {
        return fail(AudioError::BadFormat);
    }
    Sync();
    auto voice = std::make_unique<Voice>(Voice::Key{}, shared_from_this(), format);
    if (!voice->Attached()) {
        return fail(AudioError::NoVoice);
    }
    if (error != nullptr) {
        *error = AudioError::None;
    }
    return voice;
}

void OutputDevice::RenderPeriods(int count)
{
    if (pacing_ != Pacing::Manual) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        MixAndWrite();
    }
}

void OutputDevice::Sync()
{
    if (pacing_ == Pacing::Manual) {
        const std::int64_t now = ClockMs();
        if (now < clockBaseMs_) {
            clockBaseMs_ = now;
            clockPeriods_ = 0;
        }
        const std::int64_t due = (now - clockBaseMs_) * Rate() / 1000 / PeriodFrames();
        if (due > clockPeriods_) {
            const std::int64_t count = due - clockPeriods_;
            clockPeriods_ = due;
            for (std::int64_t i = 0; i < count; ++i) {
                MixAndWrite();
            }
        }
    }
    LogEvents();
}

void OutputDevice::VoiceAboutToStart(int slot)
{
    if (slot >= 0 && slot < Mixer::MaxVoices) {
        starting_[static_cast<std::size_t>(slot)].store(true, std::memory_order_release);
    }
}

void OutputDevice::VoiceStarting(int slot)
{
    if (slot < 0 || slot >= Mixer::MaxVoices) {
        return;
    }
    starting_[static_cast<std::size_t>(slot)].store(true, std::memory_order_release);
    startPending_.store(true, std::memory_order_release);
    sink_->Wake();
    WakeOwnClock();
}

void OutputDevice::VoiceMayPlay()
{
    // Pairs with SleepWhileSilent: either the mixer sees the voice's buffers
    // or its resume, or this sees it asleep. Both pass the one gate, and
    // whichever passes second sees what the other did before it.
    sleepGate_.fetch_add(1, std::memory_order_acq_rel);
    if (asleep_.load(std::memory_order_seq_cst)) {
        sink_->Wake();
    }
}

void OutputDevice::WakeOwnClock()
{
    if (clockWakeFd_ >= 0) {
        const std::uint64_t one = 1;
        const ssize_t written = write(clockWakeFd_, &one, sizeof one);
        (void)written; // a full counter still wakes
    }
}

DeviceSink::WriteResult OutputDevice::WriteAndKeep(const float* frames, int count)
{
    if (lost_.load(std::memory_order_relaxed)) {
        return DeviceSink::WriteResult::Lost;
    }
    const auto channels = static_cast<std::size_t>(Channels());
    const DeviceSink::WriteResult result =
        sink_->Write(std::span<const float>(frames, static_cast<std::size_t>(count) * channels), events_, running_);
    if (result == DeviceSink::WriteResult::Lost) {
        // The sink queued the reason; from now on the sink is left alone.
        lost_.store(true, std::memory_order_release);
        return result;
    }
    if (result == DeviceSink::WriteResult::Recovered) {
        if (rewoundBefore_ && rendered_.load(std::memory_order_relaxed) <= rewoundAt_) {
            // The rewritten frames, or the period that follows them, came
            // too late: the margin was too small for this device.
            StartRanDry();
        }
        NoteUnderrun();
        // The device started afresh: what it held before is gone.
        historyFilled_ = 0;
    }
    // At most two runs: up to the end of the ring, then from its start.
    for (std::size_t done = 0; done < static_cast<std::size_t>(count);) {
        const std::size_t run = std::min(static_cast<std::size_t>(count) - done, historyFrames_ - historyNext_);
        std::copy_n(frames + done * channels, run * channels,
                    history_.begin() + static_cast<std::ptrdiff_t>(historyNext_ * channels));
        historyNext_ = (historyNext_ + run) % historyFrames_;
        done += run;
    }
    historyFilled_ = std::min(historyFrames_, historyFilled_ + static_cast<std::size_t>(count));
    return result;
}

bool OutputDevice::RewindForStarts(int following)
{
    // Everything queued but the margin the device needs is taken back and
    // written again, with the starting voices mixed in from its first frame.
    // The other voices are not mixed again: their frames come from the
    // history, so their positions and done marks stay as they were.
    const int period = PeriodFrames();
    const std::int64_t begunNs = MonotonicNs();
    const bool lost = lost_.load(std::memory_order_relaxed);
    NoteCut();
    const int rewindable = lost ? 0 : sink_->Rewindable();
    MeasureMargin(lost ? inFlight_ : sink_->InFlightFrames());
    // A sound that ran out in the queued audio is still heard to its end: a
    // start (the next row of a list, as a rule) does not reach back over it.
    const std::uint64_t end = rendered_.load(std::memory_order_relaxed);
    const int afterLastSound =
        soundEnded_ ? static_cast<int>(std::min<std::uint64_t>(end - std::min(end, lastSoundEnd_), INT32_MAX))
                    : INT32_MAX;
    const int room = std::min<int>(rewindable - StartMarginFrames(), static_cast<int>(historyFilled_));
    // A sound whose decoder has given it less than that so far takes back
    // only what it can fill, with the frames mixed right after: it would run
    // out inside the audio written again and leave a gap before its next
    // frames.
    const int held = room > 0 ? mixer_.FramesHeldByStarting(room + following, starting_) - following : room;
    const int wanted = std::min(room, held);
    int frames = wanted > 0 && afterLastSound > 0 ? sink_->Rewind(std::min(wanted, afterLastSound)) : 0;
    if (frames <= 0 && afterLastSound > 0 && (room <= 0 || held > 0) && !cannotRewind_ && historyFilled_ > 0 && !lost &&
        sink_->TriedTakingFramesBack() != std::optional<bool>(true) &&
        (rewindable <= 0 || rewindable > StartMarginFrames())) {
        // Audio is queued and the device would not give any of it back (one
        // that did when tried is only busy, after an underrun say): every
        // start waits behind all of it, so queue no more than it needs. An
        // underrun it had before counts as one.
        cannotRewind_ = true;
        underrunRoom_ = underranBefore_ ? period / 4 : 0;
        MeasureMargin(inFlight_);
    }
    if (frames <= 0) {
        // The starting voices begin with the next frames mixed.
        for (auto& flag : starting_) {
            flag.store(false, std::memory_order_relaxed);
        }
        return false;
    }
    const auto channels = static_cast<std::size_t>(Channels());
    std::size_t from = (historyNext_ + historyFrames_ - static_cast<std::size_t>(frames)) % historyFrames_;
    for (std::size_t done = 0; done < static_cast<std::size_t>(frames);) {
        const std::size_t run = std::min(static_cast<std::size_t>(frames) - done, historyFrames_ - from);
        std::copy_n(history_.begin() + static_cast<std::ptrdiff_t>(from * channels), run * channels,
                    rewound_.begin() + static_cast<std::ptrdiff_t>(done * channels));
        from = (from + run) % historyFrames_;
        done += run;
    }
    historyNext_ = (historyNext_ + historyFrames_ - static_cast<std::size_t>(frames)) % historyFrames_;
    historyFilled_ -= static_cast<std::size_t>(frames);
    const int ended = mixer_.MixStarting(rewound_.data(), frames, period, Channels(), starting_);
    if (ended >= 0) {
        NoteSoundEnd(end - static_cast<std::uint64_t>(frames) + static_cast<std::uint64_t>(ended));
    }
    rewoundBefore_ = true;
    rewoundAt_ = rendered_.load(std::memory_order_relaxed);
    for (int done = 0; done < frames; done += period) {
        const int count = std::min(period, frames - done);
        if (WriteAndKeep(rewound_.data() + static_cast<std::size_t>(done) * channels, count) ==
            DeviceSink::WriteResult::Lost) {
            return true;
        }
        if (done == 0 && pacing_ == Pacing::Device) {
            // From reading the position to the first frame back in the
            // device: the time the margin has to cover.
            NoteLateness(static_cast<int>((MonotonicNs() - begunNs) * Rate() / 1'000'000'000));
        }
    }
    return true;
}

void OutputDevice::NoteCut()
{
    if (cut_.exchange(false, std::memory_order_acq_rel)) {
        NoteSoundEnd(rendered_.load(std::memory_order_relaxed));
    }
}

void OutputDevice::NoteSoundEnd(std::uint64_t frame)
{
    if (!soundEnded_ || frame > lastSoundEnd_) {
        lastSoundEnd_ = frame;
        soundEnded_ = true;
    }
}

void OutputDevice::NoteLateness(int frames)
{
    // Two half-minute windows: a stall is remembered for at least half a
    // minute and forgotten after one.
    const std::uint64_t now = rendered_.load(std::memory_order_relaxed);
    bool changed = false;
    if (now >= latenessWindowEnd_) {
        changed = lateness_[1] != 0 || lateness_[0] != 0;
        lateness_[1] = lateness_[0];
        lateness_[0] = 0;
        latenessWindowEnd_ = now + static_cast<std::uint64_t>(Rate()) * 30;
    }
    if (frames > lateness_[0]) {
        lateness_[0] = frames;
        changed = true;
    }
    if (changed) {
        MeasureMargin(inFlight_);
    }
}

void OutputDevice::MeasureMargin(int inFlight)
{
    inFlight_ = inFlight;
    const int least = std::max(1, Rate() / 1000);
    if (cannotRewind_) {
        // No start is mixed into queued audio. A stopped card starts with a
        // period and the least margin beyond it (2 ms, the steps of its
        // position): its first frame, a sound's own, plays as soon as they
        // are written, and it is topped up to its running queue right after.
        // Running, all it holds is the delay of a start, which then waits
        // behind it, and the time its mixer may be late at a wake-up before
        // it runs dry: steadyLeadMs more, and what underruns and wake-ups so
        // late that it would have run dry added, each logged. It is woken
        // every period, so that a start waits for no more than that. The
        // lateness seen does not widen it: that would make every start
        // slower for a stall that never ran it dry. Frames in flight have
        // left its buffer: they are no part of what a start waits for.
        const int margin = std::max({2 * least, sink_->PositionStepFrames(), marginFloor_});
        startMargin_.store(margin, std::memory_order_relaxed);
        SetQueue(freshStart_ ? std::min(QueueLimit(), PeriodFrames() + margin) : RunningQueueFrames());
        return;
    }
    const int late = std::max(lateness_[0], lateness_[1]);
    const int measured = inFlight + sink_->PositionStepFrames() + 2 * late;
    const int margin = std::max({measured, least, marginFloor_});
    startMargin_.store(margin + GrownAtUnderruns(), std::memory_order_relaxed);
}

int OutputDevice::RunningQueueFrames() const
{
    if (!cannotRewind_) {
        return queuedAhead_.load(std::memory_order_relaxed);
    }
    const int period = PeriodFrames();
    const int leadPeriods = (Rate() * steadyLeadMs / 1000 + period - 1) / period;
    return std::min(QueueLimit(), period + StartMarginFrames() + leadPeriods * period + underrunRoom_);
}

void OutputDevice::StartRanDry()
{
    // Twice the margin, but a start must still gain a period over waiting
    // behind all the queued audio.
    const int limit = std::max(PeriodFrames(), openedQueuedAhead_ - PeriodFrames());
    const int floor = std::min(limit, 2 * (StartMarginFrames() - GrownAtUnderruns()));
    if (floor > marginFloor_) {
        marginFloor_ = floor;
        MeasureMargin(inFlight_);
        events_.Push(MixerEvent{MixerEvent::MarginGrown, floor});
    }
}

void OutputDevice::SetQueue(int frames)
{
    const int lowWater = cannotRewind_ ? std::max(0, frames - PeriodFrames()) : LowWaterFrames(frames, PeriodFrames());
    if (frames != queuedAhead_.load(std::memory_order_relaxed) || lowWater != lowWater_) {
        queuedAhead_.store(frames, std::memory_order_relaxed);
        lowWater_ = lowWater;
        sink_->SetQueuedAhead(frames, lowWater);
    }
}

void OutputDevice::QueueAhead(int frames)
{
    SetQueue(frames);
    MeasureMargin(inFlight_);
}

int OutputDevice::QueueLimit() const
{
    const int period = PeriodFrames();
    const int most =
        withoutRealtime_.load(std::memory_order_relaxed) ? maxQueuedAheadFramesWithoutRealtime : maxQueuedAheadFrames;
    const int limit = std::min(sink_->BufferFrames(), std::max(most, openedQueuedAhead_));
    return std::max(period, limit - limit % period);
}

void OutputDevice::ShrinkAfterQuiet()
{
    const std::uint64_t now = rendered_.load(std::memory_order_relaxed);
    if (now < shrinkAt_) {
        return;
    }
    shrinkAt_ = now + static_cast<std::uint64_t>(Rate()) * quietSecondsBeforeShrinking;
    const int queued = queuedAhead_.load(std::memory_order_relaxed);
    if (cannotRewind_) {
        if (underrunRoom_ == 0) {
            return;
        }
        underrunRoom_ = underrunRoom_ > PeriodFrames() / 4 ? underrunRoom_ / 2 : 0;
        MeasureMargin(inFlight_);
    } else if (queued > openedQueuedAhead_) {
        const int period = PeriodFrames();
        QueueAhead(std::max(openedQueuedAhead_, queued / 2 - queued / 2 % period));
        underrunGrowth_ = GrownAtUnderruns();
    }
    const int shrunk = queuedAhead_.load(std::memory_order_relaxed);
    if (shrunk < queued) {
        events_.Push(MixerEvent{MixerEvent::QueueShrunk, shrunk});
    }
}

void OutputDevice::NoteUnderrun()
{
    // One underrun can be chance (a stall at start-up); a second within a
    // minute says the machine cannot keep this little queued: queue twice as
    // much, up to the limit. A mixer without real-time priority can be held
    // up by any busy program: its first underrun is no chance. A device that
    // cannot take audio back, whose queue a start over a playing sound waits
    // behind, grows a step at each underrun, as little as keeps such starts
    // prompt. Ten minutes without one shrink it a step.
    const std::uint64_t now = rendered_.load(std::memory_order_relaxed);
    const auto minute = static_cast<std::uint64_t>(Rate()) * 60;
    const bool repeated = underranBefore_ && now - lastUnderrunFrame_ < minute;
    const bool unprivileged = withoutRealtime_.load(std::memory_order_relaxed);
    underranBefore_ = true;
    lastUnderrunFrame_ = now;
    shrinkAt_ = now + static_cast<std::uint64_t>(Rate()) * quietSecondsBeforeShrinking;
    if (cannotRewind_) {
        GrowAStep(MixerEvent::QueueGrownOnce);
        return;
    }
    if (!repeated && !unprivileged) {
        return;
    }
    DoubleQueue(repeated ? MixerEvent::QueueGrown : MixerEvent::QueueGrownNoRt);
}

void OutputDevice::GrowAStep(MixerEvent::Kind why)
{
    const int period = PeriodFrames();
    const int queued = queuedAhead_.load(std::memory_order_relaxed);
    underrunRoom_ = std::min(std::max(period / 4, 2 * underrunRoom_), std::max(0, QueueLimit() - period));
    shrinkAt_ =
        rendered_.load(std::memory_order_relaxed) + static_cast<std::uint64_t>(Rate()) * quietSecondsBeforeShrinking;
    MeasureMargin(inFlight_);
    if (queuedAhead_.load(std::memory_order_relaxed) > queued) {
        events_.Push(MixerEvent{why, queuedAhead_.load(std::memory_order_relaxed)});
    }
}

void OutputDevice::DoubleQueue(MixerEvent::Kind why)
{
    const int queued = queuedAhead_.load(std::memory_order_relaxed);
    const int grown = std::min(QueueLimit(), std::max(2 * queued, 2 * PeriodFrames()));
    if (grown <= queued) {
        return;
    }
    if (why != MixerEvent::QueueGrownLate) {
        underrunGrowth_ = grown - openedQueuedAhead_;
    }
    QueueAhead(grown);
    events_.Push(MixerEvent{why, grown});
    shrinkAt_ =
        rendered_.load(std::memory_order_relaxed) + static_cast<std::uint64_t>(Rate()) * quietSecondsBeforeShrinking;
}

int OutputDevice::GrownAtUnderruns() const
{
    return std::min(underrunGrowth_, std::max(0, queuedAhead_.load(std::memory_order_relaxed) - openedQueuedAhead_));
}

bool OutputDevice::GrowForLateness(int late)
{
    // A mixer that found its device with half of what was left at its
    // wake-up gone nearly ran it dry: the next stall like it, a little
    // longer, would. It queues twice as much (up to the limit) before that
    // happens. Starts need not keep further from what plays for it: their
    // margin already covers twice the lateness seen. A device that cannot
    // take audio back keeps no more than it needs, as all of it delays a
    // start: it grows only once all that was left has played (see
    // MixAndWrite).
    const int left = lowWater_;
    if (cannotRewind_) {
        return late > 0 && late >= left;
    }
    if (late > 0 && 2 * late >= left) {
        DoubleQueue(MixerEvent::QueueGrownLate);
    }
    return false;
}

DeviceSink::WriteResult OutputDevice::MixAndWrite(int periods, int lead)
{
    const int late = sink_->TakeWakeLateFrames();
    NoteLateness(late);
    const bool ranDryLate = GrowForLateness(late);
    NoteCut();
    // The periods the device has room for go over in one write: one call
    // into the device a wake-up, however many periods it asks for. The part
    // of a period that makes up a device's fill at its start goes first.
    const int period = PeriodFrames();
    const auto channels = static_cast<std::size_t>(Channels());
    lead = std::clamp(lead, 0, period - 1);
    periods = std::clamp(periods, lead > 0 ? 0 : 1, lead > 0 ? MaxPeriodsAWrite - 1 : MaxPeriodsAWrite);
    if (startPending_.exchange(false, std::memory_order_acq_rel)) {
        RewindForStarts(periods * period + lead);
    }
    const std::uint64_t base = rendered_.load(std::memory_order_relaxed);
    int frames = 0;
    for (int p = lead > 0 ? -1 : 0; p < periods; ++p) {
        const int count = p < 0 ? lead : period;
        const int ended = mixer_.MixPeriod(
            std::span<float>(mix_).subspan(static_cast<std::size_t>(frames) * channels,
                                           static_cast<std::size_t>(count) * channels),
            count, &starting_);
        if (ended >= 0) {
            NoteSoundEnd(base + static_cast<std::uint64_t>(frames) + static_cast<std::uint64_t>(ended));
        }
        silentFrames_ = mixer_.Sounded() ? 0 : silentFrames_ + count;
        frames += count;
    }
    if (freshStart_ && !lost_.load(std::memory_order_relaxed)) {
        // However it was woken, a card that stood stopped starts with these
        // frames: its voices' silence ends.
        mixer_.NoteCardStarted(MonotonicNs());
    }
    const DeviceSink::WriteResult result = WriteAndKeep(mix_.data(), frames);
    if (freshStart_ && result != DeviceSink::WriteResult::Lost) {
        // The card has started with these frames: a card that cannot take
        // audio back is topped up to its running queue right after.
        freshStart_ = false;
        if (cannotRewind_) {
            MeasureMargin(inFlight_);
        }
    }
    if (ranDryLate && result == DeviceSink::WriteResult::Written) {
        // Its mixer woke when all that was left had played; had the device
        // said so, it would have been an underrun.
        GrowAStep(MixerEvent::QueueGrownDry);
    }
    rendered_.fetch_add(static_cast<std::uint64_t>(frames), std::memory_order_acq_rel);
    ShrinkAfterQuiet();
    return result;
}

void OutputDevice::ReleaseLostSink()
{
    if (Lost()) {
        sink_->Close();
    }
}

void OutputDevice::Run()
{
    const MixerThreadObserver* observer = CurrentMixerThreadObserver();
    if (observer != nullptr && observer->started != nullptr) {
        observer->started();
    }
    if (pacing_ == Pacing::Device) {
        // A device just opened holds nothing yet: it is not fed silence
        // before its first sound, which then starts it with its own first
        // frame (a card that cannot take audio back would otherwise make
        // that start wait behind the silence, a voice opened with the card
        // as a rule starting a few milliseconds after it).
        FallAsleep();
        while (running_.load(std::memory_order_acquire)) {
            const DeviceSink::WaitResult room = sink_->WaitForRoom(events_, running_);
            if (room == DeviceSink::WaitResult::Lost) {
                lost_.store(true, std::memory_order_release);
                break;
            }
            int frames = sink_->RoomFrames();
            if (room == DeviceSink::WaitResult::Woken) {
                // A start that could not be mixed into queued audio is written
                // at once, behind it; a device woken from its sleep is filled.
                const bool slept = asleep_.exchange(false, std::memory_order_acq_rel);
                const bool starts = startPending_.exchange(false, std::memory_order_acq_rel);
                const bool started = starts && !RewindForStarts(0);
                if (slept && !starts && !ResumedVoiceWaits()) {
                    // Woken with nothing to play yet (a voice resumed before
                    // its first buffer, or given it but not yet started): it
                    // stays stopped, so that the sound is not queued behind
                    // silence written meanwhile. The start wakes it again.
                    FallAsleep();
                    if (asleep_.load(std::memory_order_acquire)) {
                        observer = CurrentMixerThreadObserver();
                        if (observer != nullptr && observer->leftAsleep != nullptr) {
                            observer->leftAsleep();
                        }
                        continue;
                    }
                    // A voice came to hold enough (or a start came) while it
                    // fell asleep again, with no wake-up said to the stopped
                    // card: it is filled now.
                }
                if (!slept && !started) {
                    continue;
                }
                frames = slept || sink_->AwaitsStart() ? frames : PeriodFrames();
            }
            // A device that has not started takes just what makes its fill.
            const int lead = sink_->AwaitsStart() ? frames % PeriodFrames() : 0;
            if (MixAndWrite(frames / PeriodFrames(), lead) == DeviceSink::WriteResult::Lost) {
                // Players must still reach their ends: keep mixing on our own clock.
                break;
            }
            observer = CurrentMixerThreadObserver();
            if (observer != nullptr && observer->period != nullptr) {
                observer->period();
            }
            SleepWhileSilent();
        }
    }
    RunOnOwnClock();
}

void OutputDevice::SleepWhileSilent()
{
    // Once all the device holds is silence, feeding it more silence serves
    // nothing: a device that restarts at no cost is stopped, and the next
    // start (or a voice that may play again) wakes the mixer, which then
    // fills it and it starts at once.
    // What the device can hold: the most it is filled to, and a write beyond.
    if (keepsRunning_ || silentFrames_ < QueueLimit() + MaxPeriodsAWrite * PeriodFrames()) {
        return;
    }
    FallAsleep();
}

void OutputDevice::FallAsleep()
{
    asleep_.store(true, std::memory_order_seq_cst);
    sleepGate_.fetch_add(1, std::memory_order_acq_rel);
    if (startPending_.load(std::memory_order_seq_cst) || ResumedVoiceWaits()) {
        asleep_.store(false, std::memory_order_relaxed);
        silentFrames_ = 0;
        return;
    }
    const int unheard = sink_->UnheardFrames();
    if (!sink_->StopWhileSilent()) {
        asleep_.store(false, std::memory_order_relaxed);
        keepsRunning_ = true;
        return;
    }
    mixer_.NoteCardStopped(MonotonicNs(), unheard);
    // Nothing queued is left to take back; a card that cannot take audio
    // back starts again with the least it can.
    historyFilled_ = 0;
    silentFrames_ = 0;
    freshStart_ = true;
    if (cannotRewind_) {
        MeasureMargin(inFlight_);
    }
}

bool OutputDevice::ResumedVoiceWaits()
{
    // A voice that waits while a start is underway may be the starting one,
    // its buffer queued just before its start is said (VoiceStarting always
    // wakes the mixer). Filled now, the device would hold that voice back
    // and start with silence. The voices are looked at first: a buffer seen
    // there was queued after its voice's start flag was set. A voice that
    // ran dry waits until it holds what the card keeps queued: woken with
    // its decoder's first block alone, the card would be filled with that
    // and silence, heard right after the sound had come back.
    if (!mixer_.AnyVoiceWaitsToPlay(RunningQueueFrames())) {
        return false;
    }
    for (const auto& flag : starting_) {
        if (flag.load(std::memory_order_seq_cst)) {
            return false;
        }
    }
    return true;
}

void OutputDevice::RunOnOwnClock()
{
    // The mixer wakes once every few periods, when the machine's clock is
    // that far past the audio mixed, and mixes up to a period ahead of the
    // clock: a quarter of the wake-ups of one a period. A sound that starts
    // wakes it at once and is mixed then, whatever the time.
    // A card lost while it stood stopped: its voices are mixed from now on.
    mixer_.NoteCardStarted(MonotonicNs());
    const std::int64_t rate = Rate();
    const int period = PeriodFrames();
    const std::int64_t behindFrames = std::int64_t{period} * (OwnClockPeriodsAWake - 1);
    std::int64_t start = MonotonicNs();
    std::int64_t frames = 0; // mixed since start
    while (running_.load(std::memory_order_acquire)) {
        const std::int64_t now = MonotonicNs();
        const std::int64_t due = (now - start) * rate / 1'000'000'000 + period;
        if (due - frames > 4 * std::int64_t{period} * OwnClockPeriodsAWake) {
            // Far behind (the machine stalled): start afresh instead of racing.
            events_.Push(MixerEvent{MixerEvent::Late, (due - frames) / period});
            start = now;
            frames = 0;
            continue;
        }
        const MixerThreadObserver* observer = CurrentMixerThreadObserver();
        do {
            const auto periods = static_cast<int>(
                std::clamp<std::int64_t>((due - frames + period - 1) / period, 1, OwnClockPeriodsAWake));
            MixAndWrite(periods);
            for (int p = 0; p < periods && observer != nullptr && observer->period != nullptr; ++p) {
                observer->period();
            }
            frames += std::int64_t{period} * periods;
        } while (frames < due && running_.load(std::memory_order_acquire));
        SleepUntilNsOrWoken(start + (frames + behindFrames) * 1'000'000'000 / rate, clockWakeFd_);
    }
}

void OutputDevice::LogEvents()
{
    MixerEvent event;
    while (events_.Pop(event)) {
        const std::string device = "Audio device \"" + name_ + "\": ";
        const std::string value = std::to_string(event.value);
        const std::string frames =
            value + " frames (" + std::to_string(event.value * 1000 / std::max(1, Rate())) + " ms)";
        // The queue grew, and why.
        const auto queuedAhead = [&device, &frames](const char* why) {
            Log(device + why + "; " + frames + " are now queued ahead");
        };
        switch (event.kind) {
        case MixerEvent::Underrun:
            ++underrunsUnreported_;
            lastUnderrunCode_ = event.value;
            break;
        case MixerEvent::Suspended:
            Log(device + "suspended, resumed");
            break;
        case MixerEvent::WriteFailed:
            Log(device + "write failed r=" + value);
            break;
        case MixerEvent::DeviceLost:
            Log(device + "lost (" + DeviceLossText(event.value) + "); its sounds stop until it is back");
            break;
        case MixerEvent::Late:
            Log(device + "the mixer was late by " + value + " periods");
            break;
        case MixerEvent::QueueGrown:
            queuedAhead("underruns again and again");
            break;
        case MixerEvent::QueueGrownNoRt:
            queuedAhead("underran, and its mixer has no real-time priority");
            break;
        case MixerEvent::QueueGrownLate:
            queuedAhead("its mixer woke so late that it nearly ran dry");
            break;
        case MixerEvent::QueueGrownOnce:
            queuedAhead("underran and cannot take queued audio back");
            break;
        case MixerEvent::QueueGrownDry:
            queuedAhead("its mixer woke so late that it would have run dry, and it cannot take queued audio back");
            break;
        case MixerEvent::QueueShrunk:
            Log(device + "ten minutes without an underrun; back to " + frames + " queued ahead");
            break;
        case MixerEvent::MarginGrown:
            Log(device + "a start ran the device dry; starts now keep " + frames + " ahead of what it plays");
            break;
        case MixerEvent::KeptFramesLost:
            Log(device + "the record of played frames is full; later frames are not kept", 0);
            break;
        }
    }
    ReportUnderruns();
}

void OutputDevice::ReportUnderruns(bool now)
{
    if (underrunsUnreported_ == 0) {
        return;
    }
    // A machine under load can underrun many times a second: one line a
    // minute says how often without flooding the log.
    constexpr std::int64_t reportEveryMs = 60'000;
    const std::int64_t nowMs = ClockMs();
    if (!now && underrunReported_ && nowMs >= underrunReportMs_ && nowMs - underrunReportMs_ < reportEveryMs) {
        return;
    }
    const std::string count = std::to_string(underrunsUnreported_);
    Log("Audio device \"" + name_ + "\": " + (underrunsUnreported_ == 1 ? "1 underrun" : count + " underruns") +
        (underrunReported_ ? " since the last report" : "") + " (r=" + std::to_string(lastUnderrunCode_) +
        "), restarted");
    underrunsUnreported_ = 0;
    underrunReported_ = true;
    underrunReportMs_ = nowMs;
}

} // namespace platform::audio
