// The conversion of one page: gain, limits, surround split and meters.
#include "audio/WaveOutPage.h"
#include "audio/WaveOutFormat.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using WaveOutPage::Convert;
using WaveOutPage::Gains;
using WaveOutPage::Meters;

std::vector<std::uint8_t> Words(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> bytes;
    for (const int value : values) {
        const auto word = static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

int Word(const std::vector<std::uint8_t>& bytes, std::size_t index)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8)));
}

std::vector<std::uint8_t> Triples(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> bytes;
    for (const int value : values) {
        const auto bits = static_cast<std::uint32_t>(value);
        bytes.push_back(static_cast<std::uint8_t>(bits & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((bits >> 8) & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((bits >> 16) & 0xFF));
    }
    return bytes;
}

int Triple(const std::vector<std::uint8_t>& bytes, std::size_t index)
{
    int value = bytes[3 * index] | (bytes[3 * index + 1] << 8) | (bytes[3 * index + 2] << 16);
    return value >= 0x800000 ? value - 0x1000000 : value;
}

TEST(WaveOutPage, StereoSixteenBitIsLimitedAfterMeteringWithTheGainAbove)
{
    // Gain 2.0 on 20,000: 32,767 is written; the peak of 40,000 reads 156.
    auto page = Words({20000, -100, 1000, 100});
    Meters meters;
    Convert(3, page, 2, Gains{2.0f, 0.5f, 1.0f}, {}, meters);
    EXPECT_EQ(Word(page, 0), 32767);
    EXPECT_EQ(Word(page, 1), -50);
    EXPECT_EQ(Word(page, 2), 2000);
    EXPECT_EQ(Word(page, 3), 50);
    EXPECT_EQ(meters.Peak[0], 156);
    EXPECT_EQ(meters.Peak[1], 0); // 50 / 256 rounds to 0
    // sqrt((40000^2 + 2000^2) / 2) / 256 = 110.6
    EXPECT_EQ(meters.Rms[0], 111);
    EXPECT_EQ(meters.Peak[4], 156);
}

TEST(WaveOutPage, HalvesRoundToEvenAndFullNegativeScaleIsLimitedToo)
{
    auto page = Words({3, 5, -5, -32768});
    Meters meters;
    Convert(2, page, 4, Gains{0.5f, 1.0f, 1.0f}, {}, meters);
    EXPECT_EQ(Word(page, 0), 2);  // 1.5
    EXPECT_EQ(Word(page, 1), 2);  // 2.5
    EXPECT_EQ(Word(page, 2), -2); // -2.5
    EXPECT_EQ(Word(page, 3), -16384);
    page = Words({-32768});
    Convert(2, page, 1, Gains{}, {}, meters);
    EXPECT_EQ(Word(page, 0), -32767);
    EXPECT_EQ(meters.Peak[0], 128);
}

TEST(WaveOutPage, EightBitSamplesScaleAroundTheirMidpoint)
{
    std::vector<std::uint8_t> page{0, 255, 128, 200};
    Meters meters;
    Convert(1, page, 2, Gains{0.5f, 2.0f, 1.0f}, {}, meters);
    EXPECT_EQ(page[0], 64);  // -128 x 0.5
    EXPECT_EQ(page[1], 255); // 127 x 2, limited
    EXPECT_EQ(page[2], 128);
    EXPECT_EQ(page[3], 255); // 72 x 2
    EXPECT_EQ(meters.Peak[0], 64);
    EXPECT_EQ(meters.Peak[1], 127);
}

TEST(WaveOutPage, TwentyFourBitSamplesAreMeteredBeforeTheirLimit)
{
    auto page = Triples({8000000, -4194304});
    Meters meters;
    Convert(4, page, 2, Gains{1.5f, 1.0f, 1.0f}, {}, meters);
    EXPECT_EQ(Triple(page, 0), 8388607);
    EXPECT_EQ(Triple(page, 1), -6291456);
    EXPECT_EQ(meters.Peak[0], 183); // 12,000,000 / 65,536: above full scale
}

TEST(WaveOutPage, SurroundSixteenBitSplitsIntoStereoDeviceBuffers)
{
    // A 7.1 sample of 30,000 at an attenuation gain of 1.5 is written as 32,767.
    auto page = Words({30000, 1, 2, 3, 4, 5, 6, -30000, 10, 11, 12, 13, 14, 15, 16, 17});
    std::vector<std::vector<std::uint8_t>> devices(4, std::vector<std::uint8_t>(8));
    std::vector<std::span<std::uint8_t>> split;
    for (auto& device : devices) {
        split.emplace_back(device);
    }
    Meters meters;
    Convert(7, page, 2, Gains{0.0f, 0.0f, 1.5f}, split, meters);
    EXPECT_EQ(Word(devices[0], 0), 32767);
    EXPECT_EQ(Word(devices[0], 1), 2); // 1.5
    EXPECT_EQ(Word(devices[3], 1), -32767);
    EXPECT_EQ(Word(devices[0], 2), 15);
    EXPECT_EQ(Word(devices[3], 3), 26); // 25.5
    // Surround meters are taken after the limit.
    EXPECT_EQ(meters.Peak[0], 128);
    EXPECT_EQ(meters.Peak[7], 128);
    // Pan gains do not act on surround files; the page itself is unchanged.
    EXPECT_EQ(Word(page, 0), 30000);
}

TEST(WaveOutPage, SurroundWithoutASplitIsConvertedInPlace)
{
    auto page = Triples({100, 200, 300, 400, 500, -8388608});
    Meters meters;
    Convert(8, page, 1, Gains{0.0f, 0.0f, 2.0f}, {}, meters);
    EXPECT_EQ(Triple(page, 0), 200);
    EXPECT_EQ(Triple(page, 4), 1000);
    EXPECT_EQ(Triple(page, 5), -8388608);
    EXPECT_EQ(meters.Peak[5], 256); // 16,777,216 / 65,536
}

TEST(WaveOutFormat, SurroundFilesGoSplitOrWholeWithTheirSpeakerPositions)
{
    WaveInfoRecord wave;
    wave.SampleRate = 48000;
    wave.Bits = 24;
    wave.Channels = 8;
    auto layout = MakeWaveOutLayout(wave, false);
    EXPECT_EQ(layout.LastDevice, 3);
    EXPECT_EQ(layout.Format.FormatTag, 1);
    EXPECT_EQ(layout.Format.Channels, 2);
    EXPECT_EQ(layout.Format.BlockAlign, 6);
    EXPECT_EQ(layout.Format.AvgBytesPerSec, 288000);

    layout = MakeWaveOutLayout(wave, true);
    EXPECT_EQ(layout.LastDevice, 0);
    EXPECT_EQ(layout.Format.FormatTag, 0xFFFE);
    EXPECT_EQ(layout.Format.Channels, 8);
    EXPECT_EQ(layout.Format.ExtensionSize, 22);
    EXPECT_EQ(layout.Format.ValidBitsPerSample, 24);
    // 7.1 declares its side pair: FL FR FC LFE BL BR SL SR.
    EXPECT_EQ(layout.Format.ChannelMask, 0x63FU);
    EXPECT_EQ(layout.Format.BlockAlign, 24);

    wave.Channels = 6;
    wave.Bits = 16;
    EXPECT_EQ(MakeWaveOutLayout(wave, true).Format.ChannelMask, 0x3FU);
    EXPECT_EQ(MakeWaveOutLayout(wave, false).LastDevice, 2);
    wave.Channels = 1;
    EXPECT_EQ(MakeWaveOutLayout(wave, true).Format.Channels, 1);
    EXPECT_EQ(MakeWaveOutLayout(wave, true).Format.FormatTag, 1);
}

} // namespace
