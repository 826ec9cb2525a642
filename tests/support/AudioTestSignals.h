#pragma once

#include "platform/audio/StreamFormat.h"

#include <cstdint>
#include <vector>

namespace audiotest {

// A reproducible noise signal of frames x channels samples in the given
// format's bytes, every sample different from its neighbours; first nonzero.
std::vector<std::uint8_t> NoiseBytes(const platform::audio::StreamFormat& format, std::size_t frames,
                                     std::uint32_t seed);
// The same frames as the floats a device plays at unity gain: an 8-bit sample
// b is (b - 128) / 128, a 16-bit s is s / 32768, a 24-bit s is s / 8388608.
std::vector<float> ExpectedFloats(const platform::audio::StreamFormat& format, const std::vector<std::uint8_t>& bytes);
// A constant signal: every sample of every channel the given 16-bit value.
std::vector<std::uint8_t> Constant16(int channels, std::size_t frames, std::int16_t value);

} // namespace audiotest
