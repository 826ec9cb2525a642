#include "platform/audio/GraphStateChange.h"

#include "platform/base/Hooks.h"

#include <gst/gst.h>

#include <algorithm>
#include <chrono>

namespace platform::audio {

GraphStateChange::GraphStateChange(GstElement* pipeline, int target, std::unique_ptr<GraphStateChange> after)
    : GraphStateChange(
          pipeline,
          [target](GstElement* element) {
              return static_cast<int>(gst_element_set_state(element, static_cast<GstState>(target)));
          },
          std::move(after))
{
}

GraphStateChange::GraphStateChange(GstElement* pipeline, Call call, std::unique_ptr<GraphStateChange> after)
    : after_(std::move(after))
{
    gst_object_ref(pipeline);
    thread_ = std::thread([this, pipeline, call = std::move(call)] {
        after_.reset();
        const int result = call(pipeline);
        gst_object_unref(pipeline);
        {
            std::lock_guard lock(mutex_);
            result_ = result;
            finished_ = true;
        }
        done_.notify_all();
    });
}

GraphStateChange::~GraphStateChange()
{
    thread_.join();
}

bool GraphStateChange::Finished() const
{
    std::lock_guard lock(mutex_);
    return finished_;
}

bool GraphStateChange::WaitFinished(int timeoutMs)
{
    // Slices short enough that the players are fed on time.
    constexpr auto slice = std::chrono::milliseconds(RefillIntervalMs / 2);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            const auto left = deadline - std::chrono::steady_clock::now();
            if (done_.wait_for(lock, std::clamp<std::chrono::steady_clock::duration>(left, {}, slice),
                               [this] { return finished_; })) {
                return true;
            }
        }
        RefillIfDue();
        if (std::chrono::steady_clock::now() >= deadline) {
            return Finished();
        }
    }
}

int GraphStateChange::Result() const
{
    std::lock_guard lock(mutex_);
    return result_;
}

} // namespace platform::audio
