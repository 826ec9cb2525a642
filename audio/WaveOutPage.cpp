#include "audio/WaveOutPage.h"

#include "platform/base/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace WaveOutPage {

namespace {

constexpr std::int32_t max16 = 32767;
constexpr std::int32_t min24 = -8'388'608;
constexpr std::int32_t max24 = 8'388'607;

struct Sums {
    std::array<double, 8> Peak{};
    std::array<double, 8> Squares{};

    void Add(int channel, double value)
    {
        const auto c = static_cast<std::size_t>(channel);
        Peak[c] = std::max(Peak[c], std::abs(value));
        Squares[c] += value * value;
    }
};

std::int32_t Scaled(std::int32_t sample, float gain)
{
    return static_cast<std::int32_t>(numeric::RoundHalfEven(static_cast<double>(sample) * static_cast<double>(gain)));
}

std::int32_t Read16(const std::uint8_t* at)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
}

void Write16(std::uint8_t* at, std::int32_t value)
{
    const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
    at[0] = static_cast<std::uint8_t>(bits & 0xFF);
    at[1] = static_cast<std::uint8_t>(bits >> 8);
}

std::int32_t Read24(const std::uint8_t* at)
{
    std::int32_t value = at[0] | (at[1] << 8) | (at[2] << 16);
    return value > max24 ? value - 16'777'216 : value;
}

void Write24(std::uint8_t* at, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(std::clamp(value, min24, max24));
    at[0] = static_cast<std::uint8_t>(bits & 0xFF);
    at[1] = static_cast<std::uint8_t>((bits >> 8) & 0xFF);
    at[2] = static_cast<std::uint8_t>((bits >> 16) & 0xFF);
}

std::int32_t Limit16(std::int32_t value)
{
    return std::abs(value) < max16 ? value : (value < 0 ? -max16 : max16);
}

float GainOf(int channel, const Gains& gains)
{
    return channel == 0 ? gains.Left : gains.Right;
}

void ConvertMonoStereo(int bits, int channels, std::uint8_t* page, std::size_t frames, const Gains& gains, Sums& sums)
{
    const std::size_t bytes = static_cast<std::size_t>(bits / 8);
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            std::uint8_t* at = page + (i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)) * bytes;
            const float gain = GainOf(c, gains);
            if (bits == 8) {
                const double scaled = (at[0] - 128) * static_cast<double>(gain) + 128.0;
                const std::int32_t v = std::clamp(static_cast<std::int32_t>(numeric::RoundHalfEven(scaled)), 0, 255);
                at[0] = static_cast<std::uint8_t>(v);
                sums.Add(c, v - 128);
            } else if (bits == 16) {
                const std::int32_t v = Scaled(Read16(at), gain);
                sums.Add(c, v);
                Write16(at, Limit16(v));
            } else {
                const std::int32_t v = Scaled(Read24(at), gain);
                sums.Add(c, v);
                Write24(at, v);
            }
        }
    }
}

void ConvertSurround(int bits, int channels, std::uint8_t* page, std::size_t frames, float gain,
                     std::span<const std::span<std::uint8_t>> split, Sums& sums)
{
    const std::size_t bytes = static_cast<std::size_t>(bits / 8);
    const bool toDevices = !split.empty();
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            std::uint8_t* in = page + (i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)) * bytes;
            std::uint8_t* out = in;
            if (toDevices) {
                const std::span<std::uint8_t> device = split[static_cast<std::size_t>(c / 2)];
                out = device.data() + (i * 2 + static_cast<std::size_t>(c % 2)) * bytes;
            }
            if (bits == 16) {
                const std::int32_t v = Limit16(Scaled(Read16(in), gain));
                sums.Add(c, v);
                Write16(out, v);
            } else {
                const std::int32_t v = Scaled(Read24(in), gain);
                sums.Add(c, v);
                Write24(out, v);
            }
        }
    }
}

} // namespace

int BitsOf(int formatCode)
{
    static constexpr std::array<int, 10> bits{8, 8, 16, 16, 24, 24, 16, 16, 24, 24};
    return formatCode >= 0 && formatCode < 10 ? bits[static_cast<std::size_t>(formatCode)] : 0;
}

int ChannelsOf(int formatCode)
{
    static constexpr std::array<int, 10> channels{1, 2, 1, 2, 1, 2, 6, 8, 6, 8};
    return formatCode >= 0 && formatCode < 10 ? channels[static_cast<std::size_t>(formatCode)] : 0;
}

void Convert(int formatCode, std::span<std::uint8_t> page, std::size_t frames, const Gains& gains,
             std::span<const std::span<std::uint8_t>> split, Meters& meters)
{
    meters = Meters{};
    const int bits = BitsOf(formatCode);
    const int channels = ChannelsOf(formatCode);
    if (bits == 0 || frames == 0) {
        return;
    }
    frames = std::min(frames, page.size() / static_cast<std::size_t>(channels * bits / 8));
    if (channels > 2 && !split.empty()) {
        const std::size_t deviceFrameBytes = static_cast<std::size_t>(2 * bits / 8);
        if (split.size() < static_cast<std::size_t>(channels / 2)) {
            return;
        }
        for (std::size_t k = 0; k < static_cast<std::size_t>(channels / 2); ++k) {
            frames = std::min(frames, split[k].size() / deviceFrameBytes);
        }
    }
    Sums sums;
    if (channels <= 2) {
        ConvertMonoStereo(bits, channels, page.data(), frames, gains, sums);
    } else {
        ConvertSurround(bits, channels, page.data(), frames, gains.Attenuation, split, sums);
    }
    const double scale = std::ldexp(1.0, bits - 8);
    for (int c = 0; c < 8; ++c) {
        const auto from = static_cast<std::size_t>(c < channels ? c : 0);
        const auto to = static_cast<std::size_t>(c);
        meters.Peak[to] = static_cast<std::int32_t>(numeric::RoundHalfEven(sums.Peak[from] / scale));
        meters.Rms[to] = static_cast<std::int32_t>(
            numeric::RoundHalfEven(std::sqrt(sums.Squares[from] / static_cast<double>(frames)) / scale));
    }
}

} // namespace WaveOutPage
