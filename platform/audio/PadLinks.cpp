#include "platform/audio/PadLinks.h"

#include <gst/gst.h>

#include <algorithm>

namespace platform::audio {

namespace {

// True when target can take the stream of pad (its caps, or while it has
// none the caps it may carry).
bool Compatible(GstPad* pad, GstPad* target)
{
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (caps == nullptr) {
        caps = gst_pad_query_caps(pad, nullptr);
    }
    GstCaps* accepted = gst_pad_query_caps(target, nullptr);
    const bool compatible = caps != nullptr && accepted != nullptr && gst_caps_can_intersect(caps, accepted);
    if (caps != nullptr) {
        gst_caps_unref(caps);
    }
    if (accepted != nullptr) {
        gst_caps_unref(accepted);
    }
    return compatible;
}

} // namespace

struct PadLinks::Signals {
    class Scope {
    public:
        explicit Scope(PadLinks& links) : links_(links) { links_.added_.load(std::memory_order_acquire); }
        ~Scope() { links_.handled_.fetch_add(1, std::memory_order_release); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        PadLinks& links_;
    };

    static void PadAdded(GstElement* element, GstPad* pad, gpointer data)
    {
        auto* links = static_cast<PadLinks*>(data);
        const Scope scope(*links);
        links->PadAdded(element, pad);
    }
    static void NoMorePads(GstElement* element, gpointer data)
    {
        auto* links = static_cast<PadLinks*>(data);
        const Scope scope(*links);
        links->NoMorePads(element);
    }
};

PadLinks::PadLinks(GstElement* pipeline) : pipeline_(pipeline) {}

PadLinks::~PadLinks()
{
    // Every handler has returned by now (the pipeline stopped first).
    handled_.load(std::memory_order_acquire);
    std::lock_guard lock(mutex_);
    for (const Watched& watched : watched_) {
        for (const gulong handler : {watched.padAdded, watched.noMorePads}) {
            if (g_signal_handler_is_connected(watched.element, handler)) {
                g_signal_handler_disconnect(watched.element, handler);
            }
        }
        gst_object_unref(watched.element);
    }
    for (Pending& link : pending_) {
        gst_object_unref(link.target);
    }
}

void PadLinks::Add(GstElement* from, std::string templateName, GstPad* target, int connection)
{
    std::lock_guard lock(mutex_);
    const bool watched =
        std::any_of(watched_.begin(), watched_.end(), [from](const Watched& entry) { return entry.element == from; });
    if (!watched) {
        const gulong padAdded = g_signal_connect(from, "pad-added", G_CALLBACK(&Signals::PadAdded), this);
        const gulong noMorePads = g_signal_connect(from, "no-more-pads", G_CALLBACK(&Signals::NoMorePads), this);
        // Kept alive until its handlers are disconnected: a decoder taken out
        // of the graph after a failed connection is freed with the bin's
        // reference otherwise.
        gst_object_ref(from);
        watched_.push_back(Watched{from, padAdded, noMorePads});
    }
    gst_object_ref(target);
    pending_.push_back(Pending{from, std::move(templateName), target, connection, false});
    added_.fetch_add(1, std::memory_order_release);
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
    bool wanted = false;
    for (Pending& link : pending_) {
        if (link.from != element || link.done || gst_pad_is_linked(link.target) ||
            (!link.templateName.empty() && link.templateName != templateName)) {
            continue;
        }
        wanted = true;
        if (!Compatible(pad, link.target)) {
            continue;
        }
        const bool linked = gst_pad_link(pad, link.target) == GST_PAD_LINK_OK;
        link.done = linked;
        lock.unlock();
        if (!linked) {
            PostFailure(element);
        }
        return;
    }
    lock.unlock();
    Discard(pad);
    if (wanted) {
        // The pad a link waited for carries a stream its target cannot take
        // (not every element says when it has made all its pads).
        PostFailure(element);
    }
}

void PadLinks::NoMorePads(GstElement* element)
{
    std::unique_lock lock(mutex_);
    const bool missing = std::any_of(pending_.begin(), pending_.end(),
                                     [element](const Pending& link) { return link.from == element && !link.done; });
    lock.unlock();
    if (missing) {
        PostFailure(element);
    }
}

void PadLinks::PostFailure(GstElement* element)
{
    GstStructure* details = gst_structure_new_empty(LinkFailedMessage);
    gst_element_post_message(pipeline_, gst_message_new_application(GST_OBJECT_CAST(element), details));
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
