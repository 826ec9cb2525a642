#include "platform/audio/NullInput.h"

#include <algorithm>

namespace platform::audio {

NullInput::NullInput(std::string name, const DeviceOptions& options, std::size_t capacityFrames)
    : name_(std::move(name)), options_(options), pending_(capacityFrames * static_cast<std::size_t>(options.channels))
{
}

std::size_t NullInput::Supply(std::span<const float> frames)
{
    const auto channels = static_cast<std::size_t>(options_.channels);
    const std::size_t room = (pending_.Capacity() - pending_.Size()) / channels * channels;
    const std::size_t whole = frames.size() / channels * channels;
    return pending_.PushSome(frames.first(std::min(room, whole))) / channels;
}

std::size_t NullInput::Read(std::span<float> frames)
{
    const auto channels = static_cast<std::size_t>(options_.channels);
    return pending_.PopSome(frames.first(frames.size() / channels * channels)) / channels;
}

} // namespace platform::audio
