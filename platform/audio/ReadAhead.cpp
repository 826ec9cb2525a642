#include "platform/audio/ReadAhead.h"

#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

namespace platform::audio::media {

namespace {

// A buffer's offsets, read and written here. GStreamer recycles buffer
// headers through GLib's slice allocator, which the thread sanitizer cannot
// see: a header one graph's reader let go of comes back as another graph's
// block, and the two plain accesses would look unordered. Every other use of
// a buffer goes through GStreamer itself.
#if defined(__GNUC__)
#define TOLV_RECYCLED_BY_GLIB __attribute__((no_sanitize("thread")))
#else
#define TOLV_RECYCLED_BY_GLIB
#endif

TOLV_RECYCLED_BY_GLIB guint64 OffsetOr(GstBuffer* block, guint64 otherwise)
{
    return GST_BUFFER_OFFSET_IS_VALID(block) ? GST_BUFFER_OFFSET(block) : otherwise;
}

TOLV_RECYCLED_BY_GLIB void SetOffsets(GstBuffer* buffer, guint64 from, guint64 until)
{
    GST_BUFFER_OFFSET(buffer) = from;
    GST_BUFFER_OFFSET_END(buffer) = until;
}

// A read further ahead than this past what is held seeks the source there
// rather than wait for everything between to be read.
constexpr guint64 reachBytes = 4 * ReadBlockBytes;

class Window;

// A callback's hold on its window, from entry (published read) to return
// (counted done).
class Entered {
public:
    explicit Entered(Window* window);
    ~Entered();
    Entered(const Entered&) = delete;
    Entered& operator=(const Entered&) = delete;
    Window* operator->() const { return window_; }

private:
    Window* window_;
};

// What the file source gave, by the offsets it gave it at: each block is
// placed by the source's own offset, never by a count of what came before,
// so the bytes handed out are always those of the offset asked for. The
// source pushes from its own thread (which does the file's reads) and waits
// while ReadAheadBytes are held ahead of the reader; a reader asking for
// bytes outside what is held (behind it, or far ahead) has the source seek
// there and read on from it.
class Window {
public:
    // Set once the window is whole. Its pads are served on GStreamer's
    // threads, taken from a pool that may be older than the window, and what
    // orders them after its making is hidden inside GStreamer: each callback
    // loads this first, so the window's making is seen to come before it.
    std::atomic<bool> published{false};
    // Counted by each callback as it returns, and read before the window is
    // deleted: the same hidden ordering, the other way round.
    std::atomic<std::uint64_t> callbacksDone{0};
    GstElement* element = nullptr;
    GstPad* input = nullptr;
    GstPad* output = nullptr;

    GstFlowReturn Take(GstBuffer* block)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return inputFlushing_ || end_ < wanted_ + ReadAheadBytes; });
        if (inputFlushing_) {
            gst_buffer_unref(block);
            return GST_FLOW_FLUSHING;
        }
        const guint64 offset = OffsetOr(block, end_);
        if (offset != end_) {
            Clear(offset);
        }
        blocks_.push_back(block);
        end_ += gst_buffer_get_size(block);
        // What lies behind the reader goes once more than ReadAheadBytes are held.
        while (blocks_.size() > 1 && start_ + gst_buffer_get_size(blocks_.front()) <= wanted_ &&
               end_ - start_ - gst_buffer_get_size(blocks_.front()) >= ReadAheadBytes) {
            start_ += gst_buffer_get_size(blocks_.front());
            gst_buffer_unref(blocks_.front());
            blocks_.pop_front();
        }
        changed_.notify_all();
        return GST_FLOW_OK;
    }

    void InputEvent(GstEvent* event)
    {
        std::lock_guard lock(mutex_);
        switch (GST_EVENT_TYPE(event)) {
        case GST_EVENT_FLUSH_START:
            inputFlushing_ = true;
            break;
        case GST_EVENT_FLUSH_STOP:
            inputFlushing_ = false;
            Clear(seekTo_.value_or(end_));
            break;
        case GST_EVENT_SEGMENT: {
            // Where the source reads from now (after a seek: where it went).
            const GstSegment* segment = nullptr;
            gst_event_parse_segment(event, &segment);
            if (segment->format == GST_FORMAT_BYTES && segment->start != end_) {
                Clear(segment->start);
            }
            seekTo_.reset();
            break;
        }
        case GST_EVENT_EOS:
            fileEnd_ = end_;
            break;
        default:
            break;
        }
        changed_.notify_all();
    }

    void SetFlushing(bool inputSide, bool flushing)
    {
        std::lock_guard lock(mutex_);
        (inputSide ? inputFlushing_ : outputFlushing_) = flushing;
        changed_.notify_all();
    }

    GstFlowReturn Serve(guint64 offset, guint length, GstBuffer** buffer)
    {
        std::unique_lock lock(mutex_);
        if (!sizeAsked_) {
            sizeAsked_ = true;
            lock.unlock();
            gint64 size = 0;
            const bool known = gst_pad_peer_query_duration(input, GST_FORMAT_BYTES, &size) && size >= 0;
            lock.lock();
            if (known) {
                fileSize_ = static_cast<guint64>(size);
            }
        }
        for (;;) {
            if (outputFlushing_) {
                return GST_FLOW_FLUSHING;
            }
            const std::optional<guint64> last = fileEnd_ ? fileEnd_ : fileSize_;
            if (last && offset >= *last) {
                return GST_FLOW_EOS;
            }
            const guint64 until = last ? std::min<guint64>(offset + length, *last) : offset + length;
            if (offset >= start_ && until <= end_) {
                wanted_ = until;
                changed_.notify_all();
                return Copy(offset, until, buffer);
            }
            if (offset >= start_ && offset <= end_ + reachBytes) {
                // On its way: the source reads on to it.
                wanted_ = offset;
                changed_.notify_all();
                changed_.wait(lock);
                continue;
            }
            if (seekTo_ == offset) {
                changed_.wait(lock);
                continue;
            }
            seekTo_ = offset;
            wanted_ = offset;
            lock.unlock();
            const bool sought = gst_pad_push_event(
                input, gst_event_new_seek(1.0, GST_FORMAT_BYTES, static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH),
                                          GST_SEEK_TYPE_SET, static_cast<gint64>(offset), GST_SEEK_TYPE_NONE, -1));
            lock.lock();
            if (!sought) {
                // A source read straight through (a pipe) cannot go back.
                seekTo_.reset();
                return GST_FLOW_ERROR;
            }
        }
    }

    // A reader that takes the file pushed (a wave parser reads so) is given
    // it in blocks, from the start or from where it last sought.
    void StartPushing(guint64 from, guint32 seqnum)
    {
        {
            std::lock_guard lock(mutex_);
            pushAt_ = from;
            pushSeqnum_ = seqnum;
            pushSegment_ = true;
            outputFlushing_ = false;
        }
        gst_pad_start_task(output, &Window::PushNext, this, nullptr);
    }

    void StopPushing()
    {
        SetFlushing(false, true);
        gst_pad_stop_task(output);
    }

    // A byte seek of a reader that takes the file pushed.
    bool SeekPushed(GstEvent* seek)
    {
        GstFormat format = GST_FORMAT_UNDEFINED;
        GstSeekFlags flags = GST_SEEK_FLAG_NONE;
        GstSeekType startType = GST_SEEK_TYPE_NONE;
        gint64 start = 0;
        gst_event_parse_seek(seek, nullptr, &format, &flags, &startType, &start, nullptr, nullptr);
        if (format != GST_FORMAT_BYTES || startType != GST_SEEK_TYPE_SET || start < 0) {
            return false;
        }
        const guint32 seqnum = gst_event_get_seqnum(seek);
        const bool flush = (flags & GST_SEEK_FLAG_FLUSH) != 0;
        if (flush) {
            GstEvent* flushStart = gst_event_new_flush_start();
            gst_event_set_seqnum(flushStart, seqnum);
            gst_pad_push_event(output, flushStart);
        }
        SetFlushing(false, true);
        gst_pad_pause_task(output);
        GST_PAD_STREAM_LOCK(output);
        if (flush) {
            GstEvent* flushStop = gst_event_new_flush_stop(TRUE);
            gst_event_set_seqnum(flushStop, seqnum);
            gst_pad_push_event(output, flushStop);
        }
        StartPushing(static_cast<guint64>(start), seqnum);
        GST_PAD_STREAM_UNLOCK(output);
        return true;
    }

    ~Window() { Clear(0); }

private:
    static void PushNext(gpointer data)
    {
        auto* window = static_cast<Window*>(data);
        const Entered entered(window);
        guint64 at = 0;
        bool segment = false;
        {
            std::lock_guard lock(window->mutex_);
            at = window->pushAt_;
            segment = std::exchange(window->pushSegment_, false);
        }
        GstPad* output = window->output;
        if (segment) {
            if (!gst_pad_get_sticky_event(output, GST_EVENT_STREAM_START, 0)) {
                gchar* id = gst_pad_create_stream_id(output, window->element, nullptr);
                gst_pad_push_event(output, gst_event_new_stream_start(id));
                g_free(id);
            }
            GstSegment bytes;
            gst_segment_init(&bytes, GST_FORMAT_BYTES);
            bytes.start = at;
            bytes.time = at;
            bytes.position = at;
            GstEvent* event = gst_event_new_segment(&bytes);
            if (window->pushSeqnum_ != GST_SEQNUM_INVALID) {
                gst_event_set_seqnum(event, window->pushSeqnum_);
            }
            gst_pad_push_event(output, event);
        }
        GstBuffer* block = nullptr;
        GstFlowReturn result = window->Serve(at, ReadBlockBytes, &block);
        if (result == GST_FLOW_OK) {
            {
                std::lock_guard lock(window->mutex_);
                window->pushAt_ = at + gst_buffer_get_size(block);
            }
            result = gst_pad_push(output, block);
        }
        if (result == GST_FLOW_OK) {
            return;
        }
        gst_pad_pause_task(output);
        if (result == GST_FLOW_EOS) {
            gst_pad_push_event(output, gst_event_new_eos());
        } else if (result == GST_FLOW_ERROR || result == GST_FLOW_NOT_NEGOTIATED) {
            GST_ELEMENT_FLOW_ERROR(window->element, result);
            gst_pad_push_event(output, gst_event_new_eos());
        }
    }

    void Clear(guint64 at)
    {
        for (GstBuffer* block : blocks_) {
            gst_buffer_unref(block);
        }
        blocks_.clear();
        start_ = at;
        end_ = at;
    }

    // The held bytes [from, until) into the reader's buffer, or a new one
    // (sharing the memory of a block that holds them all).
    GstFlowReturn Copy(guint64 from, guint64 until, GstBuffer** buffer)
    {
        auto size = static_cast<gsize>(until - from);
        guint64 blockStart = start_;
        auto block = blocks_.begin();
        while (blockStart + gst_buffer_get_size(*block) <= from) {
            blockStart += gst_buffer_get_size(*block);
            ++block;
        }
        if (*buffer == nullptr && from + size <= blockStart + gst_buffer_get_size(*block)) {
            *buffer = gst_buffer_copy_region(*block, GST_BUFFER_COPY_ALL, static_cast<gsize>(from - blockStart), size);
        } else {
            const bool allocated = *buffer == nullptr;
            if (allocated) {
                *buffer = gst_buffer_new_allocate(nullptr, size, nullptr);
            } else if (gst_buffer_get_size(*buffer) < size) {
                return GST_FLOW_ERROR;
            }
            gst_buffer_set_size(*buffer, static_cast<gssize>(size));
            gsize done = 0;
            for (; done < size; ++block) {
                const gsize blockSize = gst_buffer_get_size(*block);
                const auto skip = static_cast<gsize>(from + done - blockStart);
                const gsize part = std::min(blockSize - skip, size - done);
                GstMapInfo map;
                if (gst_buffer_map(*block, &map, GST_MAP_READ) == FALSE) {
                    // A block that cannot be read gives no bytes at all.
                    if (allocated) {
                        gst_buffer_unref(*buffer);
                        *buffer = nullptr;
                    }
                    return GST_FLOW_ERROR;
                }
                gst_buffer_fill(*buffer, done, map.data + skip, part);
                gst_buffer_unmap(*block, &map);
                done += part;
                blockStart += blockSize;
            }
        }
        SetOffsets(*buffer, from, until);
        return GST_FLOW_OK;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<GstBuffer*> blocks_;
    guint64 start_ = 0; // the offsets held: [start_, end_)
    guint64 end_ = 0;
    guint64 wanted_ = 0; // how far the reader has read
    std::optional<guint64> seekTo_;
    std::optional<guint64> fileEnd_;  // where the source ended
    std::optional<guint64> fileSize_; // as the source reports it
    bool sizeAsked_ = false;
    guint64 pushAt_ = 0; // the next offset pushed to a reader that takes pushes
    bool pushSegment_ = true;
    guint32 pushSeqnum_ = GST_SEQNUM_INVALID;
    bool inputFlushing_ = true;
    bool outputFlushing_ = true;
};

Entered::Entered(Window* window) : window_(window)
{
    (void)window_->published.load(std::memory_order_acquire);
}

Entered::~Entered()
{
    window_->callbacksDone.fetch_add(1, std::memory_order_release);
}

Entered WindowOf(GstPad* pad)
{
    return Entered(static_cast<Window*>(gst_pad_get_element_private(pad)));
}

GstFlowReturn Chain(GstPad* pad, GstObject* /*parent*/, GstBuffer* block)
{
    return WindowOf(pad)->Take(block);
}

gboolean InputEvent(GstPad* pad, GstObject* /*parent*/, GstEvent* event)
{
    // Nothing goes on downstream: the reader pulls what it wants.
    WindowOf(pad)->InputEvent(event);
    gst_event_unref(event);
    return TRUE;
}

gboolean ActivateInput(GstPad* pad, GstObject* /*parent*/, GstPadMode mode, gboolean active)
{
    if (mode != GST_PAD_MODE_PUSH) {
        return FALSE;
    }
    WindowOf(pad)->SetFlushing(true, active == FALSE);
    return TRUE;
}

GstFlowReturn GetRange(GstPad* pad, GstObject* /*parent*/, guint64 offset, guint length, GstBuffer** buffer)
{
    return WindowOf(pad)->Serve(offset, length, buffer);
}

gboolean ActivateOutput(GstPad* pad, GstObject* /*parent*/, GstPadMode mode, gboolean active)
{
    if (mode == GST_PAD_MODE_PUSH) {
        if (active != FALSE) {
            WindowOf(pad)->StartPushing(0, GST_SEQNUM_INVALID);
        } else {
            WindowOf(pad)->StopPushing();
        }
        return TRUE;
    }
    WindowOf(pad)->SetFlushing(false, active == FALSE);
    return TRUE;
}

// A reader that pulls flushes before it seeks: a read waiting for the file
// gives up. A reader given pushes seeks in bytes. Nothing else the reader
// sends goes to the source, which is read as the reads ask.
gboolean OutputEvent(GstPad* pad, GstObject* /*parent*/, GstEvent* event)
{
    const GstEventType type = GST_EVENT_TYPE(event);
    bool handled = false;
    if (type == GST_EVENT_FLUSH_START || type == GST_EVENT_FLUSH_STOP) {
        WindowOf(pad)->SetFlushing(false, type == GST_EVENT_FLUSH_START);
        handled = true;
    } else if (type == GST_EVENT_SEEK && GST_PAD_MODE(pad) == GST_PAD_MODE_PUSH) {
        handled = WindowOf(pad)->SeekPushed(event);
    }
    gst_event_unref(event);
    return handled ? TRUE : FALSE;
}

// The source asks nothing of its reader (how to allocate, what formats): it
// reads bytes.
gboolean RefuseQuery(GstPad* /*pad*/, GstObject* /*parent*/, GstQuery* /*query*/)
{
    return FALSE;
}

gboolean OutputQuery(GstPad* pad, GstObject* /*parent*/, GstQuery* query)
{
    if (GST_QUERY_TYPE(query) == GST_QUERY_SCHEDULING) {
        gst_query_set_scheduling(query, GST_SCHEDULING_FLAG_SEEKABLE, 1, -1, 0);
        gst_query_add_scheduling_mode(query, GST_PAD_MODE_PULL);
        return TRUE;
    }
    return gst_pad_peer_query(WindowOf(pad)->input, query);
}

} // namespace

GstElement* MakeReadAhead(GstElement* fileSource)
{
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(fileSource), "blocksize") == nullptr) {
        return nullptr;
    }
    g_object_set(fileSource, "blocksize", ReadBlockBytes, nullptr);
    // An element of no children whose two pads are the read-ahead's.
    GstElement* element = gst_bin_new(nullptr);
    auto* window = new Window;
    window->element = element;
    g_object_set_data_full(G_OBJECT(element), "read-ahead", window,
                           [](gpointer data) {
                               auto* done = static_cast<Window*>(data);
                               (void)done->callbacksDone.load(std::memory_order_acquire);
                               delete done;
                           });
    window->input = gst_pad_new("sink", GST_PAD_SINK);
    window->output = gst_pad_new("src", GST_PAD_SRC);
    gst_pad_set_element_private(window->input, window);
    gst_pad_set_element_private(window->output, window);
    gst_pad_set_chain_function(window->input, Chain);
    gst_pad_set_event_function(window->input, InputEvent);
    gst_pad_set_activatemode_function(window->input, ActivateInput);
    gst_pad_set_getrange_function(window->output, GetRange);
    gst_pad_set_activatemode_function(window->output, ActivateOutput);
    gst_pad_set_query_function(window->input, RefuseQuery);
    gst_pad_set_query_function(window->output, OutputQuery);
    gst_pad_set_event_function(window->output, OutputEvent);
    window->published.store(true, std::memory_order_release);
    gst_element_add_pad(element, window->input);
    gst_element_add_pad(element, window->output);
    return element;
}

} // namespace platform::audio::media
