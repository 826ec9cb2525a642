#pragma once

#include "platform/audio/AudioError.h"
#include "platform/audio/DeviceSink.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/MixerEvent.h"
#include "platform/audio/SpscRing.h"
#include "platform/audio/StreamFormat.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform::audio {

class Voice;

// What drives a device's mixer: the sound card's own clock (a thread that
// waits in Write), a thread on the machine's monotonic clock (null devices at
// the real rate, a PCM that has no clock of its own even when started with
// Device, and a card that was lost), or the caller (tests: explicit
// RenderPeriods, or Sync catching up with the installed clock, virtual or not).
enum class Pacing { Device, RealTime, Manual };

// The one owner of an output device: opened once and kept open, it mixes all
// the voices playing on it on one mixer thread (SCHED_FIFO when permitted).
// Opening a voice never fails because another voice plays.
class OutputDevice : public std::enable_shared_from_this<OutputDevice> {
public:
    struct Key;
    static std::shared_ptr<OutputDevice> Start(std::string name, std::unique_ptr<DeviceSink> sink, Pacing pacing);
    OutputDevice(const Key&, std::string name, std::unique_ptr<DeviceSink> sink, Pacing pacing);
    // Stops the mixer thread and closes the device.
    ~OutputDevice();
    OutputDevice(const OutputDevice&) = delete;
    OutputDevice& operator=(const OutputDevice&) = delete;

    const std::string& Name() const { return name_; }
    int Rate() const { return sink_->Options().rate; }
    int Channels() const { return sink_->Options().channels; }
    int PeriodFrames() const { return sink_->Options().periodFrames; }
    Pacing PacedBy() const { return pacing_; }
    DeviceSink& Sink() { return *sink_; }

    // A new voice on this device; null with the reason in error when the
    // format is not supported or every voice slot is taken.
    std::unique_ptr<Voice> OpenVoice(const StreamFormat& format, AudioError* error = nullptr);
    int VoiceCount() const { return mixer_.VoiceCount(); }

    // Manual pacing: mixes count periods on the calling thread.
    void RenderPeriods(int count);
    // Manual pacing: mixes the periods that the installed clock says are due.
    // Every pacing: writes the mixer's events to the log.
    void Sync();
    // Frames mixed and handed on since the device was opened.
    std::uint64_t RenderedFrames() const { return rendered_.load(std::memory_order_acquire); }
    // True once the device failed for good (unplugged, an error the layer
    // cannot recover from). Its voices go on being mixed on the machine's
    // clock, into nothing, so that a sound spread over several devices keeps
    // its pace on the others; a new sound needs a device opened afresh.
    bool Lost() const { return lost_.load(std::memory_order_acquire); }
    // Program side, once Lost: lets go of the device (closes the sound card's
    // handle), so that it can be opened again. The mixer no longer touches it.
    void ReleaseLostSink();

    // Voice side.
    int AttachVoice(Voice& voice) { return mixer_.Attach(voice); }
    // With the voice's lock held; its fade is mixed in its place.
    void DetachVoice(int slot, const Mixer::Fade& fade) { mixer_.Detach(slot, fade); }
    // A voice is about to get its first buffer: until its start is handled,
    // the mixer does not add it at the end of the queued audio, where it
    // would be heard only after all of it.
    void VoiceAboutToStart(int slot);
    // A voice got its first buffer: the mixer wakes and, where the device can
    // take queued frames back, starts it in them (see RewindForStarts);
    // otherwise it writes the start at once, behind the queued audio.
    void VoiceStarting(int slot);
    // A voice may play again (more buffers after it ran dry, a resume): wakes
    // a mixer that stopped feeding its device because nothing sounded.
    void VoiceMayPlay();
    // A voice stopped, or was closed, while its last frames may still be
    // queued on the device: a start is not mixed into them.
    void SoundCut() { cut_.store(true, std::memory_order_release); }
    // True while the device is stopped because nothing plays on it: its mixer
    // sleeps until a voice is started or may play again.
    bool Asleep() const { return asleep_.load(std::memory_order_acquire); }
    // Frames kept queued ahead of what the device plays when a start is mixed
    // into queued audio, as last measured: what the device has taken but not
    // played, the steps of its position, twice the longest it waited for the
    // mixer in the last minute (its wake-ups and the rewrites of starts), at
    // least 1 ms; more once a start ran it dry; and as much more as the
    // queued audio grew at underruns. For a device that cannot rewind, what
    // a stopped one starts with beyond a period: 2 ms or the steps of its
    // position.
    int StartMarginFrames() const { return startMargin_.load(std::memory_order_relaxed); }
    // Frames queued ahead of what the device plays. It starts at the periods
    // the device was opened with and doubles, at most to maxQueuedAheadFrames
    // (maxQueuedAheadFramesWithoutRealtime for a mixer without real-time
    // priority; and the device's buffer), when the device underruns again within a
    // minute (at once, for a mixer without real-time priority), or when the
    // mixer woke so late that half of what was queued at its wake-up had
    // played. A device that cannot take queued audio back (it knows that
    // from its opening, or from the first start it cannot mix into queued
    // audio) starts from its stop with a period and the start margin, so
    // that the first frame written is heard at once, and is topped up right
    // after: running, it keeps 16 ms more (whole periods), which a start
    // waits behind, and is refilled every period, so that a mixer woken that
    // late finds audio still queued. Each underrun, and each wake-up of its
    // mixer after all that was left had played, grows that once (a quarter
    // of a period, then twice as much each time), and nothing else does.
    // After ten minutes of sound without an underrun, every device takes
    // back one step of what it grew.
    int QueuedAheadFrames() const { return queuedAhead_.load(std::memory_order_relaxed); }

private:
    void Run();
    void RunOnOwnClock();
    // Mixes periods (one by default), after lead frames when lead is not 0,
    // and hands them to the device in one write.
    DeviceSink::WriteResult MixAndWrite(int periods = 1, int lead = 0);
    // A device woken at its low water takes up to six periods at once.
    static constexpr int MaxPeriodsAWrite = 6;
    // On its own clock the mixer wakes once every few periods.
    static constexpr int OwnClockPeriodsAWake = 4;
    DeviceSink::WriteResult WriteAndKeep(const float* frames, int count);
    // True when the starts were mixed into queued audio taken back; following
    // frames are mixed right after it.
    bool RewindForStarts(int following);
    // Mixer side, once nothing has sounded for as long as the device holds:
    // stops feeding a device that can be stopped and restarted at no cost.
    void SleepWhileSilent();
    // Stops the device until a voice is started or may play again, unless
    // one already is or the device cannot stop.
    void FallAsleep();
    // A voice waits to play and no start is underway: a stopped device is
    // filled for it now rather than at a start.
    bool ResumedVoiceWaits();
    void ShrinkAfterQuiet();
    int QueueLimit() const;
    // Mixer side: what the card keeps queued once running (a card that
    // cannot take audio back starts with less and is topped up to it).
    int RunningQueueFrames() const;
    void SetQueue(int frames);
    void NoteLateness(int frames);
    void NoteSoundEnd(std::uint64_t frame);
    void MeasureMargin(int inFlight);
    void StartRanDry();
    void NoteUnderrun();
    // True when the device cannot rewind and its mixer woke once all that
    // was left queued had played (it grows once the write is through).
    bool GrowForLateness(int late);
    // A device that cannot rewind queues a step more (a quarter of a period,
    // then twice the last step), and says why.
    void GrowAStep(MixerEvent::Kind why);
    // Queues twice as much (at least two periods, at most the limit), and
    // says why; only growth at underruns widens the start margin.
    void DoubleQueue(MixerEvent::Kind why);
    // Of what the queue grew, the part its underruns added (see underrunGrowth_).
    int GrownAtUnderruns() const;
    void QueueAhead(int frames);
    void LogEvents();
    // Wakes a mixer thread that runs on the machine's clock (see RunOnOwnClock).
    void WakeOwnClock();
    int clockWakeFd_ = -1;

    const std::string name_;
    const std::unique_ptr<DeviceSink> sink_;
    Pacing pacing_;
    Mixer mixer_;
    std::vector<float> mix_;
    // The last frames handed to the sink (a ring of the device's buffer), so
    // that frames taken back are written again exactly, with a new voice added.
    std::vector<float> history_;
    std::size_t historyFrames_ = 0;
    std::size_t historyNext_ = 0;
    std::size_t historyFilled_ = 0;
    std::vector<float> rewound_;
    std::array<std::atomic<bool>, Mixer::MaxVoices> starting_{};
    std::atomic<bool> startPending_{false};
    std::atomic<bool> cut_{false};
    // Mixer side: a sound cut off ended where the mixing has got to.
    void NoteCut();
    // Mixer side: the queued-ahead audio, what is left of it when the device
    // wakes the mixer, and what it is grown on.
    std::atomic<int> queuedAhead_{0};
    int lowWater_ = 0;
    int openedQueuedAhead_ = 0;
    bool underranBefore_ = false;
    bool cannotRewind_ = false;
    // Mixer side: the device has not started since it was opened or stopped
    // while silent; the next frames written start it.
    bool freshStart_ = true;
    std::uint64_t lastUnderrunFrame_ = 0;
    // What underruns (and wake-ups that late) added to the queue of a device
    // that cannot rewind, and the frame of the timeline where the queue next
    // shrinks a step.
    int underrunRoom_ = 0;
    // Of what a device that can rewind grew, the part its underruns added:
    // a start keeps that much further from what plays, as the lateness that
    // ran it dry may not have been seen.
    int underrunGrowth_ = 0;
    std::uint64_t shrinkAt_ = 0;
    // Mixer side: frames mixed since a voice last sounded; whether the
    // device refused to stop while silent.
    std::int64_t silentFrames_ = 0;
    bool keepsRunning_ = false;
    std::atomic<bool> asleep_{false};
    // Orders falling asleep against a voice that may play (VoiceMayPlay).
    std::atomic<std::uint32_t> sleepGate_{0};
    // Set once the mixer thread was refused real-time priority.
    std::atomic<bool> withoutRealtime_{false};
    // Mixer side: what the start margin is measured on. The lateness seen in
    // this half minute and the one before, the in-flight frames at the last
    // start, the floor raised by a start that ran the device dry, and the end
    // of the timeline as it was when queued audio was last rewritten.
    std::array<int, 2> lateness_{};
    std::uint64_t latenessWindowEnd_ = 0;
    int inFlight_ = 0;
    int marginFloor_ = 0;
    std::uint64_t rewoundAt_ = 0;
    bool rewoundBefore_ = false;
    std::atomic<int> startMargin_{0};
    // Mixer side: the frame of the timeline where a sound last ran out.
    std::uint64_t lastSoundEnd_ = 0;
    bool soundEnded_ = false;
    SpscRing<MixerEvent> events_{64};
    std::atomic<bool> running_{false};
    std::atomic<bool> lost_{false};
    std::atomic<std::uint64_t> rendered_{0};
    std::thread thread_;
    std::int64_t clockBaseMs_ = 0;
    std::int64_t clockPeriods_ = 0;
    // Underruns are logged at most once a minute (or now), with their count.
    void ReportUnderruns(bool now = false);
    int underrunsUnreported_ = 0;
    std::int64_t lastUnderrunCode_ = 0;
    bool underrunReported_ = false;
    std::int64_t underrunReportMs_ = 0;
};

struct OutputDevice::Key {
private:
    Key() = default;
    friend class OutputDevice;
};

} // namespace platform::audio
