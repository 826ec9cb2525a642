#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform::audio {

// The sample layout of what a voice is given: interleaved frames of 8-bit
// unsigned, 16-bit or packed 24-bit signed little-endian samples, 1, 2, 6 or
// 8 channels (6 and 8 in the usual 5.1 and 7.1 order: front left, front right,
// centre, low frequency, back left, back right, then side left, side right).
struct StreamFormat {
    int rate = 48000;
    int bits = 16;
    int channels = 2;

    int BlockAlign() const { return channels * (bits / 8); }
    bool operator==(const StreamFormat&) const = default;
};

inline constexpr int MinRate = 1000;
inline constexpr int MaxRate = 384000;
inline constexpr int MaxChannels = 8;

bool IsSupported(const StreamFormat& format);

// Decodes whole frames into interleaved floats in -1 .. 1 (a sample of full
// negative scale is exactly -1). frames frames are read from bytes, which must
// hold them; the values are exact, so a 16- or 24-bit sample and its float
// convert back without loss.
void DecodeFrames(const StreamFormat& format, const std::uint8_t* bytes, std::size_t frames, float* out);

} // namespace platform::audio
