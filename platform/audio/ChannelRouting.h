#pragma once

#include <array>
#include <cstdint>

namespace platform::audio {

// Where each channel of a voice goes on a device with another channel count:
// a short list of (voice channel, device channel, weight). Mono plays on both
// front speakers; a layout the device has room for goes channel for channel;
// 5.1 and 7.1 fold down onto fewer channels with the usual -3 dB weights for
// centre and surrounds, and the low-frequency channel dropped.
class ChannelRouting {
public:
    struct Route {
        std::uint8_t from = 0;
        std::uint8_t to = 0;
        float weight = 0.0f;
    };
    static constexpr int MaxRoutes = 64;

    ChannelRouting(int voiceChannels, int deviceChannels);

    int Count() const { return count_; }
    const Route& operator[](int index) const { return routes_[static_cast<std::size_t>(index)]; }

private:
    void Add(int from, int to, float weight);

    std::array<Route, MaxRoutes> routes_{};
    int count_ = 0;
};

} // namespace platform::audio
