#include "support/AudioTestSignals.h"

namespace audiotest {

std::vector<std::uint8_t> NoiseBytes(const platform::audio::StreamFormat& format, std::size_t frames,
                                     std::uint32_t seed)
{
    std::vector<std::uint8_t> bytes(frames * static_cast<std::size_t>(format.BlockAlign()));
    std::uint32_t state = seed * 2654435761U + 1;
    for (auto& byte : bytes) {
        state = state * 1664525U + 1013904223U;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    if (!bytes.empty() && bytes[0] == 0) {
        bytes[0] = 1;
    }
    return bytes;
}

std::vector<float> ExpectedFloats(const platform::audio::StreamFormat& format, const std::vector<std::uint8_t>& bytes)
{
    const std::size_t width = static_cast<std::size_t>(format.bits / 8);
    std::vector<float> samples;
    for (std::size_t i = 0; i + width <= bytes.size(); i += width) {
        if (width == 1) {
            samples.push_back(static_cast<float>(bytes[i] - 128) / 128.0f);
        } else if (width == 2) {
            const int value = static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8));
            samples.push_back(static_cast<float>(value) / 32768.0f);
        } else {
            int value = bytes[i] | (bytes[i + 1] << 8) | (bytes[i + 2] << 16);
            if (value >= 0x800000) {
                value -= 0x1000000;
            }
            samples.push_back(static_cast<float>(value) / 8388608.0f);
        }
    }
    return samples;
}

std::vector<std::uint8_t> Constant16(int channels, std::size_t frames, std::int16_t value)
{
    std::vector<std::uint8_t> bytes;
    const auto word = static_cast<std::uint16_t>(value);
    for (std::size_t i = 0; i < frames * static_cast<std::size_t>(channels); ++i) {
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

} // namespace audiotest
