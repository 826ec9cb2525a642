#include "platform/audio/StreamFormat.h"

namespace platform::audio {

bool IsSupported(const StreamFormat& format)
{
    const bool bitsOk = format.bits == 8 || format.bits == 16 || format.bits == 24;
    const bool channelsOk =
        format.channels == 1 || format.channels == 2 || format.channels == 6 || format.channels == 8;
    return bitsOk && channelsOk && format.rate >= MinRate && format.rate <= MaxRate;
}

void DecodeFrames(const StreamFormat& format, const std::uint8_t* bytes, std::size_t frames, float* out)
{
    const std::size_t samples = frames * static_cast<std::size_t>(format.channels);
    switch (format.bits) {
    case 8:
        for (std::size_t i = 0; i < samples; ++i) {
            out[i] = static_cast<float>(static_cast<int>(bytes[i]) - 128) * (1.0f / 128.0f);
        }
        break;
    case 16:
        for (std::size_t i = 0; i < samples; ++i) {
            const auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * i]) |
                                                         static_cast<std::uint16_t>(bytes[2 * i + 1] << 8));
            out[i] = static_cast<float>(value) * (1.0f / 32768.0f);
        }
        break;
    case 24:
        for (std::size_t i = 0; i < samples; ++i) {
            const std::uint8_t* p = bytes + 3 * i;
            std::int32_t value =
                static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                          (static_cast<std::uint32_t>(p[2]) << 16));
            if (value >= 0x800000) {
                value -= 0x1000000;
            }
            out[i] = static_cast<float>(value) * (1.0f / 8388608.0f);
        }
        break;
    default:
        for (std::size_t i = 0; i < samples; ++i) {
            out[i] = 0.0f;
        }
        break;
    }
}

} // namespace platform::audio
