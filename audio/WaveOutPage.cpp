#include "audio/WaveOutPage.h"

#include "platform/base/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace WaveOutPage {

namespace {

constexpr std::int32_t max16 = 32767;
constexpr std::int32_t min24 = -8'388'608;
constexpr std::int32_t max24 = 8'388'607;

struct Sums {
    std::array<std::int64_t, 8> Peak{};
    std::array<double, 8> Squares{};
};

// Rounds half to even like numeric::RoundHalfEven, fast enough for a page of
// 20,000 samples: adding and taking away 1.5 x 2^52 leaves no fraction bits,
// so the addition itself rounds, to nearest with ties to even (the default
// rounding mode, which the program never changes). Exact for |value| < 2^51;
// samples after gain stay far below.
inline std::int32_t Round(double value)
{
    constexpr double shifter = 6755399441055744.0;
    return static_cast<std::int32_t>((value + shifter) - shifter);
}

template <int Bits> inline std::int32_t ReadSample(const std::uint8_t* at)
{
    if constexpr (Bits == 8) {
        return at[0] - 128;
    } else if constexpr (Bits == 16) {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
    } else {
        const std::int32_t value = at[0] | (at[1] << 8) | (at[2] << 16);
        return value > max24 ? value - 16'777'216 : value;
    }
}

template <int Bits> inline void WriteSample(std::uint8_t* at, std::int32_t value)
{
    if constexpr (Bits == 8) {
        at[0] = static_cast<std::uint8_t>(value + 128);
    } else if constexpr (Bits == 16) {
        const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
        at[0] = static_cast<std::uint8_t>(bits & 0xFF);
        at[1] = static_cast<std::uint8_t>(bits >> 8);
    } else {
        const auto bits = static_cast<std::uint32_t>(value);
        at[0] = static_cast<std::uint8_t>(bits & 0xFF);
        at[1] = static_cast<std::uint8_t>((bits >> 8) & 0xFF);
        at[2] = static_cast<std::uint8_t>((bits >> 16) & 0xFF);
    }
}

// One sample after gain: the value written, and the value metered. 8-bit
// samples and 16-bit surround are metered after their limit; 16-bit mono and
// stereo and all 24-bit samples before it, so a clipped page can read high.
template <int Bits, bool Surround> inline std::int32_t Scale(std::int32_t sample, double gain, std::int32_t& metered)
{
    if constexpr (Bits == 8) {
        const std::int32_t v = std::clamp(Round(sample * gain + 128.0), 0, 255) - 128;
        metered = v;
        return v;
    } else if constexpr (Bits == 16) {
        std::int32_t v = Round(sample * gain);
        if constexpr (!Surround) {
            metered = v;
        }
        // -32768 is limited too: the limit is symmetric.
        if (v >= max16 || v <= -max16) {
            v = v < 0 ? -max16 : max16;
        }
        if constexpr (Surround) {
            metered = v;
        }
        return v;
    } else {
        const std::int32_t v = Round(sample * gain);
        metered = v;
        return std::clamp(v, min24, max24);
    }
}

// Converts every sample; sample c of frame i is written to out(c, i). The
// channel count is fixed at compile time so the per-channel sums stay in
// registers.
template <int Bits, bool Surround, int Channels, typename Destination>
void ConvertFrames(const std::uint8_t* page, std::size_t frames, const std::array<double, 8>& gains, Destination out,
                   Sums& sums)
{
    constexpr std::size_t bytes = Bits / 8;
    constexpr auto count = static_cast<std::size_t>(Channels);
    // Up to 16 bits the squares add up exactly and fast in 64-bit integers
    // (a page of 2^25 frames at twice full scale still fits).
    using Square = std::conditional_t<(Bits <= 16), std::int64_t, double>;
    std::array<std::int32_t, Channels> peak{};
    std::array<Square, Channels> squares{};
    for (std::size_t i = 0; i < frames; ++i) {
        const std::uint8_t* frame = page + i * count * bytes;
        for (std::size_t c = 0; c < count; ++c) {
            std::int32_t metered = 0;
            const std::int32_t v = Scale<Bits, Surround>(ReadSample<Bits>(frame + c * bytes), gains[c], metered);
            WriteSample<Bits>(out(c, i), v);
            peak[c] = std::max(peak[c], metered < 0 ? -metered : metered);
            squares[c] += static_cast<Square>(metered) * static_cast<Square>(metered);
        }
    }
    for (std::size_t c = 0; c < count; ++c) {
        sums.Peak[c] = peak[c];
        sums.Squares[c] = static_cast<double>(squares[c]);
    }
}

template <int Bits, bool Surround, typename Destination>
void ConvertChannels(const std::uint8_t* page, std::size_t frames, int channels, const std::array<double, 8>& gains,
                     Destination out, Sums& sums)
{
    switch (channels) {
    case 1:
        ConvertFrames<Bits, Surround, 1>(page, frames, gains, out, sums);
        break;
    case 2:
        ConvertFrames<Bits, Surround, 2>(page, frames, gains, out, sums);
        break;
    case 6:
        ConvertFrames<Bits, Surround, 6>(page, frames, gains, out, sums);
        break;
    default:
        ConvertFrames<Bits, Surround, 8>(page, frames, gains, out, sums);
        break;
    }
}

// 16-bit mono and stereo, the pages of nearly every sound, in blocks the
// compiler turns into vector code: the products in single precision (the
// precision of the gain), rounded half to even by adding and taking away
// 1.5 x 2^23 (exact below 2^22), metered before the limit to +-32767. Sums
// run per lane and are folded by channel at the end.
// Machines with AVX2 (nearly all in use) get a version of their own, chosen
// once when the program loads.
__attribute__((target_clones("avx2", "default"))) void ConvertMonoStereo16(std::uint8_t* page, std::size_t frames,
                                                                           int channels, const Gains& gains, Sums& sums)
{
    constexpr std::size_t block = 256; // samples, even
    constexpr float shifter = 12582912.0f;
    const std::size_t samples = frames * static_cast<std::size_t>(channels);
    alignas(32) std::array<float, block> laneGain{};
    for (std::size_t k = 0; k < block; ++k) {
        laneGain[k] = channels == 2 && k % 2 == 1 ? gains.Right : gains.Left;
    }
    alignas(32) std::array<std::int32_t, block> lanePeak{};
    alignas(32) std::array<std::int64_t, block> laneSquares{};
    alignas(32) std::array<std::int16_t, block> samplesIn{};
    alignas(32) std::array<std::int32_t, block> values{};
    for (std::size_t start = 0; start < samples; start += block) {
        const std::size_t n = std::min(block, samples - start);
        std::uint8_t* at = page + start * 2;
        std::memcpy(samplesIn.data(), at, n * 2);
        for (std::size_t k = 0; k < n; ++k) {
            values[k] = static_cast<std::int32_t>((static_cast<float>(samplesIn[k]) * laneGain[k] + shifter) - shifter);
        }
        for (std::size_t k = 0; k < n; ++k) {
            const std::int32_t v = values[k];
            lanePeak[k] = std::max(lanePeak[k], v < 0 ? -v : v);
            laneSquares[k] += static_cast<std::int64_t>(v) * v;
            samplesIn[k] = static_cast<std::int16_t>(std::clamp(v, -max16, max16));
        }
        std::memcpy(at, samplesIn.data(), n * 2);
    }
    for (std::size_t k = 0; k < block; ++k) {
        const std::size_t c = channels == 2 ? k % 2 : 0;
        sums.Peak[c] = std::max<std::int64_t>(sums.Peak[c], lanePeak[k]);
        sums.Squares[c] += static_cast<double>(laneSquares[k]);
    }
}

template <int Bits>
void ConvertPage(std::uint8_t* page, std::size_t frames, int channels, const Gains& gains,
                 std::span<const std::span<std::uint8_t>> split, Sums& sums)
{
    constexpr std::size_t bytes = Bits / 8;
    const auto count = static_cast<std::size_t>(channels);
    const auto inPlace = [page, count](std::size_t c, std::size_t i) { return page + (i * count + c) * bytes; };
    std::array<double, 8> channelGains{};
    if constexpr (Bits == 16) {
        if (channels <= 2) {
            ConvertMonoStereo16(page, frames, channels, gains, sums);
            return;
        }
    }
    if (channels <= 2) {
        channelGains[0] = gains.Left;
        channelGains[1] = gains.Right;
        ConvertChannels<Bits, false>(page, frames, channels, channelGains, inPlace, sums);
        return;
    }
    channelGains.fill(gains.Attenuation);
    if (split.empty()) {
        ConvertChannels<Bits, true>(page, frames, channels, channelGains, inPlace, sums);
        return;
    }
    // Channels 2k and 2k+1 go to device k as a stereo pair.
    const auto toDevice = [split](std::size_t c, std::size_t i) {
        return split[c / 2].data() + (i * 2 + c % 2) * bytes;
    };
    ConvertChannels<Bits, true>(page, frames, channels, channelGains, toDevice, sums);
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
    if (bits == 8) {
        ConvertPage<8>(page.data(), frames, channels, gains, split, sums);
    } else if (bits == 16) {
        ConvertPage<16>(page.data(), frames, channels, gains, split, sums);
    } else {
        ConvertPage<24>(page.data(), frames, channels, gains, split, sums);
    }
    const double scale = std::ldexp(1.0, bits - 8);
    for (int c = 0; c < 8; ++c) {
        const auto from = static_cast<std::size_t>(c < channels ? c : 0);
        const auto to = static_cast<std::size_t>(c);
        meters.Peak[to] =
            static_cast<std::int32_t>(numeric::RoundHalfEven(static_cast<double>(sums.Peak[from]) / scale));
        meters.Rms[to] = static_cast<std::int32_t>(
            numeric::RoundHalfEven(std::sqrt(sums.Squares[from] / static_cast<double>(frames)) / scale));
    }
}

} // namespace WaveOutPage
