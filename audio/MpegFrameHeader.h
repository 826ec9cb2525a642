#pragma once

#include <array>
#include <cstdint>
#include <optional>

// The fields of an MPEG audio frame header (ISO/IEC 11172-3 and 13818-3) that
// the information reader uses.
namespace FCT_mpeg {

struct FrameHeader {
    std::int32_t Layer = 0;       // 1..3
    std::int32_t IsLSF = 0;       // 1: MPEG-2, the version bit clear
    std::int32_t BitRate = 0;     // kbit/s
    std::int32_t SampleRate = 0;  // Hz
    std::int32_t ChannelMode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    std::int32_t Padding = 0;     // 1: the frame carries one more slot
};

// Decodes the three bytes after the 0xFF of a header; empty for a reserved
// layer or sample rate, and for the free-format and invalid bit-rate indexes.
std::optional<FrameHeader> DecodeFrameHeader(const std::array<std::uint8_t, 3>& bytes);

// Where a Xing header starts, counted from the frame header: after the side
// information, whose size depends on version and channels in layer III.
std::int64_t XingOffset(const FrameHeader& header);

// Samples one frame carries.
std::int32_t SamplesPerFrame(const FrameHeader& header);

// Bytes of the frame the header starts, padding included, by the standards'
// formulas (slots of 4 bytes in layer I).
std::int32_t FrameBytes(const FrameHeader& header);

// Bytes of the shortest frame a stream of this version, layer and sample rate
// can hold: the lowest bit rate of its table, without padding.
std::int32_t SmallestFrameBytes(const FrameHeader& header);

// The longest frame any decodable header describes (layer II at 384 kbit/s and
// 32 kHz, padded).
inline constexpr std::int32_t MaxFrameBytes = 1729;

} // namespace FCT_mpeg
