#include "audio/CueMarkerPositions.h"
#include "audio/AudioLengthPlayer.h"
#include "foundation/ModuleValues.h"

#include "support/MpegFileBuilder.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

using testsupport::Bytes;
using testsupport::RiffFileBuilder;

struct Positions {
    std::int32_t StartSample = -1, EndSample = -1, StartMS = -1, EndMS = -1;
};

class CuePositions : public testing::Test {
protected:
    void SetUp() override { basic::CueActive = {1, 1, 1}; }
    void TearDown() override { basic::CueActive = {0, 0, 0}; }

    // Ten seconds of 16-bit stereo at 48000 Hz with labelled cues.
    std::string Sound(const std::vector<std::pair<std::uint32_t, std::string>>& labelled)
    {
        RiffFileBuilder builder;
        builder.Format(1, 2, 48000, 16).Data(Bytes(4 * 480000)).LabelledCues(labelled);
        const std::string path = folder / "cued.wav";
        builder.WriteTo(path);
        return path;
    }
    Positions Get(const std::string& path, std::int32_t offsetMS, std::int32_t lengthMS = 0)
    {
        Positions p;
        info = WaveInfoRecord{};
        parms::GetCueMarkerPositions(path, 0, offsetMS, lengthMS, info, p.StartSample, p.EndSample, p.StartMS, p.EndMS);
        return p;
    }

    testsupport::ScratchFolder folder;
    WaveInfoRecord info;
};

TEST_F(CuePositions, OffsetCountsFromTheStandbyMark)
{
    const Positions p = Get(Sound({{96000, "BC$STANDBY"}}), 1500);
    EXPECT_EQ(p.StartSample, 168000);
    EXPECT_EQ(p.StartMS, 3500);
    EXPECT_EQ(p.EndSample, 480000);
    EXPECT_EQ(p.EndMS, 10000);
    EXPECT_EQ(info.Valid, 1); // the caller's record was filled
    EXPECT_EQ(info.SampleRate, 48000);
}

TEST_F(CuePositions, EndMarksInAnyCase)
{
    Positions p = Get(Sound({{48000, "bc$Standby"}, {240000, "Bc$End"}, {300000, "BC$STOP"}}), 0);
    EXPECT_EQ(p.StartSample, 48000);
    EXPECT_EQ(p.StartMS, 1000);
    EXPECT_EQ(p.EndSample, 240000);
    EXPECT_EQ(p.EndMS, 5000);

    // An end mark at sample 0 counts as absent: the stop mark ends the play.
    p = Get(Sound({{0, "BC$END"}, {300000, "bc$stop"}}), 0);
    EXPECT_EQ(p.EndSample, 300000);
    EXPECT_EQ(p.EndMS, 6250);

    // A later cue of the same label wins.
    p = Get(Sound({{24000, "BC$STANDBY"}, {72000, "BC$STANDBY"}}), 0);
    EXPECT_EQ(p.StartSample, 72000);
}

TEST_F(CuePositions, SwitchesDecideWhichLabelsCount)
{
    const std::string path = Sound({{48000, "BC$STANDBY"}, {240000, "BC$END"}, {300000, "BC$STOP"}});
    basic::CueActive = {0, 0, 0};
    Positions p = Get(path, 250);
    EXPECT_EQ(p.StartSample, 12000);
    EXPECT_EQ(p.StartMS, 250);
    EXPECT_EQ(p.EndSample, 480000);
    EXPECT_EQ(p.EndMS, 10000);

    basic::CueActive = {0, 0, 1};
    p = Get(path, 0);
    EXPECT_EQ(p.StartSample, 0);
    EXPECT_EQ(p.EndSample, 300000);

    basic::CueActive = {1, 0, 0};
    p = Get(path, 0);
    EXPECT_EQ(p.StartSample, 48000);
    EXPECT_EQ(p.EndSample, 480000);
}

TEST_F(CuePositions, AnEndBeforeTheStartBecomesTheStart)
{
    const Positions p = Get(Sound({{96000, "BC$STANDBY"}, {120000, "BC$END"}}), 1000);
    EXPECT_EQ(p.StartSample, 144000);
    EXPECT_EQ(p.EndSample, 144000);
    EXPECT_EQ(p.StartMS, 3000);
    EXPECT_EQ(p.EndMS, 3000);
}

TEST_F(CuePositions, AStandbyMarkAmongHundredsOfCues)
{
    std::vector<std::pair<std::uint32_t, std::string>> labelled;
    for (std::uint32_t i = 0; i < 130; ++i) {
        labelled.emplace_back(i * 100, "marker");
    }
    labelled[125] = {96000, "BC$STANDBY"};
    const Positions p = Get(Sound(labelled), 0);
    EXPECT_EQ(p.StartSample, 96000);
    EXPECT_EQ(p.StartMS, 2000);
}

class FixedLengthPlayer final : public FCT_AudioInf::AudioLengthPlayer {
public:
    void Init() override {}
    void SetFileName(const std::string&) override {}
    std::int32_t Length() override { return 7000; }
    void CloseWave() override {}
};

TEST_F(CuePositions, FilesThatAreNotWavesPlayFromTheOffsetToTheirLength)
{
    // MPEG audio: 100 frames of 417 bytes at 128 kbit/s.
    testsupport::MpegFileBuilder mpeg;
    mpeg.Frames({1, 3, 128, 44100, 1}, 100);
    const std::string mp3 = folder / "song.mp3";
    mpeg.WriteTo(mp3);
    Positions p = Get(mp3, 1500);
    EXPECT_EQ(p.StartMS, 1500);
    EXPECT_EQ(p.EndMS, 2606); // 41700 bytes at 16 bytes per ms
    EXPECT_EQ(p.StartSample, 0);
    EXPECT_EQ(p.EndSample, 0);

    // A length the caller knows is kept; a negative offset starts at 0.
    p = Get(mp3, -200, 9000);
    EXPECT_EQ(p.StartMS, 0);
    EXPECT_EQ(p.EndMS, 9000);

    // A type only a player can tell.
    FCT_AudioInf::SetAudioLengthPlayerFactory([] { return std::make_unique<FixedLengthPlayer>(); });
    const std::string wma = folder / "song.wma";
    testsupport::WriteFile(wma, Bytes(100, 1));
    p = Get(wma, 0);
    FCT_AudioInf::SetAudioLengthPlayerFactory(nullptr);
    EXPECT_EQ(p.EndMS, 7000);
}

TEST_F(CuePositions, TheCallersRecordIsUsedWhenItHoldsARate)
{
    WaveInfoRecord known;
    known.Valid = 1;
    known.SampleRate = 44100;
    known.Frames = 441000;
    Positions p;
    parms::GetCueMarkerPositions((folder / "missing.wav"), 0, 500, 0, known, p.StartSample, p.EndSample, p.StartMS,
                                 p.EndMS);
    EXPECT_EQ(p.StartSample, 22050);
    EXPECT_EQ(p.EndSample, 441000);
    EXPECT_EQ(p.EndMS, 10000);

    // A record claiming validity without a rate cannot give samples.
    WaveInfoRecord noRate;
    noRate.Valid = 1;
    noRate.Frames = 1000;
    parms::GetCueMarkerPositions((folder / "missing.wav"), 0, 300, 4000, noRate, p.StartSample, p.EndSample, p.StartMS,
                                 p.EndMS);
    EXPECT_EQ(p.StartSample, 0);
    EXPECT_EQ(p.EndSample, 0);
    EXPECT_EQ(p.StartMS, 300);
    EXPECT_EQ(p.EndMS, 4000);
}

} // namespace
