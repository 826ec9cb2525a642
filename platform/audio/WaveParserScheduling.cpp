#include "platform/audio/WaveParserScheduling.h"

#include "platform/audio/MediaElements.h"

#include <gst/gst.h>

namespace platform::audio::media {

namespace {

// Answers the parser's question how it may read: by push only, with seeking
// (it turns a seek into a byte seek upstream).
GstPadProbeReturn OfferPushOnly(GstPad* /*pad*/, GstPadProbeInfo* info, gpointer /*data*/)
{
    return AnswerScheduling(GST_PAD_PROBE_INFO_QUERY(info), false) ? GST_PAD_PROBE_HANDLED : GST_PAD_PROBE_OK;
}

// On the thread that adds the element (a streaming thread while the automatic
// decoder plugs its parts): only GStreamer is touched here.
void ElementAdded(GstBin* /*bin*/, GstBin* /*within*/, GstElement* element, gpointer /*data*/)
{
    if (FactoryName(element) != "wavparse") {
        return;
    }
    GstPad* input = gst_element_get_static_pad(element, "sink");
    if (input != nullptr) {
        gst_pad_add_probe(input, GST_PAD_PROBE_TYPE_QUERY_UPSTREAM, &OfferPushOnly, nullptr, nullptr);
        gst_object_unref(input);
    }
}

} // namespace

void ParseWavesAsStreams(GstElement* pipeline)
{
    // Raised for an element added to the pipeline itself as well.
    g_signal_connect(pipeline, "deep-element-added", G_CALLBACK(&ElementAdded), nullptr);
}

} // namespace platform::audio::media
