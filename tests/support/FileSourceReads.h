#pragma once

// Calls a function on the streaming thread of every read (each block handed
// on) of every file source made while it lives, where a share's read would
// wait: the fakes of slow and stuck shares are built on it. The probes stay
// on the sources, so graphs made meanwhile must be gone before it is.
// (Header only: the support library does not link GStreamer.)
#include "platform/audio/MediaFramework.h"

#include <gst/gst.h>

#include <string_view>

namespace testsupport {

class FileSourceReads {
public:
    using OnRead = void (*)(GstBuffer* buffer, void* owner);

    FileSourceReads(OnRead onRead, void* owner) : onRead_(onRead), owner_(owner)
    {
        platform::audio::StartMediaFramework();
        signal_ = g_signal_lookup("deep-element-added", GST_TYPE_BIN);
        hook_ = g_signal_add_emission_hook(signal_, 0, &Added, this, nullptr);
    }
    ~FileSourceReads() { g_signal_remove_emission_hook(signal_, hook_); }
    FileSourceReads(const FileSourceReads&) = delete;
    FileSourceReads& operator=(const FileSourceReads&) = delete;

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
    static GstPadProbeReturn Read(GstPad*, GstPadProbeInfo* info, gpointer data)
    {
        const auto* self = static_cast<FileSourceReads*>(data);
        self->onRead_(GST_PAD_PROBE_INFO_BUFFER(info), self->owner_);
        return GST_PAD_PROBE_OK;
    }

    OnRead onRead_;
    void* owner_;
    guint signal_ = 0;
    gulong hook_ = 0;
};

} // namespace testsupport
