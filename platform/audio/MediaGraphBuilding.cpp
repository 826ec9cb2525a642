// MediaGraph: its filters, their pins and the connections between them.
#include "platform/audio/MediaGraph.h"

#include "platform/audio/MediaElements.h"
#include "platform/audio/MediaGraphParts.h"
#include "platform/audio/PadLinks.h"
#include "platform/audio/ReadAhead.h"

#include <gst/gst.h>

#include <algorithm>

namespace platform::audio {

namespace {

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

// Answers how a file source is read without opening its file, as a file
// that can be read anywhere: the automatic decoder asks while it is linked,
// and a file source opens its file to answer, on the caller's thread, where
// a share that stops answering would hold it. The true answer comes as the
// graph starts, on a thread of its own.
GstPadProbeReturn AnswerSchedulingUnopened(GstPad* /*pad*/, GstPadProbeInfo* info, gpointer /*data*/)
{
    return media::AnswerScheduling(gst_pad_probe_info_get_query(info), true) ? GST_PAD_PROBE_HANDLED
                                                                            : GST_PAD_PROBE_OK;
}

} // namespace

int MediaGraph::AddFilter(const MediaFilter& filter)
{
    if (!Valid()) {
        return -1;
    }
    if (!Unprepare()) {
        return -1;
    }
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
    if (!Unprepare()) {
        return false;
    }
    g_object_set(found->element, "location", std::string(path).c_str(), nullptr);
    return true;
}

bool MediaGraph::SetSinkFileName(int filter, std::string_view path)
{
    const Filter* found = Live(filter);
    if (found == nullptr || !found->fileSink) {
        return false;
    }
    if (!Unprepare()) {
        return false;
    }
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
    if (fits && Unprepare()) {
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
    if (!Unprepare()) {
        return false;
    }

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
        const gulong probe = from->fileSource ? gst_pad_add_probe(output.pad, GST_PAD_PROBE_TYPE_QUERY_UPSTREAM,
                                                                  &AnswerSchedulingUnopened, nullptr, nullptr)
                                              : 0;
        GstPad* fromPad = output.pad;
        if (from->fileSource) {
            connection.readAhead = media::MakeReadAhead(from->element);
        }
        if (connection.readAhead != nullptr) {
            gst_bin_add(GST_BIN_CAST(pipeline_), connection.readAhead);
            GstPad* readAheadInput = gst_element_get_static_pad(connection.readAhead, "sink");
            linked = gst_pad_link(output.pad, readAheadInput) == GST_PAD_LINK_OK;
            gst_object_unref(readAheadInput);
            fromPad = gst_element_get_static_pad(connection.readAhead, "src");
        }
        linked = linked && gst_pad_link(fromPad, entry) == GST_PAD_LINK_OK;
        if (fromPad != output.pad) {
            gst_object_unref(fromPad);
        }
        if (probe != 0) {
            gst_pad_remove_probe(output.pad, probe);
        }
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
    if (connection.readAhead != nullptr) {
        GstPad* readAheadOutput = gst_element_get_static_pad(connection.readAhead, "src");
        if (GstPad* peer = gst_pad_get_peer(readAheadOutput); peer != nullptr) {
            gst_pad_unlink(readAheadOutput, peer);
            gst_object_unref(peer);
        }
        gst_object_unref(readAheadOutput);
        gst_element_set_state(connection.readAhead, GST_STATE_NULL);
        gst_bin_remove(GST_BIN_CAST(pipeline_), connection.readAhead);
        connection.readAhead = nullptr;
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
    if (!Unprepare()) {
        return false;
    }
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

} // namespace platform::audio
