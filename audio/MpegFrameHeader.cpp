#include "audio/MpegFrameHeader.h"

namespace FCT_mpeg {

namespace {

using RateRow = std::array<std::int32_t, 16>;

// Index 0 is free format and 15 invalid; both are refused.
constexpr RateRow Mpeg1Layer1{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0};
constexpr RateRow Mpeg1Layer2{0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0};
constexpr RateRow Mpeg1Layer3{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr RateRow LsfLayer1{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0};
constexpr RateRow LsfLayer23{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};

constexpr std::array<std::int32_t, 3> Mpeg1Rates{44100, 48000, 32000};
constexpr std::array<std::int32_t, 3> LsfRates{22050, 24000, 16000};

constexpr std::int32_t Mono = 3;

const RateRow& RatesOf(std::int32_t layer, std::int32_t isLsf)
{
    if (isLsf == 1) {
        return layer == 1 ? LsfLayer1 : LsfLayer23;
    }
    return layer == 1 ? Mpeg1Layer1 : layer == 2 ? Mpeg1Layer2 : Mpeg1Layer3;
}

} // namespace

std::optional<FrameHeader> DecodeFrameHeader(const std::array<std::uint8_t, 3>& bytes)
{
    FrameHeader header;
    switch ((bytes[0] >> 1) & 3) {
    case 3:
        header.Layer = 1;
        break;
    case 2:
        header.Layer = 2;
        break;
    case 1:
        header.Layer = 3;
        break;
    default:
        return std::nullopt;
    }
    header.IsLSF = (bytes[0] & 0x08) != 0 ? 0 : 1;
    header.BitRate = RatesOf(header.Layer, header.IsLSF)[bytes[1] >> 4];
    if (header.BitRate == 0) {
        return std::nullopt;
    }
    const int rateIndex = (bytes[1] >> 2) & 3;
    if (rateIndex == 3) {
        return std::nullopt;
    }
    header.SampleRate = (header.IsLSF == 0 ? Mpeg1Rates : LsfRates)[static_cast<std::size_t>(rateIndex)];
    header.ChannelMode = bytes[2] >> 6;
    header.Padding = (bytes[1] >> 1) & 1;
    return header;
}

std::int64_t XingOffset(const FrameHeader& header)
{
    constexpr std::int64_t headerBytes = 4;
    if (header.Layer != 3) {
        return 36;
    }
    const bool mono = header.ChannelMode == Mono;
    if (header.IsLSF == 0) {
        return headerBytes + (mono ? 17 : 32);
    }
    return headerBytes + (mono ? 9 : 17);
}

std::int32_t SamplesPerFrame(const FrameHeader& header)
{
    if (header.Layer == 1) {
        return 384;
    }
    if (header.Layer == 3 && header.IsLSF == 1) {
        return 576;
    }
    return 1152;
}

std::int32_t FrameBytes(const FrameHeader& header)
{
    const std::int64_t bitsPerSecond = std::int64_t{header.BitRate} * 1000;
    if (header.Layer == 1) {
        return static_cast<std::int32_t>((12 * bitsPerSecond / header.SampleRate + header.Padding) * 4);
    }
    // A frame of 576 samples (layer III of MPEG-2) holds half the bytes.
    const std::int64_t factor = SamplesPerFrame(header) / 8;
    return static_cast<std::int32_t>(factor * bitsPerSecond / header.SampleRate + header.Padding);
}

std::int32_t SmallestFrameBytes(const FrameHeader& header)
{
    FrameHeader smallest = header;
    smallest.BitRate = RatesOf(header.Layer, header.IsLSF)[1];
    smallest.Padding = 0;
    return FrameBytes(smallest);
}

} // namespace FCT_mpeg
