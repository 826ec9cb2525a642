#include "platform/audio/MediaFramework.h"
#include "platform/audio/PadLinks.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <optional>

namespace platform::audio {
namespace {

void NoteFreed(gpointer freed, GObject*)
{
    *static_cast<bool*>(freed) = true;
}

// A decoder whose pads were awaited and that the graph then takes out (its
// connection failed) may be freed with the bin's reference; the links must
// not reach it afterwards, and must not keep it once they are gone.
TEST(PadLinksLifetime, AWatchedElementTakenOutOfTheGraphLivesUntilItsLinksAreGone)
{
    ASSERT_TRUE(StartMediaFramework());
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* decoder = gst_element_factory_make("decodebin", nullptr);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    ASSERT_NE(decoder, nullptr);
    ASSERT_NE(sink, nullptr);
    gst_bin_add_many(GST_BIN(pipeline), decoder, sink, nullptr);
    bool freed = false;
    g_object_weak_ref(G_OBJECT(decoder), &NoteFreed, &freed);

    std::optional<PadLinks> links(std::in_place, pipeline);
    GstPad* target = gst_element_get_static_pad(sink, "sink");
    links->Add(decoder, {}, target, 0);
    gst_object_unref(target);
    links->Cancel(decoder, {});
    gst_bin_remove(GST_BIN(pipeline), decoder);
    EXPECT_FALSE(freed);

    links.reset();
    EXPECT_TRUE(freed);
    gst_object_unref(pipeline);
}

} // namespace
} // namespace platform::audio
