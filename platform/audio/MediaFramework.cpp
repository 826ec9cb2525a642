#include "platform/audio/MediaFramework.h"

#include "platform/base/LogSink.h"

#include <gst/gst.h>

#include <mutex>
#include <string>

namespace platform::audio {

bool StartMediaFramework()
{
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        GError* error = nullptr;
        started = gst_init_check(nullptr, nullptr, &error) != FALSE;
        if (!started) {
            Log(std::string("GStreamer does not start: ") + (error != nullptr ? error->message : "unknown reason"));
        }
        if (error != nullptr) {
            g_error_free(error);
        }
    });
    return started;
}

bool HasElementFactory(std::string_view factory)
{
    if (!StartMediaFramework()) {
        return false;
    }
    GstElementFactory* found = gst_element_factory_find(std::string(factory).c_str());
    if (found == nullptr) {
        return false;
    }
    gst_object_unref(found);
    return true;
}

} // namespace platform::audio
