#include "GraphPlayerFixture.h"

#include "audio/AudioInfoText.h"
#include "audio/FileTypeNames.h"
#include "audio/FilterGraphLength.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

using graphtest::GraphPlayerFixture;

// The information text asks a filter-graph player for the length of the
// types only a decoder can measure.
class PlayerMeasuredLength : public GraphPlayerFixture {
protected:
    void SetUp() override
    {
        GraphPlayerFixture::SetUp();
        FilterGraphLength::Install();
    }
    void TearDown() override
    {
        FCT_AudioInf::SetAudioLengthPlayerFactory(nullptr);
        GraphPlayerFixture::TearDown();
    }
};

TEST_F(PlayerMeasuredLength, AnMpegStreamByItsTypeName)
{
    const std::string mp3 = SineMp3("sine.mp3");
    const std::string mpeg = folder / "sine.mpeg";
    std::filesystem::copy_file(mp3, mpeg);
    const AudioInfo info = FCT_AudioInf::GetAudioInfoText(mpeg, 0, 0, 0);
    EXPECT_EQ(info.Ok, 1);
    EXPECT_NEAR(info.LengthMS, 2000, 60);
    EXPECT_EQ(info.Text, FCT_AudioInf::GetFileTypeName(mpeg));
}

TEST_F(PlayerMeasuredLength, AWaveInAFormatTheHeaderReaderLeavesToThePlayer)
{
    // One second of 32-bit float stereo: format tag 3.
    testsupport::Bytes samples;
    for (int i = 0; i < 2 * Rate; ++i) {
        const float value = (i % 200) / 400.0f;
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        testsupport::PutU32(samples, bits);
    }
    const std::string path = folder / "float.wav";
    testsupport::RiffFileBuilder().Format(3, 2, Rate, 32).Data(samples).WriteTo(path);
    const AudioInfo info = FCT_AudioInf::GetAudioInfoText(path, 0, 0, 0);
    EXPECT_EQ(info.Ok, 1);
    EXPECT_EQ(info.LengthMS, 1000);
}

TEST_F(PlayerMeasuredLength, AFileNoPlayerOpensHasNoLength)
{
    const std::string path = folder / "broken.m4a";
    testsupport::WriteFile(path, testsupport::Bytes(5000, 0x42));
    const AudioInfo info = FCT_AudioInf::GetAudioInfoText(path, 0, 0, 0);
    EXPECT_EQ(info.Ok, 0);
    EXPECT_EQ(info.LengthMS, 0);
    EXPECT_EQ(info.Text, FCT_AudioInf::GetFileTypeName(path));
}

} // namespace
