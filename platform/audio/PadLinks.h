#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

typedef struct _GstElement GstElement;
typedef struct _GstPad GstPad;

namespace platform::audio {

// Links made when a pad appears: the output pads of demuxers, parsers and the
// automatic decoder exist only once the stream is read. GStreamer announces
// them on its streaming thread, where the link is made at once. A pad that no
// link wants goes to a discarding sink, so an unused stream (a video track)
// never stops the others; a link that is refused is reported on the bus as an
// application message named LinkFailedMessage.
class PadLinks {
public:
    static constexpr const char* LinkFailedMessage = "tolv-link-failed";

    explicit PadLinks(GstElement* pipeline);
    ~PadLinks();
    PadLinks(const PadLinks&) = delete;
    PadLinks& operator=(const PadLinks&) = delete;

    // The first pad of from made from the template (with rawAudioOnly: the
    // first pad of raw audio) is linked to target when it appears.
    void Add(GstElement* from, std::string templateName, bool rawAudioOnly, GstPad* target, int connection);
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
        bool rawAudioOnly = false;
        GstPad* target = nullptr; // a reference is held
        int connection = -1;
        bool done = false;
    };

    void PadAdded(GstElement* element, GstPad* pad);
    void Discard(GstPad* pad);

    GstElement* pipeline_;
    mutable std::mutex mutex_;
    std::vector<Pending> pending_;
    std::vector<std::pair<GstElement*, unsigned long>> watched_;
};

} // namespace platform::audio
