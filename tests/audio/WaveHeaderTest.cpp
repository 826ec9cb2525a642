#include "audio/WaveHeader.h"
#include "audio/CueList.h"
#include "audio/MpegHeader.h"
#include "audio/SoundFileSource.h"
#include "foundation/FileAccess.h"

#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using testsupport::Bytes;
using testsupport::RiffFileBuilder;

class WaveHeader : public testing::Test {
protected:
    std::string Write(const RiffFileBuilder& builder, std::string_view name = "sound.wav")
    {
        const std::string path = folder / name;
        builder.WriteTo(path);
        return path;
    }
    WaveInfoRecord Read(const RiffFileBuilder& builder) { return WaveMMIO::ReadWaveHeader(Write(builder), 0); }

    testsupport::ScratchFolder folder;
};

TEST_F(WaveHeader, CanonicalPcmFile)
{
    // One second of 16-bit stereo at 44100 Hz behind the 44-byte header.
    const WaveInfoRecord info = Read(RiffFileBuilder().Format(1, 2, 44100, 16).Data(Bytes(176400)));
    EXPECT_EQ(info.Valid, 1);
    EXPECT_EQ(info.DataOffset, 44);
    EXPECT_EQ(info.BlockAlign, 4);
    EXPECT_EQ(info.FormatCode, 3);
    EXPECT_EQ(info.Frames, 44100);
    EXPECT_EQ(info.LengthMS, 1000);
    EXPECT_EQ(info.DataSize, 176400);
    EXPECT_EQ(info.FileSize, 176444);
    EXPECT_EQ(info.SampleRate, 44100);
    EXPECT_EQ(info.Bits, 16);
    EXPECT_EQ(info.Channels, 2);
    EXPECT_EQ(info.FormatTag, 1);
}

TEST_F(WaveHeader, FormatCodeOfEveryPlayableChannelAndBitPair)
{
    struct Case {
        int channels, bits, code;
    };
    const Case cases[] = {{1, 8, 0},  {2, 8, 1},  {1, 16, 2}, {2, 16, 3}, {1, 24, 4},
                          {2, 24, 5}, {6, 16, 6}, {8, 16, 7}, {6, 24, 8}, {8, 24, 9}};
    for (const Case& c : cases) {
        const int frameBytes = c.channels * c.bits / 8;
        const WaveInfoRecord info =
            Read(RiffFileBuilder().Format(1, c.channels, 48000, c.bits).Data(Bytes(480 * frameBytes)));
        EXPECT_EQ(info.Valid, 1) << c.channels << "ch " << c.bits << "bit";
        EXPECT_EQ(info.FormatCode, c.code) << c.channels << "ch " << c.bits << "bit";
        EXPECT_EQ(info.BlockAlign, frameBytes);
        EXPECT_EQ(info.Frames, 480);
        EXPECT_EQ(info.LengthMS, 10);
    }
}

TEST_F(WaveHeader, UnplayableFormatsAreInvalidButKeepTheirFields)
{
    struct Case {
        int channels, bits;
    };
    for (const Case c :
         {Case{3, 16}, Case{4, 16}, Case{5, 24}, Case{7, 16}, Case{2, 32}, Case{6, 8}, Case{8, 8}, Case{9, 16}}) {
        const WaveInfoRecord info = Read(RiffFileBuilder().Format(1, c.channels, 48000, c.bits).Data(Bytes(64)));
        EXPECT_EQ(info.Valid, 0) << c.channels << "ch " << c.bits << "bit";
        EXPECT_EQ(info.Channels, c.channels);
        EXPECT_EQ(info.Bits, c.bits);
        EXPECT_EQ(info.SampleRate, 48000);
        EXPECT_EQ(info.FormatTag, 1);
        EXPECT_EQ(info.BlockAlign, c.channels * c.bits / 8);
        EXPECT_EQ(info.Frames, 0);
    }
}

TEST_F(WaveHeader, ChunkOrderPaddingAndEmptyChunks)
{
    // Data ahead of the format.
    WaveInfoRecord info = Read(RiffFileBuilder().Data(Bytes(4000)).Format(1, 1, 8000, 8));
    EXPECT_EQ(info.Valid, 1);
    EXPECT_EQ(info.DataOffset, 20);
    EXPECT_EQ(info.Frames, 4000);
    EXPECT_EQ(info.LengthMS, 500);

    // A 5-byte chunk of another kind: the walk steps over its pad byte too.
    info = Read(RiffFileBuilder().Format(1, 2, 48000, 16).Chunk("odd ", Bytes(5, 0xAA)).Data(Bytes(19200)));
    EXPECT_EQ(info.Valid, 1);
    EXPECT_EQ(info.DataOffset, 36 + 14 + 8);
    EXPECT_EQ(info.LengthMS, 100);

    // A legal chunk of size 0 does not hide the data chunk behind it.
    info = Read(RiffFileBuilder().Format(1, 2, 48000, 16).Chunk("junk", {}).Data(Bytes(19200)));
    EXPECT_EQ(info.Valid, 1);
    EXPECT_EQ(info.DataOffset, 36 + 8 + 8);
}

TEST_F(WaveHeader, ExtensibleIsValidButPlayableOnlyWhenAllowed)
{
    const std::string path = Write(RiffFileBuilder().FormatExtensible(6, 48000, 24).Data(Bytes(18 * 480)));
    const WaveInfoRecord info = WaveMMIO::ReadWaveHeader(path, 0);
    EXPECT_EQ(info.Valid, 1);
    EXPECT_EQ(info.FormatTag, -2);
    EXPECT_EQ(info.FormatCode, 8);
    EXPECT_EQ(info.DataOffset, 12 + 48 + 8);
    EXPECT_EQ(WaveMMIO::IsPlayableWave(path, 0, 0), 0);
    EXPECT_EQ(WaveMMIO::IsPlayableWave(path, 0, 1), 1);

    const std::string pcm = Write(RiffFileBuilder().Format(1, 2, 44100, 16).Data(Bytes(400)), "pcm.wav");
    EXPECT_EQ(WaveMMIO::IsPlayableWave(pcm, 0, 0), 1);
    const std::string adpcm = Write(RiffFileBuilder().Format(2, 2, 44100, 16).Data(Bytes(400)), "adpcm.wav");
    EXPECT_EQ(WaveMMIO::IsPlayableWave(adpcm, 0, 1), 0);
}

TEST_F(WaveHeader, DataSizeCountsOnlyWhatTheFileHolds)
{
    // A recorder's placeholder size, or a truncated copy: 1000 bytes held.
    WaveInfoRecord info = Read(RiffFileBuilder().Format(1, 2, 44100, 16).DataDeclared(0xFFFFFFFF, 1000));
    EXPECT_EQ(info.Valid, 1);
    EXPECT_EQ(info.DataSize, 1000);
    EXPECT_EQ(info.Frames, 250);
    EXPECT_EQ(info.LengthMS, 6); // 250 / 44100 s = 5.67 ms

    // The size field lies right after the data identifier, with nothing behind.
    info = Read(RiffFileBuilder().Format(1, 2, 44100, 16).DataDeclared(176400, 0));
    EXPECT_EQ(info.Valid, 1);
    EXPECT_EQ(info.DataSize, 0);
    EXPECT_EQ(info.Frames, 0);
    EXPECT_EQ(info.LengthMS, 0);
}

TEST_F(WaveHeader, AFileReallyHolding4GBKeepsTheFrameLimit)
{
    // 8-bit mono, data size 4 GB - 1 read as unsigned: the frames stop at the
    // largest Long. The file is sparse, so it costs no disk space.
    const std::string path = Write(RiffFileBuilder().Format(1, 1, 44100, 8).DataDeclared(0xFFFFFFFF, 0));
    ASSERT_EQ(truncate(path.c_str(), 44 + 0xFFFFFFFFLL), 0);
    const WaveInfoRecord info = WaveMMIO::ReadWaveHeader(path, 0);
    EXPECT_EQ(info.Valid, 1);
    EXPECT_EQ(info.DataSize, 0xFFFFFFFFLL);
    EXPECT_EQ(info.FileSize, 44 + 0xFFFFFFFFLL);
    EXPECT_EQ(info.Frames, 2'147'483'647);
    EXPECT_EQ(info.LengthMS, 48'695'774); // 2,147,483,647 / 44100 s
}

TEST_F(WaveHeader, UnusableFilesGiveValidZero)
{
    // A sample rate of 0 gives no length, and callers divide by the rate.
    EXPECT_EQ(Read(RiffFileBuilder().Format(1, 2, 0, 16).Data(Bytes(400))).Valid, 0);
    // Format or data missing.
    EXPECT_EQ(Read(RiffFileBuilder().Format(1, 2, 44100, 16)).Valid, 0);
    EXPECT_EQ(Read(RiffFileBuilder().Data(Bytes(400))).Valid, 0);
    // A format chunk cut short.
    EXPECT_EQ(Read(RiffFileBuilder().ChunkWithSize("fmt ", 16, Bytes{1, 0, 2, 0})).Valid, 0);
    // Shorter than 16 bytes, and no file at all.
    const std::string tiny = folder / "tiny.wav";
    testsupport::WriteFile(tiny, Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a'});
    EXPECT_EQ(WaveMMIO::ReadWaveHeader(tiny, 0).Valid, 0);
    EXPECT_EQ(WaveMMIO::ReadWaveHeader((folder / "missing.wav"), 0).Valid, 0);
}

TEST_F(WaveHeader, FileTypeByFormatTag)
{
    // An MPEG stream in a RIFF wrapper has 0 bits: not a valid wave, but its
    // tag still names the decoder.
    const std::string mp3 = Write(RiffFileBuilder().Format(0x55, 2, 44100, 0).Data(Bytes(400)), "a.wav");
    EXPECT_EQ(WaveMMIO::ReadWaveHeader(mp3, 0).Valid, 0);
    EXPECT_EQ(WaveMMIO::FileTypeByFormatTag(mp3), "mp3");
    EXPECT_EQ(WaveMMIO::FileTypeByFormatTag(Write(RiffFileBuilder().Format(0x50, 2, 44100, 0), "b.wav")), "mp2");
    EXPECT_EQ(WaveMMIO::FileTypeByFormatTag(Write(RiffFileBuilder().Format(0x160, 2, 44100, 16), "c.wav")), "wmariff");
    EXPECT_EQ(WaveMMIO::FileTypeByFormatTag(Write(RiffFileBuilder().Format(0x161, 2, 44100, 16), "d.wav")), "wmariff");
    EXPECT_EQ(WaveMMIO::FileTypeByFormatTag(Write(RiffFileBuilder().Format(1, 2, 44100, 16), "e.wave")), "wav");
    // Any other tag, or no format chunk: the extension in lower case.
    EXPECT_EQ(WaveMMIO::FileTypeByFormatTag(Write(RiffFileBuilder().Format(2, 2, 44100, 4), "f.WAV")), "wav");
    EXPECT_EQ(WaveMMIO::FileTypeByFormatTag(Write(RiffFileBuilder().Data(Bytes(4)), "g.Aiff")), "aiff");
    EXPECT_EQ(WaveMMIO::FileTypeByFormatTag((folder / "missing.MP3")), "mp3");
}

TEST_F(WaveHeader, FindChunkCountsMatchesAndStepsOverEmptyChunks)
{
    const std::string path = Write(RiffFileBuilder()
                                       .Format(1, 2, 44100, 16)
                                       .Chunk("LIST", Bytes{'I', 'N', 'F', 'O'})
                                       .Chunk("junk", {})
                                       .Data(Bytes(3))
                                       .Chunk("LIST", Bytes{'a', 'd', 't', 'l'}));
    const std::uint32_t list = audiofile::FourCC("LIST");
    EXPECT_EQ(WaveMMIO::FindChunk(path, 0, audiofile::FourCC("fmt "), 0), 12);
    EXPECT_EQ(WaveMMIO::FindChunk(path, 0, list, 0), 36);
    EXPECT_EQ(WaveMMIO::FindChunk(path, 0, audiofile::FourCC("data"), 0), 36 + 12 + 8);
    EXPECT_EQ(WaveMMIO::FindChunk(path, 0, list, 1), 36 + 12 + 8 + 12); // after the data's pad byte
    EXPECT_EQ(WaveMMIO::FindChunk(path, 0, list, 2), -1);
    EXPECT_EQ(WaveMMIO::FindChunk(path, 0, audiofile::FourCC("cue "), 0), -1);
    EXPECT_EQ(WaveMMIO::FindChunk((folder / "missing.wav"), 0, list, 0), -1);
}

TEST_F(WaveHeader, ACallersHandleStaysOpenAndOwnHandlesAreClosed)
{
    const std::string path = Write(RiffFileBuilder().Format(1, 2, 44100, 16).Data(Bytes(400)).Cues({{1, 7}}));
    int handle = basic::OpenFileHandle(path, basic::OpenForRead, 0);
    ASSERT_NE(handle, 0);
    const int open = testsupport::OpenDescriptorCount();
    EXPECT_EQ(WaveMMIO::ReadWaveHeader(path, handle).Valid, 1);
    EXPECT_EQ(WaveMMIO::FindChunk(path, handle, audiofile::FourCC("data"), 0), 36);
    EXPECT_EQ(WaveMMIO::IsPlayableWave(path, handle, 0), 1);
    std::vector<CueRecord> cues;
    EXPECT_EQ(WaveBWFJ::ReadCueList(path, handle, cues), 1);
    MpegInfo mpeg;
    EXPECT_EQ(FCT_mpeg::GetMpegInfo(path, mpeg, handle), 0);
    EXPECT_EQ(basic::GetFileSizeByHandle(handle), 36 + 408 + 36) << "the caller's handle was closed";

    // Opened here: closed again on success and on failure alike.
    EXPECT_EQ(WaveMMIO::ReadWaveHeader(path, 0).Valid, 1);
    EXPECT_EQ(WaveBWFJ::ReadCueList(path, 0, cues), 1);
    EXPECT_EQ(FCT_mpeg::GetMpegInfo(path, mpeg, 0), 0);
    EXPECT_EQ(WaveMMIO::FindChunk(path, 0, audiofile::FourCC("none"), 0), -1);
    EXPECT_EQ(WaveMMIO::FileTypeByFormatTag(path), "wav");
    EXPECT_EQ(testsupport::OpenDescriptorCount(), open);
    basic::CloseFileHandle(handle);
}

} // namespace
