#include "platform/audio/SampleConversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::audio {

namespace {

// 2147483520 is the largest float below 2^31.
constexpr float s16Scale = 32768.0f;
constexpr float s16Low = -32768.0f;
constexpr float s16High = 32767.0f;
constexpr float s32Scale = 2147483648.0f;
constexpr float s32Low = -2147483648.0f;
constexpr float s32High = 2147483520.0f;

// One sample the long way, for what is left over after the blocks of four.
std::int32_t Scaled(float sample, float scale, float low, float high)
{
    if (std::isnan(sample)) {
        return 0;
    }
    // The default rounding mode: to nearest, halves to even.
    return static_cast<std::int32_t>(std::nearbyint(std::clamp(sample * scale, low, high)));
}

#if defined(__SSE2__)
// Four samples scaled and held within low .. high; not-a-number becomes 0.
// Conversion then rounds as the processor's rounding mode says (to nearest
// even, unless a program changes it, which this one does not).
__m128i ScaledFour(const float* samples, __m128 scale, __m128 low, __m128 high)
{
    __m128 x = _mm_loadu_ps(samples);
    x = _mm_and_ps(x, _mm_cmpord_ps(x, x));
    x = _mm_min_ps(_mm_max_ps(_mm_mul_ps(x, scale), low), high);
    return _mm_cvtps_epi32(x);
}
#endif

} // namespace

void FloatsToS16(std::span<const float> samples, std::uint8_t* out)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128 scale = _mm_set1_ps(s16Scale);
    const __m128 low = _mm_set1_ps(s16Low);
    const __m128 high = _mm_set1_ps(s16High);
    for (; i + 8 <= samples.size(); i += 8) {
        const __m128i first = ScaledFour(samples.data() + i, scale, low, high);
        const __m128i second = ScaledFour(samples.data() + i + 4, scale, low, high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 2), _mm_packs_epi32(first, second));
    }
#endif
    for (; i < samples.size(); ++i) {
        const auto value = static_cast<std::int16_t>(Scaled(samples[i], s16Scale, s16Low, s16High));
        std::memcpy(out + i * 2, &value, sizeof value);
    }
}

void FloatsToS32(std::span<const float> samples, std::uint8_t* out)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128 scale = _mm_set1_ps(s32Scale);
    const __m128 low = _mm_set1_ps(s32Low);
    const __m128 high = _mm_set1_ps(s32High);
    for (; i + 4 <= samples.size(); i += 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i * 4), ScaledFour(samples.data() + i, scale, low, high));
    }
#endif
    for (; i < samples.size(); ++i) {
        const std::int32_t value = Scaled(samples[i], s32Scale, s32Low, s32High);
        std::memcpy(out + i * 4, &value, sizeof value);
    }
}

} // namespace platform::audio
