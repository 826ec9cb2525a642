#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;

namespace platform::audio {

// Links made when a pad appears: the output pads of demuxers, parsers and the
// automatic decoder exist only once the stream is read. GStreamer announces
// them on its streaming thread, where the link is made at once, to the first
// pad of the template whose stream the target can take. A pad that no link
// wants goes to a discarding sink, so an unused stream (a video track) never
// stops the others. A link that is refused, whose pad carries a stream the
// target cannot take, or that no pad came for once the element has made all
// its pads, is reported on the bus as an application message named
// LinkFailedMessage.
class PadLinks {
public:
    static constexpr const char* LinkFailedMessage = "tolv-link-failed";

    explicit PadLinks(GstElement* pipeline);
    ~PadLinks();
    PadLinks(const PadLinks&) = delete;
    PadLinks& operator=(const PadLinks&) = delete;

    // The first pad of from made from the template ("" any) whose stream
    // target can take is linked to target when it appears.
    void Add(GstElement* from, std::string templateName, GstPad* target, int connection);
    // Forgets the links still waiting from element (of the template; "" all).
    void Cancel(GstElement* from, std::string_view templateName);
    // True once the link of the connection was made.
    bool Done(int connection) const;
    // True when a link (made or waiting) leads to target.
    bool Targets(GstPad* target) const;

    struct Signals; // the GStreamer side, in the source file

private:
    struct Pending {
        GstElement* from = nullptr;
        std::string templateName;
        GstPad* target = nullptr; // a reference is held
        int connection = -1;
        bool done = false;
    };

    void PadAdded(GstElement* element, GstPad* pad);
    void NoMorePads(GstElement* element);
    void PostFailure(GstElement* element);
    void Discard(GstPad* pad);

    GstElement* pipeline_;
    // GStreamer's own locks are invisible to race checkers: the signal
    // handlers read added_ on entry and count themselves out on exit, so the
    // program's thread (Add before, the destructor after) orders with them.
    std::atomic<int> added_{0};
    std::atomic<std::int64_t> handled_{0};
    mutable std::mutex mutex_;
    std::vector<Pending> pending_;
    struct Watched {
        GstElement* element;
        unsigned long padAdded;
        unsigned long noMorePads;
    };
    std::vector<Watched> watched_;
};

} // namespace platform::audio
