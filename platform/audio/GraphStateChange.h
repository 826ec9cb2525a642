#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

typedef struct _GstElement GstElement;

namespace platform::audio {

// A state change of a pipeline, or a seek, made on a thread of its own. A
// file source opens its file as the pipeline leaves NULL, a pipeline stops
// only once its streaming threads have left their reads, and a seek waits for
// them too: on a share that stops answering each blocks for as long as the
// share likes, so the program's thread only ever waits for one with a bound.
class GraphStateChange {
public:
    // Makes the call on pipeline (a reference is held meanwhile) once the
    // change after (if any) has returned, so changes land in order. Result()
    // is what the call returned.
    using Call = std::function<int(GstElement* pipeline)>;
    GraphStateChange(GstElement* pipeline, Call call, std::unique_ptr<GraphStateChange> after = nullptr);
    // Changes pipeline to target, a GstState.
    GraphStateChange(GstElement* pipeline, int target, std::unique_ptr<GraphStateChange> after = nullptr);
    // Waits for the change to return: only where waiting is allowed.
    ~GraphStateChange();
    GraphStateChange(const GraphStateChange&) = delete;
    GraphStateChange& operator=(const GraphStateChange&) = delete;

    bool Finished() const;
    // Waits up to timeoutMs for the change to return, feeding the players.
    bool WaitFinished(int timeoutMs);
    // The change's GstStateChangeReturn (or the call's result) once finished.
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
