#include "GraphPlayerFixture.h"

#include "audio/AudioInfoText.h"
#include "audio/C_FGraph.h"
#include "audio/MpegHeader.h"
#include "foundation/ModuleValues.h"
#include "support/DayLogEntries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <unistd.h>

namespace {

using graphtest::GraphPlayerFixture;

// An MP3 of 1.03 s, as an operator would make it with the encoder the project
// installs: its first frame holds the encoder's Info (constant bit rate) or
// Xing (average bit rate) header with the frame count, and its own tag with
// the delay and padding a decoder drops.
class EncodedMp3Length : public GraphPlayerFixture {
protected:
    static constexpr int SourceFrames = 45423; // 1.03 s at 44.1 kHz
    static constexpr double FrameMs = 1152.0 / 44.1;

    static bool HasLame()
    {
        std::istringstream path(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "");
        for (std::string folder; std::getline(path, folder, ':');) {
            if (!folder.empty() && access((folder + "/lame").c_str(), X_OK) == 0) {
                return true;
            }
        }
        return false;
    }

    std::string Encode(const std::string& name, const std::string& options)
    {
        const std::string wave = folder / (name + ".wav");
        const std::string mp3 = folder / name;
        testsupport::WriteWave(wave, 44100, 16, 2, testsupport::SineSamples16(44100, 2, SourceFrames, 440.0, 0.5));
        const std::string command = "lame --quiet -m j " + options + " '" + wave + "' '" + mp3 + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return mp3;
    }

    // The length the filter-graph back-end's decoder measures.
    static std::int32_t DecodedLength(const std::string& path)
    {
        C_FGraph player;
        player.SetDevMode(0);
        player.SetDevName("Null 1");
        player.Init();
        player.SetFileName(path);
        const std::int32_t length = player.Length();
        player.CloseWave();
        return length;
    }
};

TEST_F(EncodedMp3Length, AConstantBitRateFileWithAnInfoHeaderHasTheDecodersLength)
{
    if (!HasLame()) {
        GTEST_SKIP() << "the lame encoder is not installed (scripts/install-deps installs it)";
    }
    const std::string mp3 = Encode("info.mp3", "-b 128");
    MpegInfo info;
    ASSERT_EQ(FCT_mpeg::GetMpegInfo(mp3, info, 0), 1);
    EXPECT_EQ(info.Layer, 3);
    EXPECT_EQ(info.IsLSF, 0);
    EXPECT_EQ(info.SampleRate, 44100);
    EXPECT_EQ(info.ChannelMode, 1);
    EXPECT_EQ(info.BitRate, 128);
    EXPECT_EQ(info.IsVBR, 0);
    EXPECT_GT(info.VbrFrames, 0);
    EXPECT_EQ(info.LongText, "mp3(44100Hz/128kbps/JointStereo)");
    EXPECT_EQ(info.ShortText, "mp3(44.1kHz/128kb/JS)");

    const std::int32_t decoded = DecodedLength(mp3);
    EXPECT_NEAR(decoded, 1030, FrameMs);
    EXPECT_NEAR(info.LengthMS, decoded, FrameMs);

    const AudioInfo text = FCT_AudioInf::GetAudioInfoText(mp3, 0, 0, 1);
    EXPECT_EQ(text.Ok, 1);
    EXPECT_EQ(text.LengthMS, info.LengthMS);
    EXPECT_EQ(text.Text.find("[VBR]"), std::string::npos) << text.Text;
}

TEST_F(EncodedMp3Length, AnAverageBitRateFileWithAXingHeaderIsVariable)
{
    if (!HasLame()) {
        GTEST_SKIP() << "the lame encoder is not installed (scripts/install-deps installs it)";
    }
    const std::string mp3 = Encode("xing.mp3", "--abr 128");
    MpegInfo info;
    ASSERT_EQ(FCT_mpeg::GetMpegInfo(mp3, info, 0), 1);
    EXPECT_EQ(info.IsVBR, 1);
    EXPECT_NE(info.LongText.find("[VBR]/JointStereo)"), std::string::npos) << info.LongText;
    EXPECT_NEAR(info.LengthMS, DecodedLength(mp3), FrameMs);
}

TEST_F(EncodedMp3Length, AVariableBitRateFileKeepsTheLengthOfItsFrameCount)
{
    if (!HasLame()) {
        GTEST_SKIP() << "the lame encoder is not installed (scripts/install-deps installs it)";
    }
    // A usual quality and the lowest, which resamples to 22.05 kHz (MPEG-2,
    // 576 samples a frame). A steady tone takes small frames, about twice the
    // smallest size, so the count is checked against little room to spare.
    for (const char* quality : {"-V 2", "-V 9"}) {
        const std::string mp3 = Encode(std::string("vbr") + quality[3] + ".mp3", quality);
        MpegInfo info;
        ASSERT_EQ(FCT_mpeg::GetMpegInfo(mp3, info, 0), 1) << quality;
        EXPECT_EQ(info.IsVBR, 1) << quality;
        EXPECT_GT(info.VbrFrames, 0) << quality;
        // The 45,423 frames of the source at 44.1 kHz: 1030.0 ms.
        EXPECT_NEAR(info.LengthMS, 1030, 1) << quality;
        EXPECT_NEAR(info.LengthMS, DecodedLength(mp3), FrameMs) << quality;
        EXPECT_NE(info.LongText.find("[VBR]/JointStereo)"), std::string::npos) << info.LongText;
    }
    const std::vector<std::string> log = testsupport::DayLogEntries(basic::LogFolder);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.find("MPEG frame count") != std::string::npos; }),
              0);
}

} // namespace
