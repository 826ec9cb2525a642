#include "audio/MpegHeader.h"

#include "support/MpegFileBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using testsupport::Bytes;
using testsupport::MpegFileBuilder;
using testsupport::MpegFrameSpec;

constexpr MpegFrameSpec Layer3Joint128{1, 3, 128, 44100, 1}; // 417-byte frames

// A header that is not a frame of the file: MPEG-1 layer I at 32 kHz and
// 32 kbit/s (48-byte frames), as stray bytes in tags and junk happen to read.
const Bytes FalseLayer1Sync{0xFF, 0xFE, 0x18, 0x00};

// Real files carry bytes ahead of the audio that look like frame headers.
// The first frame is the first header followed by another of its kind where
// its frame ends; everything the reader says follows from that frame.
class MpegFrameSearch : public testing::Test {
protected:
    std::int32_t Read(const MpegFileBuilder& builder, std::string_view name = "song.mp3")
    {
        const std::string path = folder / name;
        builder.WriteTo(path);
        return FCT_mpeg::GetMpegInfo(path, info, 0);
    }

    // The facts of a layer III, 44.1 kHz, 128 kbit/s joint-stereo stream of
    // frames 417-byte frames starting at offset.
    void ExpectLayer3Stream(std::int64_t offset, int frames)
    {
        EXPECT_EQ(info.HeaderPos, offset + 1);
        EXPECT_EQ(info.Layer, 3);
        EXPECT_EQ(info.IsLSF, 0);
        EXPECT_EQ(info.SampleRate, 44100);
        EXPECT_EQ(info.BitRate, 128);
        EXPECT_EQ(info.ChannelMode, 1);
        EXPECT_EQ(info.AudioBytes, frames * 417);
        // 16 bytes a millisecond at 128 kbit/s.
        EXPECT_NEAR(info.LengthMS, frames * 417 / 16.0, 0.5);
        EXPECT_EQ(info.ShortText, "mp3(44.1kHz/128kb/JS)");
    }

    static Bytes TagBodyWithFalseSyncs(std::size_t bytes)
    {
        Bytes body(bytes, 0);
        for (std::size_t at = 40; at + 4 < bytes; at += 97) {
            std::copy(FalseLayer1Sync.begin(), FalseLayer1Sync.end(), body.begin() + static_cast<std::ptrdiff_t>(at));
        }
        return body;
    }

    testsupport::ScratchFolder folder;
    MpegInfo info;
};

TEST_F(MpegFrameSearch, EveryLeadingId3v2TagIsSkipped)
{
    // A tagger that put a new tag in front of an old one; the second tag holds
    // bytes that read as a layer I header.
    MpegFileBuilder builder;
    builder.Id3v2(300).Id3v2Holding(TagBodyWithFalseSyncs(500)).Frames(Layer3Joint128, 40);
    ASSERT_EQ(Read(builder), 1);
    ExpectLayer3Stream(310 + 510, 40);

    // Three tags, the last with a footer (10 more bytes after its body).
    Bytes footerTag{'I', 'D', '3', 4, 0, 0x10, 0, 0, 0, 20};
    footerTag.resize(10 + 20 + 10, 0);
    std::copy(FalseLayer1Sync.begin(), FalseLayer1Sync.end(), footerTag.begin() + 12);
    MpegFileBuilder three;
    three.Id3v2(64).Id3v2Holding(TagBodyWithFalseSyncs(200)).Raw(footerTag).Frames(Layer3Joint128, 10);
    ASSERT_EQ(Read(three), 1);
    ExpectLayer3Stream(74 + 210 + 40, 10);
}

TEST_F(MpegFrameSearch, AFalseSyncInTagPaddingIsPassedOver)
{
    // Padding the tag's size does not count, with stray syncs in it.
    MpegFileBuilder builder;
    builder.Id3v2(100).Raw(TagBodyWithFalseSyncs(600)).Frames(Layer3Joint128, 30);
    ASSERT_EQ(Read(builder), 1);
    ExpectLayer3Stream(110 + 600, 30);
}

TEST_F(MpegFrameSearch, JunkBeforeTheFirstFrameIsPassedOver)
{
    // Junk full of plausible headers: the real one of this stream, the false
    // layer I one, and an MPEG-2 one, at spacings that match none of them.
    std::mt19937 random(43);
    Bytes junk(3000);
    for (std::uint8_t& byte : junk) {
        byte = static_cast<std::uint8_t>(random() & 0x7F);
    }
    const Bytes layer3 = testsupport::MpegFrameHeader(Layer3Joint128);
    const Bytes mpeg2 = testsupport::MpegFrameHeader({2, 2, 64, 22050, 0});
    for (std::size_t at = 5; at + 4 < junk.size(); at += 131) {
        const Bytes& header = at % 3 == 0 ? layer3 : at % 3 == 1 ? FalseLayer1Sync : mpeg2;
        std::copy(header.begin(), header.end(), junk.begin() + static_cast<std::ptrdiff_t>(at));
    }
    MpegFileBuilder builder;
    builder.Raw(junk).Frames(Layer3Joint128, 25);
    ASSERT_EQ(Read(builder, "junk.mp3"), 1);
    ExpectLayer3Stream(3000, 25);

    // The same behind a tag and before a trailing "TAG" block.
    MpegFileBuilder tagged;
    tagged.Id3v2(200).Raw(junk).Frames(Layer3Joint128, 25).TrailingTag();
    ASSERT_EQ(Read(tagged, "junk.mp3"), 1);
    ExpectLayer3Stream(210 + 3000, 25);
}

TEST_F(MpegFrameSearch, AFrameMustBeFollowedByOneOfItsKindOrTheEnd)
{
    // A lone header of another layer before the stream is not its start.
    MpegFileBuilder lone;
    lone.Raw(FalseLayer1Sync).Raw(Bytes(44, 0)).Frames(Layer3Joint128, 8);
    ASSERT_EQ(Read(lone), 1);
    ExpectLayer3Stream(48, 8);

    // A stream of one frame ends where the frame does, or where the trailing
    // "TAG" block begins.
    MpegFileBuilder single;
    single.Frames(Layer3Joint128, 1);
    ASSERT_EQ(Read(single), 1);
    ExpectLayer3Stream(0, 1);
    MpegFileBuilder singleTagged;
    singleTagged.Frames(Layer3Joint128, 1).TrailingTag();
    ASSERT_EQ(Read(singleTagged), 1);
    ExpectLayer3Stream(0, 1);

    // A file cut short inside its only frame, or with bytes after it that
    // are no frame, holds no stream.
    Bytes cut = single.Build();
    cut.resize(300);
    EXPECT_EQ(Read(MpegFileBuilder().Raw(cut)), 0);
    EXPECT_EQ(Read(MpegFileBuilder().Frames(Layer3Joint128, 1).Raw(Bytes(2, 0))), 0);

    // A frame followed by one of another rate is not confirmed; the search
    // goes on, and nothing else is found.
    MpegFileBuilder mixed;
    mixed.Frames(Layer3Joint128, 1).Frames({1, 3, 128, 48000, 1}, 1).Raw(Bytes(500, 0));
    EXPECT_EQ(Read(mixed), 0);

    // A padded frame is one byte longer: its follower is found there.
    Bytes padded = testsupport::MpegFrameHeader(Layer3Joint128);
    padded[2] |= 0x02;
    padded.resize(418, 0);
    MpegFileBuilder withPadding;
    withPadding.Raw(padded).Frames(Layer3Joint128, 4);
    ASSERT_EQ(Read(withPadding), 1);
    EXPECT_EQ(info.HeaderPos, 1);
    EXPECT_EQ(info.AudioBytes, 418 + 4 * 417);
}

TEST_F(MpegFrameSearch, ALookAlikeWithAnInvalidBitRateOnlyStatesAPreference)
{
    // Junk ending in 0xFF 0xFC right before the stream: with the stream's
    // first 0xFF it reads as a header of bit-rate index 15 whose second byte
    // is not the stream's.
    Bytes junk(1500);
    std::mt19937 random(7);
    for (std::uint8_t& byte : junk) {
        byte = static_cast<std::uint8_t>(random() & 0x7F);
    }
    junk.insert(junk.end(), {0xFF, 0xFC});
    MpegFileBuilder builder;
    builder.Raw(junk).Frames(Layer3Joint128, 12);
    ASSERT_EQ(Read(builder), 1);
    ExpectLayer3Stream(1502, 12);
    ASSERT_EQ(Read(builder, "junk.mp2"), 1);
    ExpectLayer3Stream(1502, 12);

    // A stream of the look-alike's second byte is still taken before one of
    // another that comes first.
    const MpegFrameSpec mpeg2{2, 3, 64, 22050, 0};
    MpegFileBuilder preferred;
    preferred.Raw({0xFF, 0xFB, 0xFF, 0x00}).Frames(mpeg2, 3).Frames(Layer3Joint128, 6);
    ASSERT_EQ(Read(preferred), 1);
    ExpectLayer3Stream(4 + 3 * static_cast<std::int64_t>(testsupport::MpegFrameBytes(mpeg2)), 6);
}

TEST_F(MpegFrameSearch, AnUnknownStreamIsNotReadAsTheLookAlikeNearItsEnd)
{
    // An MPEG-2.5 stream (8 kHz, which the reader does not know), whose last
    // frame holds an MPEG-1 header 192 bytes before the end: 12 ms of a sound
    // whose frame would run 225 bytes past the end of the file.
    MpegFileBuilder builder;
    builder.Frames({25, 3, 32, 8000, 0}, 20);
    Bytes bytes = builder.Build();
    const Bytes lookAlike = testsupport::MpegFrameHeader(Layer3Joint128);
    std::copy(lookAlike.begin(), lookAlike.end(), bytes.end() - 192);
    EXPECT_EQ(Read(MpegFileBuilder().Raw(bytes), "cart.mp3"), 0);
    EXPECT_EQ(Read(MpegFileBuilder().Raw(bytes).TrailingTag(), "cart.mp3"), 0);
}

TEST_F(MpegFrameSearch, FrameCountHeaders)
{
    // "Info": the frame count of a constant-bit-rate file; the bit rate is
    // the frame header's and the file is not variable.
    MpegFileBuilder infoFile;
    infoFile.FrameCountFrame(Layer3Joint128, 1000, "Info").Frames(Layer3Joint128, 999);
    ASSERT_EQ(Read(infoFile), 1);
    EXPECT_EQ(info.IsVBR, 0);
    EXPECT_EQ(info.VbrFrames, 1000);
    EXPECT_EQ(info.LengthMS, 26122); // 1000 x 1152 samples at 44100 Hz
    EXPECT_EQ(info.BitRate, 128);
    EXPECT_EQ(info.LongText, "mp3(44100Hz/128kbps/JointStereo)");

    // "VBRI", 32 bytes after the frame header whatever the side information.
    MpegFileBuilder vbri;
    vbri.FrameCountFrame({1, 3, 128, 48000, 3}, 500, "VBRI").Frames({1, 3, 128, 48000, 3}, 499);
    ASSERT_EQ(Read(vbri), 1);
    EXPECT_EQ(info.IsVBR, 1);
    EXPECT_EQ(info.VbrFrames, 500);
    EXPECT_EQ(info.LengthMS, 12000); // 500 x 1152 / 48000 s
    EXPECT_NE(info.LongText.find("[VBR]/Mono)"), std::string::npos) << info.LongText;

    // A Xing header in a false first frame counts for nothing: the frame that
    // carries it must be the stream's.
    MpegFileBuilder falseXing;
    falseXing.FrameCountFrame({1, 3, 128, 48000, 1}, 9999, "Xing").Raw(Bytes(3, 0)).Frames(Layer3Joint128, 10);
    ASSERT_EQ(Read(falseXing), 1);
    EXPECT_EQ(info.IsVBR, 0);
    EXPECT_EQ(info.SampleRate, 44100);
    EXPECT_EQ(info.HeaderPos, 384 + 3 + 1); // after the 384-byte 48 kHz frame
}

} // namespace
