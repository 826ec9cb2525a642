#include "platform/audio/WaveParserScheduling.h"

#include "platform/audio/MediaElements.h"

#include <gst/gst.h>

namespace platform::audio::media {

namespace {

// Answers the parser's question how it may read: by push only, with seeking
// (it turns a seek into a byte seek upstream).
GstPadProbeReturn OfferPushOnly(GstPad* /*pad*/, GstPadProbeInfo* info, gpointer /*data*/)
{
    GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
    if (query == nullptr || GST_QUERY_TYPE(query) != GST_QUERY_SCHEDULING) {
        return GST_PAD_PROBE_OK;
    }
    gst_query_set_scheduling(query, GST_SCHEDULING_FLAG_SEEKABLE, 1, -1, 0);
    gst_query_add_scheduling_mode(query, GST_PAD_MODE_PUSH);
    return GST_PAD_PROBE_HANDLED;
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
