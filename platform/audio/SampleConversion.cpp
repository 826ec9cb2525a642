#include "platform/audio/SampleConversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::audio {

namespace {

// Float arithmetic throughout: scaling by a power of two is exact, so a
// sample reaches the card as it would through doubles.

// A format's full scale, and the range a scaled sample is held within.
struct FullScale {
    float scale;
    float low;
    float high;
};
constexpr FullScale s16{32768.0f, -32768.0f, 32767.0f};
constexpr FullScale s24{8388608.0f, -8388608.0f, 8388607.0f};
// 2147483520 is the largest float below 2^31.
constexpr FullScale s32{2147483648.0f, -2147483648.0f, 2147483520.0f};

// One sample scaled, held and rounded; not-a-number is 0.
std::int32_t Scaled(float sample, const FullScale& full)
{
    // The default rounding mode: to nearest, halves to even.
    return std::isnan(sample)
               ? 0
               : static_cast<std::int32_t>(std::nearbyint(std::clamp(sample * full.scale, full.low, full.high)));
}

// The samples from the first one on, the long way: what is left over after
// the blocks converted together.
template <typename Sample>
void ConvertRest(std::span<const float> samples, std::size_t first, const FullScale& full, std::uint8_t* out)
{
    for (std::size_t i = first; i < samples.size(); ++i) {
        const auto value = static_cast<Sample>(Scaled(samples[i], full));
        std::memcpy(out + i * sizeof(Sample), &value, sizeof value);
    }
}

#if defined(__SSE2__)
// Four samples scaled and held within the full scale; not-a-number becomes
// 0. Conversion then rounds as the processor's rounding mode says (to
// nearest even, unless a program changes it, which this one does not).
__m128i ScaledFour(const float* samples, const FullScale& full)
{
    __m128 x = _mm_loadu_ps(samples);
    x = _mm_and_ps(x, _mm_cmpord_ps(x, x));
    x = _mm_min_ps(_mm_max_ps(_mm_mul_ps(x, _mm_set1_ps(full.scale)), _mm_set1_ps(full.low)), _mm_set1_ps(full.high));
    return _mm_cvtps_epi32(x);
}
#endif

} // namespace

void FloatsToS16(std::span<const float> samples, std::uint8_t* out)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= samples.size(); i += 8) {
        const __m128i first = ScaledFour(samples.data() + i, s16);
        const __m128i second = ScaledFour(samples.data() + i + 4, s16);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 2), _mm_packs_epi32(first, second));
    }
#endif
    ConvertRest<std::int16_t>(samples, i, s16, out);
}

void FloatsToS32(std::span<const float> samples, std::uint8_t* out)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= samples.size(); i += 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), ScaledFour(samples.data() + i, s32));
    }
#endif
    ConvertRest<std::int32_t>(samples, i, s32, out);
}

void FloatsToS24(std::span<const float> samples, std::uint8_t* out, bool packed)
{
    for (const float sample : samples) {
        const auto value = static_cast<std::uint32_t>(Scaled(sample, s24));
        out[0] = static_cast<std::uint8_t>(value);
        out[1] = static_cast<std::uint8_t>(value >> 8);
        out[2] = static_cast<std::uint8_t>(value >> 16);
        if (!packed) {
            out[3] = static_cast<std::uint8_t>(value >> 24);
        }
        out += packed ? 3 : 4;
    }
}

void FloatsToFloat(std::span<const float> samples, std::uint8_t* out)
{
    for (const float sample : samples) {
        const float value = std::isnan(sample) ? 0.0f : std::clamp(sample, -1.0f, 1.0f);
        std::memcpy(out, &value, sizeof value);
        out += sizeof value;
    }
}

} // namespace platform::audio
