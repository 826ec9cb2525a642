#include "audio/AudioInfoText.h"
#include "audio/MpegHeader.h"
#include "audio/UnusableFormatLog.h"
#include "foundation/ModuleValues.h"
#include "support/DayLogEntries.h"
#include "support/MpegFileBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using testsupport::MpegFileBuilder;
using testsupport::MpegFrameSpec;

constexpr MpegFrameSpec Layer3Joint128{1, 3, 128, 44100, 1}; // 417-byte frames, 16 bytes a ms

// A damaged or made-up Xing or VBRI header can claim more frames than the
// file has room for. Lists and the sound information then showed days for a
// file of a few hundred bytes; such a count is not believed, the length comes
// from the bytes and the bit rate, and the file is named in the log.
class MpegFrameCount : public testing::Test {
protected:
    void SetUp() override
    {
        WaveMMIO::ForgetLoggedFormats();
        basic::LogError = 1;
        basic::LogFolder = folder.Folder("log");
    }
    void TearDown() override
    {
        basic::LogError = 0;
        basic::LogFolder.clear();
    }

    // What lists show for the file (the short text and the length), after
    // the reader's own record is filled.
    AudioInfo Shown(const MpegFileBuilder& builder, const std::string& name)
    {
        const std::string path = folder / name;
        builder.WriteTo(path);
        EXPECT_EQ(FCT_mpeg::GetMpegInfo(path, info, 0), 1) << name;
        return FCT_AudioInf::GetAudioInfoText(path, 0, 0, 0);
    }

    int LogLinesNaming(const std::string& name) const
    {
        const std::vector<std::string> lines = testsupport::DayLogEntries(basic::LogFolder);
        const std::string path = folder / name;
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(path) != std::string::npos && line.find("MPEG frame count") != std::string::npos;
        }));
    }

    testsupport::ScratchFolder folder;
    MpegInfo info;
};

TEST_F(MpegFrameCount, ACountTheAudioCannotHoldGivesTheLengthOfTheBytes)
{
    // One 417-byte frame whose Xing header claims 2,147,483,647 frames: it
    // read as 24.8 days at 0 kbit/s. 417 bytes at 16 bytes a ms: 26 ms.
    MpegFileBuilder huge;
    huge.XingFrame(Layer3Joint128, 2147483647);
    ASSERT_EQ(huge.Size(), 417U);
    AudioInfo shown = Shown(huge, "huge.mp3");
    EXPECT_EQ(shown.LengthMS, 26);
    EXPECT_EQ(shown.Text, "mp3(44.1kHz/128kb/JS)");
    EXPECT_EQ(info.IsVBR, 0);
    EXPECT_EQ(info.LongText, "mp3(44100Hz/128kbps/JointStereo)");

    // Six frames (2,502 bytes) claiming 100,000: it read as 43.5 minutes.
    // 2502 / 16 = 156.4 ms.
    MpegFileBuilder hundredThousand;
    hundredThousand.XingFrame(Layer3Joint128, 100000).Frames(Layer3Joint128, 5);
    ASSERT_EQ(hundredThousand.Size(), 2502U);
    shown = Shown(hundredThousand, "long.mp3");
    EXPECT_EQ(shown.LengthMS, 156);
    EXPECT_EQ(shown.Text, "mp3(44.1kHz/128kb/JS)");

    // A VBRI header of 500 frames in six mono 48 kHz frames of 384 bytes: the
    // shortest frame at 48 kHz (32 kbit/s) is 96 bytes, 500 need 48,000.
    // 2304 bytes at 128 kbit/s: 144 ms.
    MpegFileBuilder vbri;
    vbri.FrameCountFrame({1, 3, 128, 48000, 3}, 500, "VBRI").Frames({1, 3, 128, 48000, 3}, 5);
    shown = Shown(vbri, "vbri.mp3");
    EXPECT_EQ(shown.LengthMS, 144);
    EXPECT_EQ(shown.Text, "mp3(48kHz/128kb/Mono)");

    // Each file is named once in the log, however often it is read.
    for (const char* name : {"huge.mp3", "long.mp3", "vbri.mp3"}) {
        EXPECT_EQ(LogLinesNaming(name), 1) << name;
    }
}

TEST_F(MpegFrameCount, TheShortestFrameOfTheStreamDecides)
{
    const MpegFrameSpec lsf{2, 3, 64, 22050, 1}; // 208-byte frames, 8 bytes a ms
    struct Case {
        const char* name;
        MpegFileBuilder file;
        std::int32_t lengthMs;
        int logLines;
    };
    const Case cases[] = {
        // Six 417-byte frames (2,502 bytes) hold 24 of the shortest MPEG-1
        // layer III frames at 44.1 kHz: 32 kbit/s, 104 bytes unpadded
        // (24 x 104 = 2496; padded ones of 105 would allow only 23).
        {"fits.mp3", MpegFileBuilder().XingFrame(Layer3Joint128, 24).Frames(Layer3Joint128, 5), 627, 0}, // 24 x 26.12
        {"oneMore.mp3", MpegFileBuilder().XingFrame(Layer3Joint128, 25).Frames(Layer3Joint128, 5), 156, 1}, // 2502/16
        // MPEG-2 layer III at 22.05 kHz: 8 kbit/s frames of 26 bytes and 576
        // samples. Six 208-byte frames (1,248 bytes) hold exactly 48.
        {"lsfFits.mp3", MpegFileBuilder().XingFrame(lsf, 48).Frames(lsf, 5), 1254, 0},   // 48 x 576 / 22.05
        {"lsfOneMore.mp3", MpegFileBuilder().XingFrame(lsf, 49).Frames(lsf, 5), 156, 1}, // 1248 / 8
        // Tags are not audio: with an ID3v2 tag of 4,096 bytes and a trailing
        // "TAG" block the file has room for 25 frames, its audio does not.
        {"tagged.mp3",
         MpegFileBuilder().Id3v2(4086).XingFrame(Layer3Joint128, 25).Frames(Layer3Joint128, 5).TrailingTag(), 156, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Shown(c.file, c.name).LengthMS, c.lengthMs) << c.name;
        EXPECT_EQ(info.IsVBR, c.logLines == 0 ? 1 : 0) << c.name;
        EXPECT_EQ(LogLinesNaming(c.name), c.logLines) << c.name;
    }
}

} // namespace
