#include "platform/audio/PadLinks.h"

#include "platform/audio/MediaElements.h"

#include <gst/gst.h>

#include <algorithm>

namespace platform::audio {

struct PadLinks::Signals {
    static void PadAdded(GstElement* element, GstPad* pad, gpointer data)
    {
        static_cast<PadLinks*>(data)->PadAdded(element, pad);
    }
};

PadLinks::PadLinks(GstElement* pipeline) : pipeline_(pipeline) {}

PadLinks::~PadLinks()
{
    std::lock_guard lock(mutex_);
    for (const auto& [element, handler] : watched_) {
        if (g_signal_handler_is_connected(element, handler)) {
            g_signal_handler_disconnect(element, handler);
        }
    }
    for (Pending& link : pending_) {
        gst_object_unref(link.target);
    }
}

void PadLinks::Add(GstElement* from, std::string templateName, bool rawAudioOnly, GstPad* target, int connection)
{
    std::lock_guard lock(mutex_);
    const bool watched =
        std::any_of(watched_.begin(), watched_.end(), [from](const auto& entry) { return entry.first == from; });
    if (!watched) {
        const gulong handler = g_signal_connect(from, "pad-added", G_CALLBACK(&Signals::PadAdded), this);
        watched_.emplace_back(from, handler);
    }
    gst_object_ref(target);
    pending_.push_back(Pending{from, std::move(templateName), rawAudioOnly, target, connection, false});
}

void PadLinks::Cancel(GstElement* from, std::string_view templateName)
{
    std::lock_guard lock(mutex_);
    std::erase_if(pending_, [&](Pending& link) {
        const bool match = link.from == from && (templateName.empty() || link.templateName == templateName);
        if (match) {
            gst_object_unref(link.target);
        }
        return match;
    });
}

bool PadLinks::Done(int connection) const
{
    std::lock_guard lock(mutex_);
    return std::any_of(pending_.begin(), pending_.end(),
                       [connection](const Pending& link) { return link.connection == connection && link.done; });
}

bool PadLinks::Targets(GstPad* target) const
{
    std::lock_guard lock(mutex_);
    return std::any_of(pending_.begin(), pending_.end(),
                       [target](const Pending& link) { return link.target == target; });
}

void PadLinks::PadAdded(GstElement* element, GstPad* pad)
{
    if (GST_PAD_DIRECTION(pad) != GST_PAD_SRC) {
        return;
    }
    std::unique_lock lock(mutex_);
    GstPadTemplate* padTemplate = gst_pad_get_pad_template(pad);
    const std::string templateName =
        padTemplate != nullptr ? GST_PAD_TEMPLATE_NAME_TEMPLATE(padTemplate) : std::string{};
    if (padTemplate != nullptr) {
        gst_object_unref(padTemplate);
    }
    for (Pending& link : pending_) {
        if (link.from != element || link.done) {
            continue;
        }
        if (link.rawAudioOnly ? !media::CarriesRawAudio(pad) : link.templateName != templateName) {
            continue;
        }
        if (gst_pad_is_linked(link.target)) {
            continue;
        }
        const bool linked = gst_pad_link(pad, link.target) == GST_PAD_LINK_OK;
        link.done = linked;
        lock.unlock();
        if (!linked) {
            GstStructure* details = gst_structure_new_empty(LinkFailedMessage);
            gst_element_post_message(pipeline_, gst_message_new_application(GST_OBJECT_CAST(element), details));
        }
        return;
    }
    lock.unlock();
    Discard(pad);
}

void PadLinks::Discard(GstPad* pad)
{
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (sink == nullptr) {
        return;
    }
    g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN_CAST(pipeline_), sink);
    GstPad* input = gst_element_get_static_pad(sink, "sink");
    gst_pad_link(pad, input);
    gst_object_unref(input);
    gst_element_sync_state_with_parent(sink);
}

} // namespace platform::audio
