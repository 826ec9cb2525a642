#include "platform/audio/NullSink.h"

#include <cerrno>

namespace platform::audio {

NullSink::NullSink(const DeviceOptions& options, std::size_t keepFrames)
    : options_(options), kept_(keepFrames * static_cast<std::size_t>(options.channels))
{
}

DeviceSink::WriteResult NullSink::Write(std::span<const float> frames, SpscRing<MixerEvent>& events,
                                        const std::atomic<bool>&)
{
    if (unplugged_.load(std::memory_order_acquire)) {
        events.Push(MixerEvent{MixerEvent::DeviceLost, -ENODEV});
        return WriteResult::Lost;
    }
    const std::size_t kept = kept_.PushSome(frames);
    if (kept < frames.size() && !fullReported_) {
        fullReported_ = true;
        events.Push(MixerEvent{MixerEvent::KeptFramesLost, static_cast<std::int64_t>(frames.size() - kept)});
    }
    written_.fetch_add(frames.size() / static_cast<std::size_t>(options_.channels), std::memory_order_acq_rel);
    return WriteResult::Written;
}

std::vector<float> NullSink::TakePlayed()
{
    std::vector<float> played(kept_.Size());
    played.resize(kept_.PopSome(played));
    return played;
}

} // namespace platform::audio
