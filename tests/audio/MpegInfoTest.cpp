#include "audio/MpegHeader.h"

#include "support/MpegFileBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

using testsupport::Bytes;
using testsupport::MpegFileBuilder;
using testsupport::MpegFrameSpec;

constexpr MpegFrameSpec Layer3Joint128{1, 3, 128, 44100, 1};

class MpegInfoReading : public testing::Test {
protected:
    std::int32_t Read(const MpegFileBuilder& builder, std::string_view name = "song.mp3")
    {
        const std::string path = folder / name;
        builder.WriteTo(path);
        return FCT_mpeg::GetMpegInfo(path, info, 0);
    }

    testsupport::ScratchFolder folder;
    MpegInfo info;
};

TEST_F(MpegInfoReading, ConstantBitRateLayer3)
{
    MpegFileBuilder builder;
    builder.Frames(Layer3Joint128, 100); // 417 bytes a frame
    ASSERT_EQ(Read(builder), 1);
    EXPECT_EQ(info.ShortText, "mp3(44.1kHz/128kb/JS)");
    EXPECT_EQ(info.LongText, "mp3(44100Hz/128kbps/JointStereo)");
    EXPECT_EQ(info.HeaderPos, 1);
    EXPECT_EQ(info.AudioBytes, 41700);
    EXPECT_EQ(info.EndPos, 41700);
    EXPECT_EQ(info.FileSize, 41700);
    EXPECT_EQ(info.LengthMS, 2606); // 41700 bytes / 16 bytes a ms
    EXPECT_EQ(info.BitRate, 128);
    EXPECT_EQ(info.SampleRate, 44100);
    EXPECT_EQ(info.Layer, 3);
    EXPECT_EQ(info.IsLSF, 0);
    EXPECT_EQ(info.IsVBR, 0);
    EXPECT_EQ(info.Channels, 2);
    EXPECT_EQ(info.ChannelMode, 1);
    EXPECT_EQ(info.BufferBytes, 1254); // 3456 / 44100 s at 128 kbit/s = 1253.9
    const Bytes header = testsupport::MpegFrameHeader(Layer3Joint128);
    EXPECT_EQ(info.HeaderBytes, (std::array<std::uint8_t, 3>{header[1], header[2], header[3]}));
}

TEST_F(MpegInfoReading, ChannelModesLayersAndVersions)
{
    struct Case {
        MpegFrameSpec spec;
        const char* shortText;
        const char* longText;
    };
    const Case cases[] = {
        {{1, 3, 320, 48000, 0}, "mp3(48kHz/320kb/ST)", "mp3(48000Hz/320kbps/Stereo)"},
        {{1, 2, 192, 32000, 2}, "mp2(32kHz/192kb/DC)", "mp2(32000Hz/192kbps/DualChannel)"},
        {{1, 1, 384, 44100, 3}, "mp1(44.1kHz/384kb/Mono)", "mp1(44100Hz/384kbps/Mono)"},
        {{2, 3, 64, 22050, 0}, "mp3(22.05kHz/64kb/ST)", "mp3(22050Hz/64kbps/Stereo)"},
        {{2, 2, 160, 24000, 3}, "mp2(24kHz/160kb/Mono)", "mp2(24000Hz/160kbps/Mono)"},
        {{2, 1, 256, 16000, 1}, "mp1(16kHz/256kb/JS)", "mp1(16000Hz/256kbps/JointStereo)"},
    };
    for (const Case& c : cases) {
        MpegFileBuilder builder;
        builder.Frames(c.spec, 20);
        ASSERT_EQ(Read(builder, "x.mpa"), 1) << c.shortText;
        EXPECT_EQ(info.ShortText, c.shortText);
        EXPECT_EQ(info.LongText, c.longText);
        EXPECT_EQ(info.IsLSF, c.spec.Version == 2 ? 1 : 0);
        EXPECT_EQ(info.Channels, c.spec.Mode == 3 ? 1 : 2);
    }
}

TEST_F(MpegInfoReading, TagsAroundTheFrames)
{
    // An ID3v2 tag of 4096 bytes in all: the first frame follows it.
    MpegFileBuilder builder;
    builder.Id3v2(4086).Frames(Layer3Joint128, 50).TrailingTag();
    ASSERT_EQ(Read(builder), 1);
    EXPECT_EQ(info.HeaderPos, 4097);
    // The trailing 128-byte "TAG" block is not audio.
    EXPECT_EQ(info.AudioBytes, 50 * 417);
    EXPECT_EQ(info.EndPos, 4096 + 50 * 417);
    EXPECT_EQ(info.FileSize, 4096 + 50 * 417 + 128);
    EXPECT_EQ(info.LengthMS, 1303); // 20850 / 16 = 1303.1

    // A file that starts with a "TAG" block: the search starts at byte 128.
    MpegFileBuilder tagFirst;
    tagFirst.TrailingTag().Frames(Layer3Joint128, 5);
    ASSERT_EQ(Read(tagFirst), 1);
    EXPECT_EQ(info.HeaderPos, 129);
}

TEST_F(MpegInfoReading, XingHeaders)
{
    // 1000 frames: the Xing frame, 500 of 320 kbit/s (1044 bytes) and 499 of
    // 32 kbit/s (104 bytes).
    MpegFileBuilder builder;
    builder.XingFrame(Layer3Joint128, 1000).Frames({1, 3, 320, 44100, 1}, 500).Frames({1, 3, 32, 44100, 1}, 499);
    ASSERT_EQ(Read(builder), 1);
    EXPECT_EQ(info.IsVBR, 1);
    EXPECT_EQ(info.VbrFrames, 1000);
    EXPECT_EQ(info.LengthMS, 26122); // 1000 x 1152 samples at 44100 Hz
    EXPECT_EQ(info.BitRate, 176);    // the average: 574,313 bytes x 8 / 26,122 ms = 175.9
    EXPECT_EQ(info.LongText, "mp3(44100Hz/176kbps[VBR]/JointStereo)");
    EXPECT_EQ(info.ShortText, "mp3(44.1kHz/176kb/JS)");

    // Mono and MPEG-2 files carry the Xing header after shorter side
    // information; their frames hold 1152 and 576 samples.
    MpegFileBuilder mono;
    mono.XingFrame({1, 3, 64, 48000, 3}, 500).Frames({1, 3, 64, 48000, 3}, 499);
    ASSERT_EQ(Read(mono), 1);
    EXPECT_EQ(info.IsVBR, 1);
    EXPECT_EQ(info.LengthMS, 12000); // 500 x 1152 / 48000 s

    MpegFileBuilder lsf;
    lsf.XingFrame({2, 3, 64, 22050, 1}, 1000).Frames({2, 3, 64, 22050, 1}, 999);
    ASSERT_EQ(Read(lsf), 1);
    EXPECT_EQ(info.IsVBR, 1);
    EXPECT_EQ(info.IsLSF, 1);
    EXPECT_EQ(info.LengthMS, 26122); // 1000 x 576 samples at 22050 Hz

    MpegFileBuilder lsfMono;
    lsfMono.XingFrame({2, 3, 32, 16000, 3}, 100).Frames({2, 3, 32, 16000, 3}, 99);
    ASSERT_EQ(Read(lsfMono), 1);
    EXPECT_EQ(info.LengthMS, 3600); // 100 x 576 / 16000 s

    // A Xing header counting no frames: constant bit rate.
    MpegFileBuilder noFrames;
    noFrames.XingFrame(Layer3Joint128, 0).Frames(Layer3Joint128, 9);
    ASSERT_EQ(Read(noFrames), 1);
    EXPECT_EQ(info.IsVBR, 0);
    EXPECT_EQ(info.LengthMS, 261); // 4170 / 16 = 260.6
}

TEST_F(MpegInfoReading, HeaderSearch)
{
    // A first "header" with bit-rate index 15 (third byte 0xFF): its second
    // byte becomes the one the real header must have.
    MpegFileBuilder invalidFirst;
    invalidFirst.Raw(Bytes{0xFF, 0xFB, 0xFF, 0x00, 0xFF, 0xF3, 0x90, 0x00, 0x00}).Frames(Layer3Joint128, 5);
    ASSERT_EQ(Read(invalidFirst), 1);
    EXPECT_EQ(info.HeaderPos, 10);

    // Junk before the first frame, with the header across a 1000-byte window
    // boundary.
    MpegFileBuilder junk;
    junk.Raw(Bytes(999, 0x11)).Frames(Layer3Joint128, 5);
    ASSERT_EQ(Read(junk), 1);
    EXPECT_EQ(info.HeaderPos, 1000);

    // 0xFF as second byte is fill in an ".mp3" file, a layer I header elsewhere.
    MpegFileBuilder fill;
    fill.Raw(Bytes{0xFF, 0xFF, 0x90, 0x00}).Frames(Layer3Joint128, 5);
    ASSERT_EQ(Read(fill, "fill.mp3"), 1);
    EXPECT_EQ(info.HeaderPos, 5);
    // Elsewhere it starts a layer I frame (MPEG-1 without CRC); a lone such
    // header ahead of layer III frames is not followed by a frame of its own
    // kind, so it is passed over.
    ASSERT_EQ(Read(fill, "fill.mp1"), 1);
    EXPECT_EQ(info.HeaderPos, 5);
    EXPECT_EQ(info.Layer, 3);
    MpegFileBuilder layer1;
    layer1.Frames({1, 1, 288, 44100, 0}, 5);
    ASSERT_EQ(layer1.Build()[1], 0xFF);
    ASSERT_EQ(Read(layer1, "fill.mp1"), 1);
    EXPECT_EQ(info.HeaderPos, 1);
    EXPECT_EQ(info.Layer, 1);
    EXPECT_EQ(Read(layer1, "fill.mp3"), 0);
}

TEST_F(MpegInfoReading, Failures)
{
    // A whole frame of 48 bytes (layer I, 32 kHz, 32 kbit/s) is the shortest
    // file read; one byte less fails.
    MpegFileBuilder short48;
    short48.Frames({1, 1, 32, 32000, 3}, 1);
    ASSERT_EQ(short48.Size(), 48U);
    EXPECT_EQ(Read(short48, "short.mp1"), 1);
    Bytes bytes = short48.Build();
    bytes.resize(47);
    EXPECT_EQ(Read(MpegFileBuilder().Raw(bytes), "short.mp1"), 0);
    // 48 bytes of a longer frame: a file cut short inside its only frame.
    bytes = MpegFileBuilder().Frames(Layer3Joint128, 1).Build();
    bytes.resize(48);
    EXPECT_EQ(Read(MpegFileBuilder().Raw(bytes)), 0);

    MpegFileBuilder zeros;
    zeros.Raw(Bytes(5000, 0));
    EXPECT_EQ(Read(zeros), 0);
    EXPECT_EQ(info.HeaderPos, 1);
    EXPECT_EQ(info.ShortText, "");

    // MPEG-2.5 is not read.
    MpegFileBuilder mpeg25;
    mpeg25.Raw(Bytes{0xFF, 0xE3, 0x90, 0x40}).Raw(Bytes(500, 0));
    EXPECT_EQ(Read(mpeg25), 0);

    // Free format (bit-rate index 0) and a reserved sample rate.
    MpegFileBuilder freeFormat;
    freeFormat.Raw(Bytes{0xFF, 0xFB, 0x00, 0x40}).Raw(Bytes(500, 0));
    EXPECT_EQ(Read(freeFormat), 0);
    MpegFileBuilder reservedRate;
    reservedRate.Raw(Bytes{0xFF, 0xFB, 0x9C, 0x40}).Raw(Bytes(500, 0));
    EXPECT_EQ(Read(reservedRate), 0);

    EXPECT_EQ(FCT_mpeg::GetMpegInfo((folder / "missing.mp3"), info, 0), 0);
}

TEST(BinStrToLong, DigitsOfZeroAndOne)
{
    EXPECT_EQ(FCT_mpeg::BinStrToLong("101"), 5);
    EXPECT_EQ(FCT_mpeg::BinStrToLong("1x1"), 5);
    EXPECT_EQ(FCT_mpeg::BinStrToLong("0000100000000000"), 2048);
    EXPECT_EQ(FCT_mpeg::BinStrToLong(""), 0);
}

} // namespace
