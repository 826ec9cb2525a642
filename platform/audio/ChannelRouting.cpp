#include "platform/audio/ChannelRouting.h"

#include <algorithm>

namespace platform::audio {

namespace {
constexpr float minus3dB = 0.70710678f;

enum Speaker { FrontLeft, FrontRight, Centre, LowFrequency, BackLeft, BackRight, SideLeft, SideRight };
} // namespace

ChannelRouting::ChannelRouting(int voiceChannels, int deviceChannels)
{
    if (voiceChannels < 1 || deviceChannels < 1) {
        return;
    }
    if (voiceChannels == 1) {
        Add(0, 0, 1.0f);
        if (deviceChannels >= 2) {
            Add(0, 1, 1.0f);
        }
        return;
    }
    if (voiceChannels <= deviceChannels) {
        for (int c = 0; c < voiceChannels; ++c) {
            Add(c, c, 1.0f);
        }
        return;
    }
    if (voiceChannels >= 6 && deviceChannels >= 6) {
        // 7.1 onto 5.1: the side pair joins the back pair.
        for (int c = 0; c < 6; ++c) {
            Add(c, c, 1.0f);
        }
        Add(SideLeft, BackLeft, minus3dB);
        Add(SideRight, BackRight, minus3dB);
        return;
    }
    if (voiceChannels == 2) {
        // Stereo onto one channel.
        Add(0, 0, 0.5f);
        Add(1, 0, 0.5f);
        return;
    }
    // 5.1 or 7.1 onto stereo (or onto one channel at half weight).
    const float scale = deviceChannels >= 2 ? 1.0f : 0.5f;
    const int left = 0;
    const int right = deviceChannels >= 2 ? 1 : 0;
    Add(FrontLeft, left, scale);
    Add(FrontRight, right, scale);
    Add(Centre, left, minus3dB * scale);
    Add(Centre, right, minus3dB * scale);
    Add(BackLeft, left, minus3dB * scale);
    Add(BackRight, right, minus3dB * scale);
    if (voiceChannels >= 8) {
        Add(SideLeft, left, minus3dB * scale);
        Add(SideRight, right, minus3dB * scale);
    }
}

void ChannelRouting::Add(int from, int to, float weight)
{
    if (count_ < MaxRoutes) {
        routes_[static_cast<std::size_t>(count_)] =
            Route{static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), weight};
        ++count_;
    }
}

} // namespace platform::audio
