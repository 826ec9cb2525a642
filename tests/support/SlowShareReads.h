#pragma once

// A share whose every read takes its time: while it lives, each block every
// file source made meanwhile hands on (each read) first waits fromMs to toMs
// (drawn from a fixed seed) on the source's thread, where a slow share's read
// waits. Graphs made meanwhile must be gone first. (Header only.)
#include "platform/audio/MediaFramework.h"

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <string_view>
#include <thread>

namespace testsupport {

class SlowShareReads {
public:
    SlowShareReads(int fromMs, int toMs) : fromMs_(fromMs), toMs_(toMs)
    {
        platform::audio::StartMediaFramework();
        signal_ = g_signal_lookup("deep-element-added", GST_TYPE_BIN);
        hook_ = g_signal_add_emission_hook(signal_, 0, &Added, this, nullptr);
    }
    ~SlowShareReads() { g_signal_remove_emission_hook(signal_, hook_); }
    SlowShareReads(const SlowShareReads&) = delete;
    SlowShareReads& operator=(const SlowShareReads&) = delete;

private:
    static gboolean Added(GSignalInvocationHint*, guint count, const GValue* values, gpointer self)
    {
        GstElement* element = count >= 3 ? GST_ELEMENT(g_value_get_object(&values[2])) : nullptr;
        GstElementFactory* factory = element != nullptr ? gst_element_get_factory(element) : nullptr;
        if (factory != nullptr && std::string_view(GST_OBJECT_NAME(factory)) == "filesrc") {
            GstPad* pad = gst_element_get_static_pad(element, "src");
            gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &Read, self, nullptr);
            gst_object_unref(pad);
        }
        return TRUE;
    }
    static GstPadProbeReturn Read(GstPad*, GstPadProbeInfo*, gpointer data)
    {
        auto* self = static_cast<SlowShareReads*>(data);
        const auto draw = static_cast<unsigned>(self->reads_.fetch_add(1) + 1) * 2654435761U >> 16;
        const int ms = self->fromMs_ + static_cast<int>(draw % static_cast<unsigned>(self->toMs_ - self->fromMs_ + 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return GST_PAD_PROBE_OK;
    }

    const int fromMs_;
    const int toMs_;
    std::atomic<int> reads_{0};
    guint signal_ = 0;
    gulong hook_ = 0;
};

} // namespace testsupport
