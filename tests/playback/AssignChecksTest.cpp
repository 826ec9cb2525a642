#include "AssignFixture.h"
#include "ExtensibleWaves.h"

#include "playback/AssignChecks.h"
#include "playback/PreRead.h"
#include "support/RiffFileBuilder.h"

using namespace playbacktest;
using namespace playback;

TEST_F(AssignFixture, DuplicateTitlesAreRefusedAcrossButtonsAndLists)
{
    Button(0, 0, 0).FileName = "C:\\A\\x.wav";
    List(1, 2).Items[0].FileName = "C:\\A\\x.wav";
    std::int32_t refused = -1;
    // The same file, its path in another case, passes.
    CheckDuplicateTitle(state, "c:\\a\\x.wav", refused, nullptr);
    EXPECT_EQ(refused, 0);
    // Names that differ in case only are different titles.
    CheckDuplicateTitle(state, "D:\\B\\X.wav", refused, nullptr);
    EXPECT_EQ(refused, 0);
    EXPECT_TRUE(boxes.empty());
    CheckDuplicateTitle(state, "D:\\B\\x.wav", refused, nullptr);
    EXPECT_EQ(refused, 1);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], "D:\\B\\x.wav\r\nC:\\A\\x.wav\r\n同一タイトルの素材は使用できません");
}

TEST_F(AssignFixture, SoundLocationsAreCheckedByPrefixIgnoringCase)
{
    std::int32_t allowed = -1;
    CheckSoundPath(state, "E:\\a.wav", 1, allowed, nullptr);
    EXPECT_EQ(allowed, 1);
    state.SoundDriveList = {"D:\\", "\\\\srv\\sound"};
    state.SoundDriveCount = 2;
    CheckSoundPath(state, "d:\\Sounds\\a.wav", 1, allowed, nullptr);
    EXPECT_EQ(allowed, 1);
    CheckSoundPath(state, "\\\\SRV\\Sound\\b.wav", 1, allowed, nullptr);
    EXPECT_EQ(allowed, 1);
    CheckSoundPath(state, "E:\\a.wav", 0, allowed, nullptr);
    EXPECT_EQ(allowed, 0);
    EXPECT_TRUE(boxes.empty());
    CheckSoundPath(state, "E:\\a.wav", 1, allowed, nullptr);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], "Invalid Path.\r\nE:\\a.wav");
}

namespace {

// A 48 kHz mono 16-bit file of the given seconds, with cues.
std::string WaveWithCues(const testsupport::ScratchFolder& scratch, const std::string& name, int seconds,
                         const std::vector<std::pair<std::uint32_t, std::string>>& cues)
{
    testsupport::RiffFileBuilder builder;
    builder.Format(1, 1, 48000, 16)
        .Data(testsupport::Bytes(static_cast<std::size_t>(seconds) * 96000, 0))
        .LabelledCues(cues);
    const std::string path = scratch / name;
    builder.WriteTo(path);
    return path;
}

} // namespace

TEST_F(AssignFixture, CueMarkersGiveThePlayingLength)
{
    const std::string plain = WaveWithCues(scratch, "plain.wav", 3, {{48000, "BC$STANDBY"}});
    WaveInfoRecord info;
    std::int32_t length = -1;
    ReadCueMarkers(plain, info, length);
    EXPECT_EQ(length, 3000); // no cue switch on: the whole file

    parms::PlayerType = 3;
    basic::CueActive[0] = 1;
    ReadCueMarkers(plain, info, length);
    EXPECT_EQ(length, 2000);

    basic::CueActive = {1, 1, 1};
    const std::string marked =
        WaveWithCues(scratch, "marked.wav", 3, {{24000, "bc$standby"}, {96000, "BC$STOP"}, {120000, "BC$END"}});
    ReadCueMarkers(marked, info, length);
    EXPECT_EQ(length, 2000); // the end label wins over the stop label
    ReadCueMarkers(scratch / "missing.wav", info, length);
    EXPECT_EQ(length, 0);
}

TEST_F(AssignFixture, PreReadRefreshesRecordsAndReadsAtMostTheLimit)
{
    const std::string small = scratch.Write("small.bin", "0123456789");
    EXPECT_EQ(PreReadSoundFile(small), 1);
    EXPECT_EQ(PreReadSoundFile(scratch / "missing.wav"), 0);
    EXPECT_EQ(PreReadSoundFile(scratch.Write("empty.wav", "")), 0);

    const std::string wave = WaveWithCues(scratch, "ok.wav", 2, {});
    Button(0, 0, 0).FileName = wave;
    Button(0, 0, 1).FileName = scratch / "missing.wav";
    Button(0, 0, 1).Cached = 1;
    PreReadAll(state, 1);
    EXPECT_EQ(Button(0, 0, 0).Invalid, 0);
    EXPECT_EQ(Button(0, 0, 0).LengthMS, 2000);
    EXPECT_EQ(Button(0, 0, 1).Invalid, 1);
    EXPECT_EQ(Button(0, 0, 1).Cached, 0);
    EXPECT_EQ(state.InvalidIncluded, 1);
    Button(0, 0, 1).FileName.clear();
    PreReadAll(state, 0);
    EXPECT_EQ(state.InvalidIncluded, 0);
}

TEST_F(AssignFixture, PreReadMarksAWaveThePcmBackEndCannotPlayInvalid)
{
    const std::string alaw = scratch / "alaw.wav";
    WriteALawExtensible(alaw);
    const std::string pcmExtensible = scratch / "pcm_ext.wav";
    WritePcmExtensible(pcmExtensible);
    // PCM by its tag, but no channels: out of bounds for every reader.
    const std::string noChannels = scratch / "nochannels.wav";
    testsupport::RiffFileBuilder().Format(1, 0, 48000, 16).Data(testsupport::Bytes(1920, 0)).WriteTo(noChannels);
    const std::string plain = WaveWithCues(scratch, "plain.wav", 1, {});
    Button(0, 0, 0).FileName = alaw;
    Button(0, 0, 1).FileName = pcmExtensible;
    Button(0, 0, 2).FileName = noChannels;
    Button(0, 0, 3).FileName = plain;
    const auto invalidFlags = [this](int playerType) {
        parms::PlayerType = playerType;
        PreReadAll(state, 0);
        std::vector<int> flags;
        for (int b = 0; b < 4; ++b) {
            flags.push_back(Button(0, 0, b).Invalid);
        }
        return flags;
    };
    // waveOut: PCM samples, in a plain or an extensible wave.
    EXPECT_EQ(invalidFlags(3), (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(state.InvalidIncluded, 1);
    // DirectSound: the plain PCM tag only.
    EXPECT_EQ(invalidFlags(0), (std::vector<int>{1, 1, 1, 0}));
    // A graph back-end may decode any file that exists.
    EXPECT_EQ(invalidFlags(2), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(state.InvalidIncluded, 0);
}
