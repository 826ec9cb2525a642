// MediaGraph: running, pausing and stopping, positions, rate, volume and balance.
#include "platform/audio/MediaGraph.h"

#include "platform/audio/GraphStateChange.h"
#include "platform/audio/MediaGraphParts.h"
#include "platform/base/Clock.h"

#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace platform::audio {

namespace {

constexpr std::int64_t nsPerSecond = 1'000'000'000;
constexpr int durationLimitMs = 2000;
constexpr int silentLevel = -10000;
// Longest a start waits for its decoder (the program's thread is not held longer).
constexpr int startWaitMs = 20;

double Gain(int hundredthsOfDb)
{
    return hundredthsOfDb <= silentLevel ? 0.0 : std::pow(10.0, hundredthsOfDb / 2000.0);
}

} // namespace

bool MediaGraph::Run()
{
    SettleSeek();
    // A graph never runs into a lost device, where nothing would sound.
    if (!ReopenLostRenderers() || !Prepare()) {
        return false;
    }
    if (!HasRenderer()) {
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
        state_ = GraphState::Running;
        return true;
    }
    if (state_ == GraphState::Running) {
        return true;
    }
    const bool fromStop = state_ == GraphState::Stopped;
    // A seek under way already takes the voices where they are to go (one
    // that readies them for a press goes where the graph stands instead).
    if (!resumeReady_ && (!seeking_ || seeking_->readying)) {
        Seek(stoppedAt_, stop_);
    }
    if (fromStop) {
        playedFrom_ = seeking_ ? seeking_->wantedFrame : PositionFrames();
    }
    if (!seeking_) {
        // Just after a seek or the preparation the decoder may have handed
        // on only its first block (40 ms of a wave file): a local file gives
        // more at once, and the sound starts with it rather than run dry a
        // few periods in. A slow share is not waited for beyond the bound.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(startWaitMs);
        ForEachFeed([&deadline](RendererFeed& feed) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            feed.WaitStartReady(static_cast<int>(std::max<std::int64_t>(0, left.count())));
        });
    }
    ForEachFeed([](RendererFeed& feed) { feed.Start(); });
    state_ = GraphState::Running;
    playReported_ = false;
    return true;
}

bool MediaGraph::Pause()
{
    if (!Prepare()) {
        return false;
    }
    if (!HasRenderer()) {
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        state_ = GraphState::Paused;
        return true;
    }
    // A seek under way already takes the voices where they are to go.
    if (!resumeReady_ && (!seeking_ || seeking_->readying)) {
        Seek(stoppedAt_, stop_);
    }
    ForEachFeed([](RendererFeed& feed) { feed.Pause(); });
    state_ = GraphState::Paused;
    return true;
}

bool MediaGraph::Stop()
{
    SettleSeek();
    if (preparedOk_ && state_ == GraphState::Stopped && resumeReady_ && !seeking_ && HasRenderer()) {
        // Stopped already, the paused voices holding the sound from where it
        // stands: they keep it for the next run.
        return true;
    }
    const bool stopped = Halt();
    ReadyNextPress();
    return stopped;
}

bool MediaGraph::Halt()
{
    SettleSeek();
    if (!preparedOk_) {
        state_ = GraphState::Stopped;
        return true;
    }
    if (seeking_) {
        // The voices hold no sound until the seek lands; it lands where the
        // graph runs from next.
        ForEachFeed([](RendererFeed& feed) { feed.Pause(); });
        ReportShortfall();
        if (!seeking_->readying) {
            stoppedAt_ = seeking_->wantedFrame;
        }
        state_ = GraphState::Stopped;
        return true;
    }
    if (!HasRenderer()) {
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        state_ = GraphState::Stopped;
        return true;
    }
    if (resumeReady_) {
        // The sound stops at once; what was decoded ahead is dropped, and the
        // stream waits until the graph runs again from here.
        stoppedAt_ = PositionFrames();
        ForEachFeed([](RendererFeed& feed) { feed.Pause(); });
        // Paused first: the silence counted ends where the sound stopped.
        ReportShortfall();
        ForEachFeed([this](RendererFeed& feed) {
            feed.Hold();
            feed.ResetTo(stoppedAt_);
        });
        resumeReady_ = false;
    } else {
        ReportShortfall();
    }
    state_ = GraphState::Stopped;
    return true;
}

void MediaGraph::ReadyNextPress()
{
    // As after loading: the voices hold the sound from where the last run
    // began, for the press that starts it there again. Read from a slow
    // share after the press instead, its first blocks would come too late.
    if (!preparedOk_ || state_ != GraphState::Stopped || resumeReady_ || seeking_ || readiedAt_ || !playedFrom_ ||
        RendererLost()) {
        return;
    }
    ForEachFeed([](RendererFeed& feed) { feed.Hold(); });
    SendSeek(*playedFrom_, stop_, true);
}

bool MediaGraph::Completed()
{
    SettleSeek();
    DrainBus();
    if (errored_) {
        return true;
    }
    if (!preparedOk_ || seeking_) {
        return false;
    }
    if (!HasRenderer()) {
        return endSeen_;
    }
    bool finished = true;
    ForEachFeed([&finished](RendererFeed& feed) { finished = finished && feed.Finished(); });
    if (finished) {
        ReportShortfall();
    }
    return finished;
}

double MediaGraph::Duration()
{
    if (!Prepare()) {
        return 0.0;
    }
    gint64 duration = 0;
    bool known = gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration) && duration >= 0;
    if (!known && HasRenderer()) {
        // A parser estimates the length of a stream without an index from
        // the first frames: once the decoder has run ahead it knows.
        WaitBuffered(durationLimitMs);
        known = gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration) && duration >= 0;
    }
    return known ? static_cast<double>(duration) / nsPerSecond : 0.0;
}

std::int64_t MediaGraph::PositionFrames()
{
    RendererFeed* feed = FirstFeed();
    return feed != nullptr ? feed->PositionFrames() : 0;
}

std::int64_t MediaGraph::FramesOf(double seconds) const
{
    const RendererFeed* feed = FirstFeed();
    return feed != nullptr ? std::llround(seconds * feed->Format().rate) : 0;
}

double MediaGraph::CurrentPosition()
{
    if (!preparedOk_) {
        return 0.0;
    }
    if (RendererFeed* feed = FirstFeed(); feed != nullptr) {
        // A seek under way shows where it goes; voices readied for the next
        // press do not move the graph from where it stopped.
        const bool readied = readiedAt_ || (seeking_ && seeking_->readying);
        const std::int64_t frames = readied ? stoppedAt_ : seeking_ ? seeking_->wantedFrame : feed->PositionFrames();
        return static_cast<double>(frames) / feed->Format().rate;
    }
    gint64 position = 0;
    if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) || position < 0) {
        return 0.0;
    }
    return static_cast<double>(position) / nsPerSecond;
}

bool MediaGraph::SetCurrentPosition(double seconds)
{
    return SetPlayRange(seconds, stop_);
}

bool MediaGraph::SetPlayRange(double start, std::optional<double> stop)
{
    if (!Prepare()) {
        return false;
    }
    const double length = Duration();
    start = std::max(0.0, start);
    if (length > 0.0) {
        start = std::min(start, length);
    }
    if (!HasRenderer()) {
        const gint64 stopNs = stop ? std::llround(*stop * nsPerSecond) : -1;
        return gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME,
                                static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                GST_SEEK_TYPE_SET, std::llround(start * nsPerSecond), GST_SEEK_TYPE_SET,
                                stopNs) != FALSE;
    }
    return Seek(FramesOf(start), stop);
}

bool MediaGraph::Seek(std::int64_t startFrame, std::optional<double> stop)
{
    SettleSeek();
    RendererFeed* first = FirstFeed();
    if (first == nullptr) {
        return false;
    }
    if (seeking_) {
        // The seek under way goes on to the newest position once it lands.
        seeking_->wantedFrame = startFrame;
        seeking_->wantedStop = stop;
        seeking_->readying = false;
        return true;
    }
    // The voices already hold the sound from exactly there: nothing to do,
    // and a sound cued there starts at the next mixer period.
    if (resumeReady_ && stop == stop_ && first->PositionFrames() == startFrame) {
        return true;
    }
    if (readiedAt_ == startFrame && stop == stop_) {
        readiedAt_.reset();
        stoppedAt_ = startFrame;
        resumeReady_ = true;
        return true;
    }
    readiedAt_.reset();
    ForEachFeed([](RendererFeed& feed) { feed.Hold(); });
    return SendSeek(startFrame, stop);
}

bool MediaGraph::SendSeek(std::int64_t startFrame, std::optional<double> stop, bool readying)
{
    const gint64 startNs = startFrame * nsPerSecond / FirstFeed()->Format().rate;
    const gint64 stopNs = stop ? std::llround(*stop * nsPerSecond) : -1;
    // A flushing seek waits until the streaming threads have left their
    // reads: made here, a read of a share that stopped answering would hold
    // the program's thread.
    starting_ = std::make_unique<GraphStateChange>(
        pipeline_,
        [startNs, stopNs](GstElement* pipeline) {
            return gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME,
                                    static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                    GST_SEEK_TYPE_SET, startNs, GST_SEEK_TYPE_SET, stopNs) != FALSE
                       ? 1
                       : 0;
        },
        std::move(starting_));
    seeking_ = PendingSeek{startFrame, stop, startFrame, stop, ClockMs(), readying};
    if (!starting_->WaitFinished(AnswerMs)) {
        return true; // it lands later; the voices stay silent until then
    }
    return FinishSeek();
}

bool MediaGraph::FinishSeek()
{
    const PendingSeek done = *seeking_;
    seeking_.reset();
    if (done.readying) {
        // The graph stays where it stopped, its streams held, when the voices
        // could not be readied; the next run seeks as it would have.
        if (starting_->Result() == 0) {
            return false;
        }
        ForEachFeed([&done](RendererFeed& feed) {
            feed.ResetTo(done.frame);
            feed.Release();
        });
        readiedAt_ = done.frame;
        return true;
    }
    if (starting_->Result() == 0) {
        // A stream that cannot seek goes on from where its decoder is rather
        // than stay silent.
        lastError_ = "the stream cannot move to that position";
        ForEachFeed([](RendererFeed& feed) { feed.Release(); });
        resumeReady_ = true;
        return false;
    }
    if (done.wantedFrame != done.frame || done.wantedStop != done.stop) {
        return SendSeek(done.wantedFrame, done.wantedStop);
    }
    ForEachFeed([&done](RendererFeed& feed) {
        feed.ResetTo(done.frame);
        feed.Release();
    });
    stop_ = done.stop;
    stoppedAt_ = done.frame;
    resumeReady_ = true;
    return true;
}

void MediaGraph::SettleSeek()
{
    if (!seeking_) {
        return;
    }
    if (starting_->Finished()) {
        FinishSeek();
        return;
    }
    const std::int64_t nowMs = ClockMs();
    if (nowMs < seeking_->sinceMs) {
        seeking_->sinceMs = nowMs; // the clock went back
    }
    // A last short wait, so that a seek that was merely slow still lands.
    if (nowMs - seeking_->sinceMs < PrerollLimitMs() || starting_->WaitFinished(AnswerMs)) {
        if (starting_->Finished()) {
            FinishSeek();
        }
        return;
    }
    Fail("the graph does not answer: the reads of its file do not return", true);
    errored_ = true;
}

bool MediaGraph::SetRate(double rate)
{
    if (!(rate > 0.0)) {
        return false;
    }
    rate_ = rate;
    ForEachFeed([rate](RendererFeed& feed) { feed.SetSpeed(rate); });
    return true;
}

bool MediaGraph::SetVolume(int volume)
{
    if (volume < silentLevel || volume > 0) {
        return false;
    }
    volume_ = volume;
    ApplyGains();
    return true;
}

bool MediaGraph::SetBalance(int balance)
{
    if (balance < silentLevel || balance > -silentLevel) {
        return false;
    }
    balance_ = balance;
    ApplyGains();
    return true;
}

void MediaGraph::ApplyGains()
{
    // The balance lowers only the channel away from its side, as graph
    // renderers do; -10000 is silence.
    const double level = Gain(volume_);
    const auto left = static_cast<float>(level * (balance_ > 0 ? Gain(-balance_) : 1.0));
    const auto right = static_cast<float>(level * (balance_ < 0 ? Gain(balance_) : 1.0));
    ForEachFeed([left, right](RendererFeed& feed) { feed.SetGains(left, right); });
}

} // namespace platform::audio
