#include "audio/SampleFormats.h"

#include <gtest/gtest.h>

namespace {

using namespace WaveMMIO;

TEST(SampleFormats, PackingLimitsToTwentyFourBitsInThePairsToo)
{
    std::vector<StereoSample> pairs{{8'388'608, -1}, {-9'000'000, 0x123456}};
    std::vector<Frame24Stereo> frames;
    Pack24Stereo(frames, pairs);
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(frames[0], (Frame24Stereo{0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(frames[1], (Frame24Stereo{0x00, 0x00, 0x80, 0x56, 0x34, 0x12}));
    EXPECT_EQ(pairs[0].Left, 8'388'607);
    EXPECT_EQ(pairs[1].Left, -8'388'608);

    std::vector<StereoSample> back(7);
    Unpack24Stereo(frames, back);
    ASSERT_EQ(back.size(), 2U);
    EXPECT_EQ(back[0].Left, 8'388'607);
    EXPECT_EQ(back[0].Right, -1);
    EXPECT_EQ(back[1].Left, -8'388'608);
    EXPECT_EQ(back[1].Right, 0x123456);
}

TEST(SampleFormats, MonoRoundTrip)
{
    std::vector<std::int32_t> samples{0, 1, -1, 8'388'607, -8'388'608, 12'000'000};
    std::vector<Sample24> packed(1);
    Pack24Mono(packed, samples);
    ASSERT_EQ(packed.size(), samples.size());
    EXPECT_EQ(packed[2], (Sample24{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(samples[5], 8'388'607);
    std::vector<std::int32_t> back;
    Unpack24Mono(packed, back);
    EXPECT_EQ(back, (std::vector<std::int32_t>{0, 1, -1, 8'388'607, -8'388'608, 8'388'607}));
}

TEST(SampleFormats, ScaledSingleSamples)
{
    const std::array<std::uint8_t, 3> minusTwo{0xFE, 0xFF, 0xFF};
    EXPECT_EQ(Read24Scaled(minusTwo, 1.25f), -2); // -2.5 rounds half to even
    EXPECT_EQ(Read24Scaled(std::array<std::uint8_t, 3>{0x00, 0x00, 0x40}, 0.5f), 2'097'152);
    EXPECT_EQ(Read24Scaled(std::array<std::uint8_t, 2>{1, 2}, 1.0f), 0);

    std::array<std::uint8_t, 4> out{9, 9, 9, 9};
    EXPECT_EQ(Write24Clamped(8'000'000, out, 2.0f), 0);
    EXPECT_EQ(out, (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0x7F, 9}));
    Write24Clamped(-3, out, 0.5f); // -1.5 rounds to -2
    EXPECT_EQ(out, (std::array<std::uint8_t, 4>{0xFE, 0xFF, 0xFF, 9}));
}

TEST(SampleFormats, FormatCodeNames)
{
    const char* const names[] = {"Mono8bit",           "Stereo8bit",        "Mono16bit",          "Stereo16bit",
                                 "Mono24bit",          "Stereo24bit",       "Surround 5.1 16bit", "Surround 7.1 16bit",
                                 "Surround 5.1 24bit", "Surround 7.1 24bit"};
    for (int code = 0; code < 10; ++code) {
        EXPECT_EQ(FormatCodeName(code), names[code]);
    }
    EXPECT_EQ(FormatCodeName(10), "");
    EXPECT_EQ(FormatCodeName(-1), "");
}

} // namespace
