#include "platform/audio/MediaGraph.h"

#include "platform/audio/AudioSystem.h"
#include "platform/audio/GraphReaper.h"
#include "platform/audio/GraphStateChange.h"
#include "platform/audio/MediaFramework.h"
#include "platform/audio/MediaGraphParts.h"
#include "platform/audio/PadLinks.h"
#include "platform/audio/PrerollTimeouts.h"
#include "platform/audio/WaveParserScheduling.h"
#include "platform/base/Clock.h"
#include "platform/base/GivenUpFiles.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"

#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <utility>

namespace platform::audio {

namespace {

// Longest wait for a graph to preroll. A local file prerolls within
// milliseconds; this leaves a slow server share time for its first reads, and
// a graph that will never preroll reports its failure while the operator
// still waits for the sound. The wait pumps events, so the window stays live.
constexpr int defaultPrerollLimitMs = 5000;
std::atomic<int> prerollLimitMs{defaultPrerollLimitMs};
constexpr GstClockTime busSlice = 10 * GST_MSECOND;
constexpr int waitSliceMs = 10;

GstBusSyncReply KeepWanted(GstBus* /*bus*/, GstMessage* message, gpointer /*data*/)
{
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_ASYNC_DONE:
    case GST_MESSAGE_APPLICATION:
        return GST_BUS_PASS;
    default:
        return GST_BUS_DROP;
    }
}

std::string MessageText(GstMessage* message)
{
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    std::string text = error != nullptr ? error->message : "unknown error";
    const gchar* source = GST_MESSAGE_SRC_NAME(message);
    if (source != nullptr) {
        text += std::string(" (") + source + ")";
    }
    if (error != nullptr) {
        g_error_free(error);
    }
    g_free(debug);
    return text;
}

} // namespace

// Everything of a pipeline that its threads may still touch: the pipeline and
// its bus, the pad links and the renderers' feeds (their callbacks), and a
// state change in flight. Destroying it stops the pipeline, however long that
// takes, then frees these in the order the threads need.
struct MediaGraph::Remains : graphreaper::Leftover {
    GstElement* pipeline = nullptr;
    GstBus* bus = nullptr;
    std::unique_ptr<PadLinks> links;
    std::vector<std::unique_ptr<Filter>> filters;
    std::vector<Connection> connections;
    std::unique_ptr<GraphStateChange> change;
    // The graph's files, given up on until it has stopped.
    std::vector<std::unique_ptr<givenup::Mark>> givenUp;

    Remains() = default;
    Remains(const Remains&) = delete;
    Remains& operator=(const Remains&) = delete;
    ~Remains() override
    {
        change.reset();
        for (auto& filter : filters) {
            if (filter->feed) {
                filter->feed->Shutdown();
            }
        }
        if (pipeline != nullptr) {
            gst_element_set_state(pipeline, GST_STATE_NULL);
        }
        links.reset();
        for (Connection& connection : connections) {
            if (connection.source != nullptr) {
                gst_object_unref(connection.source);
            }
        }
        filters.clear();
        if (bus != nullptr) {
            gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
            gst_object_unref(bus);
        }
        if (pipeline != nullptr) {
            gst_object_unref(pipeline);
        }
    }
};

MediaGraph::MediaGraph()
{
    if (!StartMediaFramework()) {
        lastError_ = "GStreamer does not start";
        return;
    }
    registered_ = RegisteredMediaFilters(AudioSystem::Current());
    pipeline_ = gst_pipeline_new(nullptr);
    if (pipeline_ == nullptr) {
        lastError_ = "no pipeline";
        return;
    }
    gst_object_ref_sink(pipeline_);
    bus_ = gst_pipeline_get_bus(GST_PIPELINE_CAST(pipeline_));
    gst_bus_set_sync_handler(bus_, &KeepWanted, nullptr, nullptr);
    media::ParseWavesAsStreams(pipeline_);
    links_ = std::make_unique<PadLinks>(pipeline_);
}

MediaGraph::~MediaGraph()
{
    ReportShortfall();
    if (StopPipeline(false)) {
        // Stopped: what is left goes now.
        TakeRemains().reset();
    }
}

std::unique_ptr<MediaGraph::Remains> MediaGraph::TakeRemains()
{
    auto remains = std::make_unique<Remains>();
    remains->pipeline = std::exchange(pipeline_, nullptr);
    remains->bus = std::exchange(bus_, nullptr);
    remains->links = std::move(links_);
    remains->filters = std::exchange(filters_, {});
    remains->connections = std::exchange(connections_, {});
    remains->change = std::move(starting_);
    seeking_.reset();
    return remains;
}

bool MediaGraph::SeekOverdue() const
{
    const std::int64_t nowMs = ClockMs();
    return nowMs >= seeking_->sinceMs && nowMs - seeking_->sinceMs >= PrerollLimitMs();
}

bool MediaGraph::StopPipeline(bool stuck)
{
    for (auto& filter : filters_) {
        if (filter->feed) {
            filter->feed->Shutdown();
        }
    }
    if (!starting_) {
        return true;
    }
    // Nothing waits on a graph whose seek has gone unanswered as long as a
    // preroll may take: its reads are stuck. One sent a moment ago is only
    // slow (a busy machine); the stop below waits for it within its limit,
    // so the file is not taken for stuck and refused at its next press.
    stuck = stuck || (seeking_ && !starting_->Finished() && SeekOverdue());
    std::unique_ptr<GraphStateChange> stopping;
    if (!stuck) {
        stopping = std::make_unique<GraphStateChange>(pipeline_, GST_STATE_NULL, std::move(starting_));
        if (stopping->WaitFinished(StopLimitMs)) {
            seeking_.reset();
            return true;
        }
    }
    Log("Media graph: left to stop on its own once the reads of its file return", 0);
    const std::vector<std::string> files = SourceFiles();
    std::unique_ptr<Remains> remains = TakeRemains();
    for (const std::string& file : files) {
        remains->givenUp.push_back(std::make_unique<givenup::Mark>(file));
    }
    if (stopping) {
        remains->change = std::move(stopping);
    }
    graphreaper::Leave(std::move(remains));
    prepared_ = true;
    preparedOk_ = false;
    state_ = GraphState::Stopped;
    return false;
}

bool MediaGraph::Unprepare()
{
    if (!prepared_) {
        return Valid();
    }
    if (!StopPipeline(false)) {
        return false;
    }
    for (auto& filter : filters_) {
        if (filter->feed && filter->element != nullptr) {
            const int device = filter->feed->Device();
            filter->feed = std::make_unique<RendererFeed>(device);
            filter->feed->Attach(filter->appsink);
        }
    }
    prepared_ = false;
    preparedOk_ = false;
    preparedOnLostDevice_ = false;
    brokenLink_ = -1;
    state_ = GraphState::Stopped;
    resumeReady_ = true;
    stoppedAt_ = 0;
    playedFrom_.reset();
    readiedAt_.reset();
    stop_.reset();
    return true;
}

bool MediaGraph::Prepare()
{
    if (prepared_) {
        return preparedOk_;
    }
    prepared_ = true;
    errored_ = false;
    endSeen_ = false;
    if (!Valid()) {
        return false;
    }
    RemoveUnreachable();
    // Before anything opens the files: a file on a share that stopped
    // answering is not touched again.
    const std::vector<std::string> files = SourceFiles();
    if (prerolltimeouts::Recent(files)) {
        // It timed out a moment ago, unchanged: a press queued behind that
        // failure gets its answer at once.
        Fail("the graph did not preroll in time");
        return false;
    }
    if (PressBoundMs(PrerollLimitMs()) <= 0) {
        // The press's time went on a call that did not come back (most likely
        // on these very files): they are not opened again in it.
        Fail("the graph did not preroll in time");
        return false;
    }
    // What an earlier attempt left on the bus is no news of this one.
    while (GstMessage* stale = gst_bus_pop(bus_)) {
        gst_message_unref(stale);
    }
    const bool ends = std::any_of(filters_.begin(), filters_.end(), [](const auto& filter) {
        return filter->element != nullptr &&
               (filter->feed || GST_OBJECT_FLAG_IS_SET(filter->element, GST_ELEMENT_FLAG_SINK));
    });
    if (!ends) {
        Fail("the graph has no renderer and no writer");
        return false;
    }
    const prerolltimeouts::Loading loading(files);
    starting_ = std::make_unique<GraphStateChange>(pipeline_, GST_STATE_PAUSED);
    if (!WaitPrerolled(loading) || !OpenRenderers()) {
        return false;
    }
    if (HasRenderer()) {
        // Decoding runs ahead into the paused voices from now on.
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    }
    state_ = GraphState::Stopped;
    resumeReady_ = true;
    stoppedAt_ = 0;
    playedFrom_.reset();
    readiedAt_.reset();
    preparedOk_ = true;
    return true;
}

int MediaGraph::PrerollLimitMs()
{
    return prerollLimitMs.load();
}

void MediaGraph::SetPrerollLimitMs(int ms)
{
    prerollLimitMs.store(ms > 0 ? ms : defaultPrerollLimitMs);
}

std::vector<std::string> MediaGraph::SourceFiles() const
{
    std::vector<std::string> paths;
    for (const auto& filter : filters_) {
        if (filter->element == nullptr || !filter->fileSource) {
            continue;
        }
        gchar* location = nullptr;
        g_object_get(filter->element, "location", &location, nullptr);
        if (location != nullptr) {
            paths.emplace_back(location);
            g_free(location);
        }
    }
    return paths;
}

bool MediaGraph::WaitPrerolled(const prerolltimeouts::Loading& loading)
{
    // GStreamer's threads do the work: the limit runs on the machine's clock.
    // Inside a press, by the press's deadline at the latest.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(PressBoundMs(PrerollLimitMs()));
    // The window stays drawn and the tick's players go on sounding; clicks,
    // keys and drops wait until the graph is ready or has failed, whichever
    // pump runs meanwhile, so none of them can close or rebuild the player
    // that waits here.
    const InputHold hold;
    for (;;) {
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus_, busSlice,
            static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_APPLICATION));
        if (message == nullptr) {
            Pump();
        }
        RefillIfDue();
        if (message != nullptr) {
            const GstMessageType type = GST_MESSAGE_TYPE(message);
            std::string reason;
            if (type == GST_MESSAGE_ERROR) {
                reason = MessageText(message);
                NoteBrokenLink(message);
            } else if (type == GST_MESSAGE_APPLICATION) {
                reason = std::string("a pin refused its connection (") + GST_MESSAGE_SRC_NAME(message) + ")";
                NoteBrokenLink(message);
            }
            gst_message_unref(message);
            if (type == GST_MESSAGE_ASYNC_DONE) {
                return true;
            }
            Fail(reason);
            return false;
        }
        if (starting_->Finished() && starting_->Result() == GST_STATE_CHANGE_FAILURE) {
            DrainBus();
            Fail(lastError_.empty() ? "the graph does not start" : lastError_);
            return false;
        }
        GstState current = GST_STATE_NULL;
        if (gst_element_get_state(pipeline_, &current, nullptr, 0) == GST_STATE_CHANGE_SUCCESS &&
            current == GST_STATE_PAUSED) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            prerolltimeouts::Note(loading);
            // What holds it back is most likely a read that does not return:
            // stopping would wait for it.
            Fail("the graph did not preroll in time", true);
            return false;
        }
    }
}

void MediaGraph::NoteBrokenLink(GstMessage* message)
{
    GstObject* source = GST_MESSAGE_SRC(message);
    const auto within = [source](GstElement* element) {
        return element != nullptr &&
               (source == GST_OBJECT_CAST(element) || gst_object_has_as_ancestor(source, GST_OBJECT_CAST(element)));
    };
    for (const Connection& connection : connections_) {
        if (within(connection.decoder)) {
            brokenLink_ = connection.input;
            return;
        }
    }
    // An element that refuses what it is given breaks the link into it; one
    // whose output finds no taker breaks the link out of it.
    bool refusedInput = false;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        refusedInput =
            error != nullptr &&
            ((error->domain == GST_STREAM_ERROR &&
              (error->code == GST_STREAM_ERROR_WRONG_TYPE || error->code == GST_STREAM_ERROR_TYPE_NOT_FOUND ||
               error->code == GST_STREAM_ERROR_DECODE || error->code == GST_STREAM_ERROR_DEMUX ||
               error->code == GST_STREAM_ERROR_FORMAT || error->code == GST_STREAM_ERROR_CODEC_NOT_FOUND)) ||
             (error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_MISSING_PLUGIN));
        if (error != nullptr) {
            g_error_free(error);
        }
    }
    for (int filter = 0; filter < FilterCount(); ++filter) {
        if (!within(filters_[static_cast<std::size_t>(filter)]->element)) {
            continue;
        }
        for (const Connection& connection : connections_) {
            if ((refusedInput ? connection.to : connection.from) == filter) {
                brokenLink_ = connection.input;
                return;
            }
        }
    }
}

bool MediaGraph::OpenRenderers()
{
    for (auto& filter : filters_) {
        if (filter->element == nullptr || !filter->feed) {
            continue;
        }
        GstPad* pad = gst_element_get_static_pad(filter->appsink, "sink");
        GstCaps* caps = pad != nullptr ? gst_pad_get_current_caps(pad) : nullptr;
        GstAudioInfo info;
        const bool known = caps != nullptr && gst_audio_info_from_caps(&info, caps);
        if (caps != nullptr) {
            gst_caps_unref(caps);
        }
        if (pad != nullptr) {
            gst_object_unref(pad);
        }
        if (!known) {
            Fail("the stream holds no sound");
            return false;
        }
        const StreamFormat format{GST_AUDIO_INFO_RATE(&info), 24, GST_AUDIO_INFO_CHANNELS(&info)};
        const AudioError error = filter->feed->OpenVoice(format);
        if (error != AudioError::None) {
            // No other way of building would help while the device is lost.
            preparedOnLostDevice_ = error == AudioError::DeviceLost;
            Fail(DeviceRefusal(error));
            return false;
        }
        filter->feed->SetSpeed(rate_);
    }
    ApplyGains();
    return true;
}

void MediaGraph::Fail(std::string reason, bool stuck)
{
    lastError_ = std::move(reason);
    Log("Media graph: " + lastError_, 0);
    StopPipeline(stuck);
    preparedOk_ = false;
}

void MediaGraph::GatherShortfall()
{
    ForEachFeed([this](RendererFeed& feed) { shortMs_ += feed.TakeStarvedMs(); });
}

void MediaGraph::ReportShortfall()
{
    GatherShortfall();
    // Once a play: what is counted after its line (the moment its pause
    // takes, the stop of a graph already reported) is no silence of its own.
    const bool first = !std::exchange(playReported_, true);
    if (shortMs_ <= 0 || !first) {
        shortMs_ = 0;
        return;
    }
    std::string files;
    for (const std::string& file : SourceFiles()) {
        files += (files.empty() ? "\"" : ", \"") + file + "\"";
    }
    Log("Media graph: " + (files.empty() ? std::string("the stream") : files) +
            " was not read in time: the sound went silent for " + std::to_string(shortMs_) + " ms",
        0);
    shortMs_ = 0;
}

void MediaGraph::DrainBus()
{
    if (bus_ == nullptr) {
        return;
    }
    while (GstMessage* message = gst_bus_pop(bus_)) {
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ERROR:
            lastError_ = MessageText(message);
            if (!errored_ && preparedOk_) {
                Log("Media graph: " + lastError_, 0);
            }
            errored_ = true;
            break;
        case GST_MESSAGE_EOS:
            endSeen_ = true;
            break;
        default:
            break;
        }
        gst_message_unref(message);
    }
}

bool MediaGraph::HasRenderer() const
{
    return std::any_of(filters_.begin(), filters_.end(),
                       [](const auto& filter) { return filter->element != nullptr && filter->feed; });
}

int MediaGraph::RendererDevice() const
{
    for (const auto& filter : filters_) {
        if (filter->element != nullptr && filter->feed) {
            return filter->feed->Device();
        }
    }
    return -1;
}

RendererFeed* MediaGraph::FirstFeed() const
{
    for (const auto& filter : filters_) {
        if (filter->element != nullptr && filter->feed && filter->feed->HasVoice()) {
            return filter->feed.get();
        }
    }
    return nullptr;
}

bool MediaGraph::WaitBuffered(int timeoutMs)
{
    if (!HasRenderer()) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        // The voices fill once a seek under way has landed.
        SettleSeek();
        if (!HasRenderer()) {
            return false;
        }
        bool all = true;
        ForEachFeed([&all](RendererFeed& feed) { all = all && feed.WaitBuffered(waitSliceMs); });
        RefillIfDue();
        if (all) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
    }
}

int MediaGraph::BufferedMs()
{
    std::int64_t least = -1;
    ForEachFeed([&least](RendererFeed& feed) {
        const std::int64_t ms = feed.FramesAhead() * 1000 / feed.Format().rate;
        least = least < 0 ? ms : std::min(least, ms);
    });
    return static_cast<int>(std::max<std::int64_t>(0, least));
}

bool MediaGraph::RunToEnd(int timeoutMs)
{
    if (HasRenderer() || !Run()) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!errored_ && !endSeen_) {
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus_, busSlice, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        RefillIfDue();
        if (message != nullptr) {
            if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
                endSeen_ = true;
            } else {
                lastError_ = MessageText(message);
                Log("Media graph: " + lastError_, 0);
                errored_ = true;
            }
            gst_message_unref(message);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            lastError_ = "the graph did not end in time";
            break;
        }
    }
    if (StopPipeline(false)) {
        prepared_ = false;
    }
    preparedOk_ = false;
    state_ = GraphState::Stopped;
    return endSeen_ && !errored_;
}

} // namespace platform::audio
