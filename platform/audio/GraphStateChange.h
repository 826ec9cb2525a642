#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

typedef struct _GstElement GstElement;

namespace platform::audio {

// A state change of a pipeline made on a thread of its own. A file source
// opens its file as the pipeline leaves NULL, and a pipeline stops only once
// its streaming threads have left their reads: on a share that stops
// answering either blocks for as long as the share likes, so the program's
// thread only ever waits for a change with a bound.
class GraphStateChange {
public:
    // Changes pipeline (a reference is held meanwhile) to target, a GstState,
    // once the change after (if any) has returned, so changes land in order.
    GraphStateChange(GstElement* pipeline, int target, std::unique_ptr<GraphStateChange> after = nullptr);
    // Waits for the change to return: only where waiting is allowed.
    ~GraphStateChange();
    GraphStateChange(const GraphStateChange&) = delete;
    GraphStateChange& operator=(const GraphStateChange&) = delete;

    bool Finished() const;
    // Waits up to timeoutMs for the change to return, feeding the players.
    bool WaitFinished(int timeoutMs);
    // The change's GstStateChangeReturn once finished.
    int Result() const;

private:
    std::unique_ptr<GraphStateChange> after_;
    mutable std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    int result_ = 0;
    std::thread thread_;
};

} // namespace platform::audio
