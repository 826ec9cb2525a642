#include "platform/audio/MediaGraph.h"

#include "platform/audio/AudioSystem.h"
#include "platform/audio/MediaElements.h"
#include "platform/audio/MediaFramework.h"
#include "platform/audio/PadLinks.h"
#include "platform/audio/RendererFeed.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"

#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace platform::audio {

namespace {

constexpr std::int64_t nsPerSecond = 1'000'000'000;
// Longest wait for a graph to preroll: a file on a slow server share.
constexpr auto prerollLimit = std::chrono::seconds(10);
constexpr GstClockTime busSlice = 10 * GST_MSECOND;
constexpr int durationLimitMs = 2000;
constexpr int waitSliceMs = 10;
constexpr int silentLevel = -10000;

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

// A pin as the graph lists it, with its pad (a reference) or its template.
struct PinEntry {
    MediaPin pin;
    GstPad* pad = nullptr;
    GstPadTemplate* padTemplate = nullptr;
};

struct PinList {
    std::vector<PinEntry> entries;
    PinList() = default;
    PinList(const PinList&) = delete;
    PinList& operator=(const PinList&) = delete;
    ~PinList()
    {
        for (PinEntry& entry : entries) {
            if (entry.pad != nullptr) {
                gst_object_unref(entry.pad);
            }
        }
    }
};

PinDirection DirectionOf(GstPadDirection direction)
{
    return direction == GST_PAD_SRC ? PinDirection::Output : PinDirection::Input;
}

// The element's pads that always exist, then the templates of the pads it
// makes while reading.
void ListPins(GstElement* element, PinList& list)
{
    GST_OBJECT_LOCK(element);
    for (GList* item = element->pads; item != nullptr; item = item->next) {
        GstPad* pad = GST_PAD_CAST(item->data);
        GstPadTemplate* padTemplate = GST_PAD_PAD_TEMPLATE(pad);
        if (padTemplate != nullptr && GST_PAD_TEMPLATE_PRESENCE(padTemplate) != GST_PAD_ALWAYS) {
            continue;
        }
        gst_object_ref(pad);
        list.entries.push_back(
            PinEntry{MediaPin{DirectionOf(GST_PAD_DIRECTION(pad)), GST_PAD_NAME(pad)}, pad, nullptr});
    }
    GST_OBJECT_UNLOCK(element);
    for (GList* item = gst_element_class_get_pad_template_list(GST_ELEMENT_GET_CLASS(element)); item != nullptr;
         item = item->next) {
        auto* padTemplate = static_cast<GstPadTemplate*>(item->data);
        if (GST_PAD_TEMPLATE_PRESENCE(padTemplate) != GST_PAD_SOMETIMES) {
            continue;
        }
        list.entries.push_back(PinEntry{
            MediaPin{DirectionOf(GST_PAD_TEMPLATE_DIRECTION(padTemplate)), GST_PAD_TEMPLATE_NAME_TEMPLATE(padTemplate)},
            nullptr, padTemplate});
    }
}

// Unlinks every linked output pad of element made from the template.
void UnlinkPadsOf(GstElement* element, const std::string& templateName)
{
    std::vector<GstPad*> pads;
    GST_OBJECT_LOCK(element);
    for (GList* item = element->srcpads; item != nullptr; item = item->next) {
        GstPad* pad = GST_PAD_CAST(item->data);
        GstPadTemplate* padTemplate = GST_PAD_PAD_TEMPLATE(pad);
        if (padTemplate != nullptr && templateName == GST_PAD_TEMPLATE_NAME_TEMPLATE(padTemplate)) {
            pads.push_back(GST_PAD_CAST(gst_object_ref(pad)));
        }
    }
    GST_OBJECT_UNLOCK(element);
    for (GstPad* pad : pads) {
        if (GstPad* peer = gst_pad_get_peer(pad); peer != nullptr) {
            gst_pad_unlink(pad, peer);
            gst_object_unref(peer);
        }
        gst_object_unref(pad);
    }
}

double Gain(int hundredthsOfDb)
{
    return hundredthsOfDb <= silentLevel ? 0.0 : std::pow(10.0, hundredthsOfDb / 2000.0);
}

} // namespace

struct MediaGraph::Filter {
    std::string name;
    GstElement* element = nullptr; // owned by the pipeline; null once removed
    GstElement* appsink = nullptr;
    bool fileSource = false;
    bool fileSink = false;
    std::unique_ptr<RendererFeed> feed;
};

struct MediaGraph::Connection {
    int from = -1;
    int fromPin = -1;
    int to = -1;
    int input = -1;           // link id of the output into the next element
    int output = -1;          // link id out of the inserted decoder
    GstPad* source = nullptr; // the output pad when it existed (a reference)
    std::string templateName;
    GstElement* decoder = nullptr;
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
    links_ = std::make_unique<PadLinks>(pipeline_);
}

MediaGraph::~MediaGraph()
{
    for (auto& filter : filters_) {
        if (filter->feed) {
            filter->feed->Shutdown();
        }
    }
    if (pipeline_ != nullptr) {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
    }
    links_.reset();
    for (Connection& connection : connections_) {
        if (connection.source != nullptr) {
            gst_object_unref(connection.source);
        }
    }
    filters_.clear();
    if (bus_ != nullptr) {
        gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
        gst_object_unref(bus_);
    }
    if (pipeline_ != nullptr) {
        gst_object_unref(pipeline_);
    }
}

void MediaGraph::Unprepare()
{
    if (!prepared_) {
        return;
    }
    for (auto& filter : filters_) {
        if (filter->feed) {
            filter->feed->Shutdown();
        }
    }
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    for (auto& filter : filters_) {
        if (filter->feed && filter->element != nullptr) {
            const int device = filter->feed->Device();
            filter->feed = std::make_unique<RendererFeed>(device);
            filter->feed->Attach(filter->appsink);
        }
    }
    prepared_ = false;
    preparedOk_ = false;
    brokenLink_ = -1;
    state_ = GraphState::Stopped;
    resumeReady_ = true;
    stoppedAt_ = 0;
    stop_.reset();
}

int MediaGraph::AddFilter(const MediaFilter& filter)
{
    if (!Valid()) {
        return -1;
    }
    Unprepare();
    auto added = std::make_unique<Filter>();
    added->name = filter.name;
    added->fileSource = filter.fileSource;
    added->fileSink = filter.fileSink;
    switch (filter.kind) {
    case MediaFilter::Kind::Element:
        added->element = filter.factory == media::autoDecoderFactory
                             ? media::MakeAutoDecoder()
                             : gst_element_factory_make(filter.factory.c_str(), nullptr);
        break;
    case MediaFilter::Kind::Renderer:
        added->element = media::MakeRendererBin({}, &added->appsink);
        break;
    case MediaFilter::Kind::MidiRenderer:
        added->element = media::MakeRendererBin(filter.factory, &added->appsink);
        break;
    }
    if (added->element == nullptr) {
        lastError_ = "no element for \"" + filter.name + "\"";
        return -1;
    }
    if (added->element != nullptr && filter.kind == MediaFilter::Kind::Element) {
        added->fileSource = added->fileSource || media::FactoryName(added->element) == "filesrc";
        added->fileSink = added->fileSink || media::FactoryName(added->element) == "filesink";
    }
    gst_bin_add(GST_BIN_CAST(pipeline_), added->element);
    if (added->appsink != nullptr) {
        added->feed = std::make_unique<RendererFeed>(filter.device);
        added->feed->Attach(added->appsink);
    }
    filters_.push_back(std::move(added));
    return FilterCount() - 1;
}

int MediaGraph::AddElement(std::string_view factory, std::string_view name)
{
    MediaFilter filter;
    filter.name = std::string(name);
    filter.factory = std::string(factory);
    return AddFilter(filter);
}

MediaGraph::Filter* MediaGraph::Live(int filter) const
{
    if (filter < 0 || filter >= FilterCount()) {
        return nullptr;
    }
    Filter* found = filters_[static_cast<std::size_t>(filter)].get();
    return found->element != nullptr ? found : nullptr;
}

std::string MediaGraph::FilterName(int filter) const
{
    return filter >= 0 && filter < FilterCount() ? filters_[static_cast<std::size_t>(filter)]->name : std::string{};
}

bool MediaGraph::IsFileSource(int filter) const
{
    const Filter* found = Live(filter);
    return found != nullptr && found->fileSource;
}

std::string MediaGraph::SourceFileName(int filter) const
{
    const Filter* found = Live(filter);
    if (found == nullptr || !found->fileSource) {
        return {};
    }
    gchar* location = nullptr;
    g_object_get(found->element, "location", &location, nullptr);
    std::string path = location != nullptr ? location : "";
    g_free(location);
    return path;
}

bool MediaGraph::SetSourceFileName(int filter, std::string_view path)
{
    const Filter* found = Live(filter);
    if (found == nullptr || !found->fileSource) {
        return false;
    }
    Unprepare();
    g_object_set(found->element, "location", std::string(path).c_str(), nullptr);
    return true;
}

bool MediaGraph::SetSinkFileName(int filter, std::string_view path)
{
    const Filter* found = Live(filter);
    if (found == nullptr || !found->fileSink) {
        return false;
    }
    Unprepare();
    g_object_set(found->element, "location", std::string(path).c_str(), nullptr);
    return true;
}

bool MediaGraph::SetProperty(int filter, std::string_view property, std::string_view value)
{
    const Filter* found = Live(filter);
    if (found == nullptr) {
        return false;
    }
    const std::string name(property);
    GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(found->element), name.c_str());
    if (spec == nullptr || (spec->flags & G_PARAM_WRITABLE) == 0) {
        return false;
    }
    GValue converted = G_VALUE_INIT;
    g_value_init(&converted, spec->value_type);
    const bool fits = gst_value_deserialize(&converted, std::string(value).c_str()) != FALSE;
    if (fits) {
        Unprepare();
        g_object_set_property(G_OBJECT(found->element), name.c_str(), &converted);
    }
    g_value_unset(&converted);
    return fits;
}

std::vector<MediaPin> MediaGraph::Pins(int filter) const
{
    std::vector<MediaPin> pins;
    const Filter* found = Live(filter);
    if (found == nullptr) {
        return pins;
    }
    PinList list;
    ListPins(found->element, list);
    for (const PinEntry& entry : list.entries) {
        pins.push_back(entry.pin);
    }
    return pins;
}

int MediaGraph::FirstPin(int filter, PinDirection direction) const
{
    const std::vector<MediaPin> pins = Pins(filter);
    for (std::size_t i = 0; i < pins.size(); ++i) {
        if (pins[i].direction == direction) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool MediaGraph::Connect(int fromFilter, int fromPin, int toFilter, int toPin)
{
    Filter* from = Live(fromFilter);
    Filter* to = Live(toFilter);
    if (from == nullptr || to == nullptr || from == to) {
        return false;
    }
    PinList fromPins;
    PinList toPins;
    ListPins(from->element, fromPins);
    ListPins(to->element, toPins);
    if (fromPin < 0 || fromPin >= static_cast<int>(fromPins.entries.size()) || toPin < 0 ||
        toPin >= static_cast<int>(toPins.entries.size())) {
        return false;
    }
    const PinEntry& output = fromPins.entries[static_cast<std::size_t>(fromPin)];
    const PinEntry& input = toPins.entries[static_cast<std::size_t>(toPin)];
    GstPad* target = input.pad;
    if (output.pin.direction != PinDirection::Output || input.pin.direction != PinDirection::Input ||
        target == nullptr || gst_pad_is_linked(target) || links_->Targets(target) ||
        (output.pad != nullptr && gst_pad_is_linked(output.pad))) {
        return false;
    }
    Unprepare();

    // A stream that the input cannot take as it is gets the automatic decoder
    // between: raw sound for a renderer from a file source, or from any
    // output whose formats the input does not share. What an automatic
    // parser or decoder gives is known only once it reads: it links as it is.
    const bool fromAutoDecoder = media::IsAutomatic(from->element);
    GstCaps* fromCaps =
        output.pad != nullptr ? gst_pad_query_caps(output.pad, nullptr) : gst_pad_template_get_caps(output.padTemplate);
    GstCaps* toCaps = gst_pad_query_caps(target, nullptr);
    const bool direct = gst_caps_is_any(fromCaps) ? fromAutoDecoder || !media::AcceptsOnlyRawAudio(toCaps)
                                                  : gst_caps_can_intersect(fromCaps, toCaps) != FALSE;
    gst_caps_unref(fromCaps);
    gst_caps_unref(toCaps);

    Connection connection;
    connection.from = fromFilter;
    connection.fromPin = fromPin;
    connection.to = toFilter;
    connection.input = nextLink_++;
    GstPad* entry = target;
    GstPad* decoderInput = nullptr;
    if (!direct) {
        connection.decoder = media::MakeAutoDecoder();
        if (connection.decoder == nullptr) {
            return false;
        }
        gst_bin_add(GST_BIN_CAST(pipeline_), connection.decoder);
        connection.output = nextLink_++;
        links_->Add(connection.decoder, {}, target, connection.output);
        decoderInput = gst_element_get_static_pad(connection.decoder, "sink");
        entry = decoderInput;
    }
    bool linked = true;
    if (output.pad != nullptr) {
        linked = gst_pad_link(output.pad, entry) == GST_PAD_LINK_OK;
        connection.source = GST_PAD_CAST(gst_object_ref(output.pad));
    } else {
        connection.templateName = GST_PAD_TEMPLATE_NAME_TEMPLATE(output.padTemplate);
        links_->Add(from->element, connection.templateName, entry, connection.input);
    }
    if (decoderInput != nullptr) {
        gst_object_unref(decoderInput);
    }
    connections_.push_back(connection);
    if (!linked) {
        Disconnect(fromFilter, fromPin);
        return false;
    }
    return true;
}

void MediaGraph::DropConnection(Connection& connection)
{
    if (connection.source != nullptr) {
        if (GstPad* peer = gst_pad_get_peer(connection.source); peer != nullptr) {
            gst_pad_unlink(connection.source, peer);
            gst_object_unref(peer);
        }
        gst_object_unref(connection.source);
        connection.source = nullptr;
    }
    const Filter* from = Live(connection.from);
    if (!connection.templateName.empty() && from != nullptr) {
        links_->Cancel(from->element, connection.templateName);
        UnlinkPadsOf(from->element, connection.templateName);
    }
    if (connection.decoder != nullptr) {
        links_->Cancel(connection.decoder, {});
        gst_element_set_state(connection.decoder, GST_STATE_NULL);
        gst_bin_remove(GST_BIN_CAST(pipeline_), connection.decoder);
        connection.decoder = nullptr;
    }
}

bool MediaGraph::Disconnect(int filter, int pin)
{
    Filter* found = Live(filter);
    if (found == nullptr) {
        return false;
    }
    PinList pins;
    ListPins(found->element, pins);
    if (pin < 0 || pin >= static_cast<int>(pins.entries.size()) ||
        pins.entries[static_cast<std::size_t>(pin)].pin.direction != PinDirection::Output) {
        return false;
    }
    Unprepare();
    bool had = false;
    for (Connection& connection : connections_) {
        if (connection.from == filter && connection.fromPin == pin) {
            DropConnection(connection);
            had = true;
        }
    }
    std::erase_if(connections_,
                  [&](const Connection& connection) { return connection.from == filter && connection.fromPin == pin; });
    GstPad* pad = pins.entries[static_cast<std::size_t>(pin)].pad;
    if (pad != nullptr) {
        if (GstPad* peer = gst_pad_get_peer(pad); peer != nullptr) {
            gst_pad_unlink(pad, peer);
            gst_object_unref(peer);
            had = true;
        }
    }
    return had;
}

bool MediaGraph::OutputConnected(int filter) const
{
    bool any = false;
    for (const Connection& connection : connections_) {
        if (connection.from != filter) {
            continue;
        }
        any = true;
        if (connection.input == brokenLink_) {
            return false;
        }
        const bool inputMade = connection.source != nullptr ? gst_pad_is_linked(connection.source) != FALSE
                                                            : !prepared_ || links_->Done(connection.input);
        const bool outputMade = connection.decoder == nullptr || !prepared_ || links_->Done(connection.output);
        if (!inputMade || !outputMade) {
            return false;
        }
    }
    return any;
}

bool MediaGraph::RenderFile(std::string_view path, int device)
{
    const int source = AddElement("filesrc", "File Source");
    MediaFilter renderer;
    renderer.name = "Renderer";
    renderer.kind = MediaFilter::Kind::Renderer;
    renderer.device = device;
    const int sink = AddFilter(renderer);
    if (source < 0 || sink < 0 || !SetSourceFileName(source, path) || !Connect(source, 0, sink, 0)) {
        if (lastError_.empty()) {
            lastError_ = "the graph cannot be built";
        }
        return false;
    }
    return Prepare();
}

void MediaGraph::RemoveUnreachable()
{
    for (auto& filter : filters_) {
        if (filter->element == nullptr) {
            continue;
        }
        PinList pins;
        ListPins(filter->element, pins);
        bool hasInput = false;
        bool fed = false;
        for (const PinEntry& entry : pins.entries) {
            if (entry.pin.direction == PinDirection::Input && entry.pad != nullptr) {
                hasInput = true;
                fed = fed || gst_pad_is_linked(entry.pad) || links_->Targets(entry.pad);
            }
        }
        const int index = static_cast<int>(&filter - filters_.data());
        const bool feeds = std::any_of(connections_.begin(), connections_.end(),
                                       [index](const Connection& connection) { return connection.from == index; });
        if (hasInput ? fed : feeds) {
            continue;
        }
        // Nothing can reach it (a filter left over from an earlier way of
        // building): it would only keep the graph from prerolling.
        links_->Cancel(filter->element, {});
        filter->feed.reset();
        filter->appsink = nullptr;
        gst_element_set_state(filter->element, GST_STATE_NULL);
        gst_bin_remove(GST_BIN_CAST(pipeline_), filter->element);
        filter->element = nullptr;
    }
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
    if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        DrainBus();
        Fail(lastError_.empty() ? "the graph does not start" : lastError_);
        return false;
    }
    if (!WaitPrerolled() || !OpenRenderers()) {
        return false;
    }
    if (HasRenderer()) {
        // Decoding runs ahead into the paused voices from now on.
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    }
    state_ = GraphState::Stopped;
    resumeReady_ = true;
    stoppedAt_ = 0;
    preparedOk_ = true;
    return true;
}

bool MediaGraph::WaitPrerolled()
{
    const auto deadline = std::chrono::steady_clock::now() + prerollLimit;
    for (;;) {
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus_, busSlice,
            static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_APPLICATION));
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
        GstState current = GST_STATE_NULL;
        if (gst_element_get_state(pipeline_, &current, nullptr, 0) == GST_STATE_CHANGE_SUCCESS &&
            current == GST_STATE_PAUSED) {
            return true;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            Fail("the graph did not preroll in time");
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
            Fail("the output device refused the sound: " + std::string(ErrorText(error)));
            return false;
        }
        filter->feed->SetSpeed(rate_);
    }
    ApplyGains();
    return true;
}

void MediaGraph::Fail(std::string reason)
{
    lastError_ = std::move(reason);
    Log("Media graph: " + lastError_, 0);
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    preparedOk_ = false;
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

template <typename Action> void MediaGraph::ForEachFeed(Action action)
{
    for (auto& filter : filters_) {
        if (filter->element != nullptr && filter->feed && filter->feed->HasVoice()) {
            action(*filter->feed);
        }
    }
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

bool MediaGraph::Run()
{
    if (!Prepare()) {
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
    if (!resumeReady_) {
        Seek(stoppedAt_, stop_);
    }
    ForEachFeed([](RendererFeed& feed) { feed.Start(); });
    state_ = GraphState::Running;
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
    if (!resumeReady_) {
        Seek(stoppedAt_, stop_);
    }
    ForEachFeed([](RendererFeed& feed) { feed.Pause(); });
    state_ = GraphState::Paused;
    return true;
}

bool MediaGraph::Stop()
{
    if (!preparedOk_) {
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
        ForEachFeed([this](RendererFeed& feed) {
            feed.Pause();
            feed.Hold();
            feed.ResetTo(stoppedAt_);
        });
        resumeReady_ = false;
    }
    state_ = GraphState::Stopped;
    return true;
}

bool MediaGraph::Completed()
{
    DrainBus();
    if (errored_) {
        return true;
    }
    if (!preparedOk_) {
        return false;
    }
    if (!HasRenderer()) {
        return endSeen_;
    }
    bool finished = true;
    ForEachFeed([&finished](RendererFeed& feed) { finished = finished && feed.Finished(); });
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
        return static_cast<double>(feed->PositionFrames()) / feed->Format().rate;
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
    RendererFeed* first = FirstFeed();
    if (first == nullptr) {
        return false;
    }
    // The voices already hold the sound from exactly there: nothing to do,
    // and a sound cued there starts at the next mixer period.
    if (resumeReady_ && stop == stop_ && first->PositionFrames() == startFrame) {
        return true;
    }
    ForEachFeed([](RendererFeed& feed) { feed.Hold(); });
    const gint64 startNs = startFrame * nsPerSecond / first->Format().rate;
    const gint64 stopNs = stop ? std::llround(*stop * nsPerSecond) : -1;
    const bool moved = gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME,
                                        static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                        GST_SEEK_TYPE_SET, startNs, GST_SEEK_TYPE_SET, stopNs) != FALSE;
    if (!moved) {
        // A stream that cannot seek goes on from where its decoder is rather
        // than stay silent.
        lastError_ = "the stream cannot move to that position";
        ForEachFeed([](RendererFeed& feed) { feed.Release(); });
        resumeReady_ = true;
        return false;
    }
    ForEachFeed([startFrame](RendererFeed& feed) {
        feed.ResetTo(startFrame);
        feed.Release();
    });
    stop_ = stop;
    stoppedAt_ = startFrame;
    resumeReady_ = true;
    return true;
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

bool MediaGraph::WaitBuffered(int timeoutMs)
{
    if (!HasRenderer()) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
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
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    prepared_ = false;
    preparedOk_ = false;
    state_ = GraphState::Stopped;
    return endSeen_ && !errored_;
}

} // namespace platform::audio
