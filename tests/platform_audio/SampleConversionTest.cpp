#include "platform/audio/SampleConversion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

using platform::audio::FloatsToFloat;
using platform::audio::FloatsToS16;
using platform::audio::FloatsToS24;
using platform::audio::FloatsToS32;

template <typename Sample> std::vector<Sample> Read(const std::vector<std::uint8_t>& bytes)
{
    std::vector<Sample> samples(bytes.size() / sizeof(Sample));
    std::memcpy(samples.data(), bytes.data(), bytes.size());
    return samples;
}

std::vector<std::int16_t> ToS16(const std::vector<float>& samples)
{
    std::vector<std::uint8_t> bytes(samples.size() * 2, 0xAB);
    FloatsToS16(samples, bytes.data());
    return Read<std::int16_t>(bytes);
}

std::vector<std::int32_t> ToS32(const std::vector<float>& samples)
{
    std::vector<std::uint8_t> bytes(samples.size() * 4, 0xAB);
    FloatsToS32(samples, bytes.data());
    return Read<std::int32_t>(bytes);
}

// Each case stands at every place in a run of nineteen samples, so that it
// is met both in the blocks converted together and in the ones left over.
template <typename Sample, typename Convert> void ExpectEverywhere(Convert convert, float sample, Sample expected)
{
    for (std::size_t at = 0; at < 19; ++at) {
        std::vector<float> samples(19, 0.0f);
        samples[at] = sample;
        const auto out = convert(samples);
        ASSERT_EQ(out.size(), samples.size());
        for (std::size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(out[i], i == at ? expected : Sample{0}) << "sample " << sample << " at " << at << ", out " << i;
        }
    }
}

TEST(SampleConversion, SixteenBitSamplesAreScaledHeldAndRoundedHalvesToEven)
{
    const auto s16 = [](const std::vector<float>& s) { return ToS16(s); };
    const float lsb = 1.0f / 32768.0f;
    ExpectEverywhere<std::int16_t>(s16, 0.5f, 16384);
    ExpectEverywhere<std::int16_t>(s16, -0.25f, -8192);
    ExpectEverywhere<std::int16_t>(s16, 1.0f, 32767);
    ExpectEverywhere<std::int16_t>(s16, -1.0f, -32768);
    ExpectEverywhere<std::int16_t>(s16, 3.5f, 32767);
    ExpectEverywhere<std::int16_t>(s16, -1e30f, -32768);
    ExpectEverywhere<std::int16_t>(s16, std::numeric_limits<float>::infinity(), 32767);
    ExpectEverywhere<std::int16_t>(s16, 0.5f * lsb, 0);
    ExpectEverywhere<std::int16_t>(s16, 1.5f * lsb, 2);
    ExpectEverywhere<std::int16_t>(s16, 2.5f * lsb, 2);
    ExpectEverywhere<std::int16_t>(s16, -1.5f * lsb, -2);
    ExpectEverywhere<std::int16_t>(s16, 0.6f * lsb, 1);
}

TEST(SampleConversion, ThirtyTwoBitSamplesKeepTheFullScaleWithoutWrapping)
{
    const auto s32 = [](const std::vector<float>& s) { return ToS32(s); };
    ExpectEverywhere<std::int32_t>(s32, 0.5f, 1 << 30);
    ExpectEverywhere<std::int32_t>(s32, -1.0f, std::numeric_limits<std::int32_t>::min());
    // Full scale up is one float step below 2^31, not a wrap to the bottom.
    ExpectEverywhere<std::int32_t>(s32, 1.0f, 2147483520);
    ExpectEverywhere<std::int32_t>(s32, 2.0f, 2147483520);
    ExpectEverywhere<std::int32_t>(s32, -std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<std::int32_t>::min());
    // A 24-bit sample goes through exactly.
    ExpectEverywhere<std::int32_t>(s32, 8388607.0f / 8388608.0f, 8388607 * 256);
    ExpectEverywhere<std::int32_t>(s32, 2.5f / 2147483648.0f, 2);
}

// 24-bit cards take little-endian bytes: three, or four with the sign
// repeated in the top one.
TEST(SampleConversion, TwentyFourBitSamplesGoLittleEndianInThreeOrFourBytes)
{
    const std::vector<float> samples{0.5f, -1.0f, 2.0f, -0.5f / 8388608.0f, 1.5f / 8388608.0f};
    std::vector<std::uint8_t> four(samples.size() * 4 + 1, 0xAB);
    FloatsToS24(samples, four.data(), false);
    EXPECT_EQ(four, (std::vector<std::uint8_t>{0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0x7F,
                                               0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0xAB}));
    std::vector<std::uint8_t> three(samples.size() * 3 + 1, 0xAB);
    FloatsToS24(samples, three.data(), true);
    EXPECT_EQ(three, (std::vector<std::uint8_t>{0x00, 0x00, 0x40, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00,
                                                0x02, 0x00, 0x00, 0xAB}));
}

TEST(SampleConversion, FloatCardsGetTheSamplesHeldWithinFullScale)
{
    const std::vector<float> samples{0.25f, -1.5f, 3.0f, -0.75f};
    std::vector<std::uint8_t> bytes(samples.size() * 4);
    FloatsToFloat(samples, bytes.data());
    EXPECT_EQ(Read<float>(bytes), (std::vector<float>{0.25f, -1.0f, 1.0f, -0.75f}));
}

TEST(SampleConversion, NotANumberIsSilenceNotAClick)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ExpectEverywhere<std::int16_t>([](const std::vector<float>& s) { return ToS16(s); }, nan, 0);
    ExpectEverywhere<std::int32_t>([](const std::vector<float>& s) { return ToS32(s); }, nan, 0);
    const std::vector<float> samples{nan, nan};
    std::vector<std::uint8_t> s24(8, 0xAB);
    FloatsToS24(samples, s24.data(), false);
    EXPECT_EQ(s24, std::vector<std::uint8_t>(8, 0));
    std::vector<std::uint8_t> floats(8, 0xAB);
    FloatsToFloat(samples, floats.data());
    EXPECT_EQ(Read<float>(floats), (std::vector<float>{0.0f, 0.0f}));
}

TEST(SampleConversion, WritesExactlyTheSamplesItIsGiven)
{
    std::vector<float> samples(13, 0.25f);
    std::vector<std::uint8_t> bytes(samples.size() * 2 + 8, 0xAB);
    FloatsToS16(samples, bytes.data());
    for (std::size_t i = samples.size() * 2; i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], 0xAB) << i;
    }
    std::vector<std::uint8_t> wide(samples.size() * 4 + 8, 0xAB);
    FloatsToS32(samples, wide.data());
    for (std::size_t i = samples.size() * 4; i < wide.size(); ++i) {
        EXPECT_EQ(wide[i], 0xAB) << i;
    }
    FloatsToS16({}, nullptr);
    FloatsToS32({}, nullptr);
}

} // namespace
