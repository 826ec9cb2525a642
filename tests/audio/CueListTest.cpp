#include "audio/CueList.h"

#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

using testsupport::Bytes;
using testsupport::RiffFileBuilder;
using CuePoint = RiffFileBuilder::CuePoint;

class CueList : public testing::Test {
protected:
    static RiffFileBuilder Sound()
    {
        RiffFileBuilder builder;
        builder.Format(1, 2, 48000, 16).Data(Bytes(4 * 4800));
        return builder;
    }
    std::int32_t Read(const RiffFileBuilder& builder)
    {
        const std::string path = folder / "cues.wav";
        builder.WriteTo(path);
        return WaveBWFJ::ReadCueList(path, 0, cues);
    }

    testsupport::ScratchFolder folder;
    std::vector<CueRecord> cues;
};

TEST_F(CueList, CuePointsWithPlayListLabelsAndFileData)
{
    RiffFileBuilder builder = Sound();
    builder.Cues({{1, 100}, {2, 2000}, {3, 4000}})
        .PlayList({{2, 500, 3}, {9, 1, 1}})
        .List("INFO", {RiffFileBuilder::SubChunk("INAM", Bytes{'x', 0})})
        .List("adtl", {RiffFileBuilder::Label(1, "BC$STANDBY"), RiffFileBuilder::Label(3, "Outro"),
                       RiffFileBuilder::FileData(2, 0x20, "clip.wav\rmore"), RiffFileBuilder::Label(7, "no cue")});
    ASSERT_EQ(Read(builder), 3);
    ASSERT_EQ(cues.size(), 3U);
    EXPECT_EQ(cues[0].CueID, 1);
    EXPECT_EQ(cues[0].SampleOffset, 100);
    EXPECT_EQ(cues[0].Label, "BC$STANDBY");
    EXPECT_EQ(cues[0].HasFile, 0);
    EXPECT_EQ(cues[1].SampleOffset, 2000);
    EXPECT_EQ(cues[1].PlayLength, 500);
    EXPECT_EQ(cues[1].PlayLoops, 3);
    EXPECT_EQ(cues[1].HasFile, 1);
    EXPECT_EQ(cues[1].MediaType, 0x20);
    EXPECT_EQ(cues[1].FileData, "clip.wav"); // up to the carriage return
    EXPECT_EQ(cues[1].Label, "");
    EXPECT_EQ(cues[2].Label, "Outro");
    EXPECT_EQ(cues[2].PlayLength, 0);
}

TEST_F(CueList, LabelTexts)
{
    // "スタンバイ" in code page 932, a 600-byte text without NUL, and a label
    // overwritten by a later sub-chunk for the same cue.
    const std::string standbyCp932 = "\x83\x58\x83\x5e\x83\x93\x83\x6f\x83\x43";
    const std::string longText(600, 'a');
    RiffFileBuilder builder = Sound();
    builder.Cues({{1, 10}, {2, 20}, {3, 30}})
        .List("adtl", {RiffFileBuilder::Label(1, standbyCp932), RiffFileBuilder::Label(2, longText, false),
                       RiffFileBuilder::Label(3, "first"), RiffFileBuilder::Label(3, "second")});
    ASSERT_EQ(Read(builder), 3);
    EXPECT_EQ(cues[0].Label, "スタンバイ");
    EXPECT_EQ(cues[1].Label, std::string(512, 'a'));
    EXPECT_EQ(cues[2].Label, "second");
}

TEST_F(CueList, OnlyTheFirstAdtlListIsReadAndCuesMatchTheirFirstId)
{
    RiffFileBuilder builder = Sound();
    builder.Cues({{5, 10}, {5, 20}})
        .List("adtl", {RiffFileBuilder::Label(5, "one")})
        .List("adtl", {RiffFileBuilder::Label(5, "two")});
    ASSERT_EQ(Read(builder), 2);
    EXPECT_EQ(cues[0].Label, "one");
    EXPECT_EQ(cues[1].Label, "");
}

TEST_F(CueList, MoreThanAHundredCuePoints)
{
    // Markers placed by an editor can run into hundreds; the standby mark
    // among them must not be lost.
    std::vector<CuePoint> points;
    for (std::uint32_t i = 1; i <= 150; ++i) {
        points.push_back({i, i * 10});
    }
    RiffFileBuilder builder = Sound();
    builder.Cues(points).List("adtl", {RiffFileBuilder::Label(120, "bc$standby")});
    ASSERT_EQ(Read(builder), 150);
    EXPECT_EQ(cues[119].SampleOffset, 1200);
    EXPECT_EQ(cues[119].Label, "bc$standby");
}

TEST_F(CueList, NoCuesGiveZeroAndOneEmptyRecord)
{
    EXPECT_EQ(Read(Sound()), 0);
    ASSERT_EQ(cues.size(), 1U);
    EXPECT_EQ(cues[0].CueID, 0);

    RiffFileBuilder empty = Sound();
    empty.Cues({});
    EXPECT_EQ(Read(empty), 0);
    EXPECT_EQ(cues.size(), 1U);

    // A count the chunk does not hold is a damaged chunk.
    RiffFileBuilder damaged = Sound();
    damaged.CueCount(100000, {{1, 10}});
    EXPECT_EQ(Read(damaged), 0);
    RiffFileBuilder huge = Sound();
    huge.CueCount(0xFFFFFFFF, {{1, 10}});
    EXPECT_EQ(Read(huge), 0);

    // Under 50 bytes, and no file.
    testsupport::WriteFile((folder / "small.wav"), RiffFileBuilder().Cues({{1, 1}}).Build());
    EXPECT_EQ(WaveBWFJ::ReadCueList((folder / "small.wav"), 0, cues), 0);
    EXPECT_EQ(WaveBWFJ::ReadCueList((folder / "missing.wav"), 0, cues), 0);
    EXPECT_EQ(cues.size(), 1U);
}

TEST_F(CueList, AnEmptyChunkBeforeTheCuesDoesNotHideThem)
{
    RiffFileBuilder builder;
    builder.Format(1, 2, 48000, 16).Chunk("junk", {}).Data(Bytes(400)).Cues({{1, 96000}});
    ASSERT_EQ(Read(builder), 1);
    EXPECT_EQ(cues[0].SampleOffset, 96000);
}

TEST_F(CueList, DamagedListsLeaveOnlyTheLabelsEmpty)
{
    // A label whose size runs past the end of the file.
    Bytes label;
    testsupport::PutText(label, "labl");
    testsupport::PutU32(label, 5000);
    testsupport::PutU32(label, 1);
    testsupport::PutText(label, "cut");
    RiffFileBuilder builder = Sound();
    builder.Cues({{1, 10}}).ChunkWithSize("LIST", 4 + static_cast<std::uint32_t>(label.size()), [&] {
        Bytes body{'a', 'd', 't', 'l'};
        body.insert(body.end(), label.begin(), label.end());
        return body;
    }());
    ASSERT_EQ(Read(builder), 1);
    EXPECT_EQ(cues[0].SampleOffset, 10);
    EXPECT_EQ(cues[0].Label, "");

    // A "file" sub-chunk of 7 bytes has no data after its media type.
    Bytes shortFile{1, 0, 0, 0, 5, 0, 0};
    RiffFileBuilder withShortFile = Sound();
    withShortFile.Cues({{1, 10}}).List(
        "adtl", {RiffFileBuilder::SubChunk("file", shortFile), RiffFileBuilder::Label(1, "after")});
    ASSERT_EQ(Read(withShortFile), 1);
    EXPECT_EQ(cues[0].HasFile, 1);
    EXPECT_EQ(cues[0].FileData, "");
    EXPECT_EQ(cues[0].Label, "after");
}

} // namespace
