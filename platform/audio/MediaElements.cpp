#include "platform/audio/MediaElements.h"

#include <gst/gst.h>

#include <cstring>

namespace platform::audio::media {

namespace {

// decodebin3's stream selection answers: as it would choose, or not at all.
constexpr int selectAsUsual = -1;
constexpr int selectNot = 0;

// The formats a voice plays: packed 24-bit keeps every 16- and 24-bit sample
// exact and leaves no reason to dither.
constexpr const char* rendererCaps =
    "audio/x-raw,format=S24LE,layout=interleaved,channels=(int){ 1, 2, 6, 8 },rate=(int)[ 1000, 384000 ]";

// Only the sound of a file is decoded; its video and other streams are left
// alone.
int SelectStream(GstElement* /*decoder*/, GstStreamCollection* /*collection*/, GstStream* stream, gpointer /*data*/)
{
    return (gst_stream_get_stream_type(stream) & GST_STREAM_TYPE_AUDIO) != 0 ? selectAsUsual : selectNot;
}

GstElement* Make(const char* factory)
{
    return gst_element_factory_make(factory, nullptr);
}

} // namespace

GstElement* MakeRendererBin(const std::string& synthesizer, GstElement** appsink)
{
    GstElement* bin = gst_bin_new(nullptr);
    GstElement* synth = synthesizer.empty() ? nullptr : Make(synthesizer.c_str());
    GstElement* convert = Make("audioconvert");
    GstElement* resample = Make("audioresample");
    GstElement* filter = Make("capsfilter");
    GstElement* sink = Make("appsink");
    const bool complete = convert != nullptr && resample != nullptr && filter != nullptr && sink != nullptr &&
                          (synthesizer.empty() || synth != nullptr);
    for (GstElement* element : {synth, convert, resample, filter, sink}) {
        if (element != nullptr) {
            gst_bin_add(GST_BIN_CAST(bin), element);
        }
    }
    if (!complete) {
        gst_object_unref(bin);
        return nullptr;
    }
    GstCaps* caps = gst_caps_from_string(rendererCaps);
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    g_object_set(sink, "sync", FALSE, "emit-signals", FALSE, "enable-last-sample", FALSE, nullptr);
    const bool linked = (synth == nullptr || gst_element_link(synth, convert)) &&
                        gst_element_link_many(convert, resample, filter, sink, nullptr);
    GstElement* first = synth != nullptr ? synth : convert;
    GstPad* input = gst_element_get_static_pad(first, "sink");
    GstPad* ghost = input != nullptr ? gst_ghost_pad_new("sink", input) : nullptr;
    if (input != nullptr) {
        gst_object_unref(input);
    }
    if (!linked || ghost == nullptr || !gst_element_add_pad(bin, ghost)) {
        gst_object_unref(bin);
        return nullptr;
    }
    *appsink = sink;
    return bin;
}

GstElement* MakeAutoDecoder()
{
    GstElement* decoder = Make(autoDecoderFactory);
    if (decoder != nullptr) {
        g_signal_connect(decoder, "select-stream", G_CALLBACK(&SelectStream), nullptr);
    }
    return decoder;
}

bool IsAutomatic(GstElement* element)
{
    const std::string factory = FactoryName(element);
    return factory == autoDecoderFactory || factory == "parsebin";
}

bool AcceptsOnlyRawAudio(GstCaps* caps)
{
    if (caps == nullptr || gst_caps_is_any(caps) || gst_caps_is_empty(caps)) {
        return false;
    }
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        if (!gst_structure_has_name(gst_caps_get_structure(caps, i), "audio/x-raw")) {
            return false;
        }
    }
    return true;
}

bool CarriesRawAudio(GstPad* pad)
{
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (caps == nullptr) {
        caps = gst_pad_query_caps(pad, nullptr);
    }
    const bool raw = AcceptsOnlyRawAudio(caps);
    if (caps != nullptr) {
        gst_caps_unref(caps);
    }
    return raw;
}

std::string FactoryName(GstElement* element)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory == nullptr) {
        return {};
    }
    const gchar* name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE_CAST(factory));
    return name != nullptr ? name : "";
}

bool AnswerScheduling(GstQuery* query, bool pull)
{
    if (query == nullptr || GST_QUERY_TYPE(query) != GST_QUERY_SCHEDULING) {
        return false;
    }
    gst_query_set_scheduling(query, GST_SCHEDULING_FLAG_SEEKABLE, 1, -1, 0);
    gst_query_add_scheduling_mode(query, GST_PAD_MODE_PUSH);
    if (pull) {
        gst_query_add_scheduling_mode(query, GST_PAD_MODE_PULL);
    }
    return true;
}

} // namespace platform::audio::media
