#include "audio/AudioInfoText.h"
#include "audio/CueList.h"
#include "audio/MpegHeader.h"
#include "audio/WaveHeader.h"

#include "support/MpegFileBuilder.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

using testsupport::Bytes;
using testsupport::RiffFileBuilder;

// Files from shared servers and other programs may be damaged in any way.
// Thousands of seeded mutations of well-formed files go through every reader;
// under AddressSanitizer a read outside a buffer or the file fails the run.
class CorruptFiles : public testing::Test {
protected:
    static std::vector<Bytes> Seeds()
    {
        std::vector<Bytes> seeds;
        std::vector<RiffFileBuilder::CuePoint> points;
        std::vector<Bytes> labels;
        for (std::uint32_t id = 1; id <= 6; ++id) {
            points.push_back({id, id * 1000});
            labels.push_back(RiffFileBuilder::Label(id, id == 1 ? "BC$STANDBY" : "\x83\x58\x83\x5e"));
        }
        labels.push_back(RiffFileBuilder::FileData(2, 7, "a.wav\rb"));
        seeds.push_back(RiffFileBuilder()
                            .Format(1, 2, 44100, 16)
                            .Chunk("odd ", Bytes(3, 1))
                            .Data(Bytes(400, 0))
                            .Cues(points)
                            .PlayList({{1, 10, 1}, {3, 20, 2}})
                            .List("INFO", {RiffFileBuilder::SubChunk("INAM", Bytes{'n', 0})})
                            .List("adtl", labels)
                            .Build());
        seeds.push_back(RiffFileBuilder().Data(Bytes(96, 0)).FormatExtensible(6, 48000, 24).Cues({{1, 5}}).Build());
        Bytes frames = testsupport::MpegFileBuilder().Frames({1, 3, 128, 44100, 1}, 3).Build();
        seeds.push_back(RiffFileBuilder().Format(0x55, 2, 44100, 0).Data(frames).Build());
        seeds.push_back(testsupport::MpegFileBuilder()
                            .Id3v2(64)
                            .XingFrame({1, 3, 128, 44100, 1}, 100)
                            .Frames({1, 3, 128, 44100, 1}, 3)
                            .TrailingTag()
                            .Build());
        seeds.push_back(
            testsupport::MpegFileBuilder().XingFrame({2, 3, 32, 16000, 3}, 9).Frames({2, 3, 32, 16000, 3}, 2).Build());
        return seeds;
    }

    static void Mutate(Bytes& bytes, std::mt19937& random)
    {
        auto pick = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
        const int edits = 1 + static_cast<int>(pick(4));
        for (int e = 0; e < edits && !bytes.empty(); ++e) {
            switch (pick(5)) {
            case 0: // flip a byte
                bytes[pick(bytes.size())] = static_cast<std::uint8_t>(random());
                break;
            case 1: { // a 32-bit field set to an extreme or a near-size value
                if (bytes.size() < 4) {
                    break;
                }
                const std::uint32_t values[] = {0,
                                                1,
                                                0xFFFFFFFF,
                                                0x7FFFFFFF,
                                                0x80000000,
                                                static_cast<std::uint32_t>(bytes.size()),
                                                static_cast<std::uint32_t>(bytes.size() + 1),
                                                101,
                                                65537};
                const std::uint32_t value = values[pick(std::size(values))];
                const std::size_t at = pick(bytes.size() - 3);
                for (int i = 0; i < 4; ++i) {
                    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
                }
                break;
            }
            case 2: // truncate
                bytes.resize(pick(bytes.size() + 1));
                break;
            case 3: { // duplicate a slice somewhere else
                const std::size_t from = pick(bytes.size());
                const std::size_t length = std::min<std::size_t>(pick(64) + 1, bytes.size() - from);
                const Bytes slice(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                  bytes.begin() + static_cast<std::ptrdiff_t>(from + length));
                bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(pick(bytes.size() + 1)), slice.begin(),
                             slice.end());
                break;
            }
            default: // a run of 0xFF, as sync bytes
                for (std::size_t i = pick(bytes.size()), n = pick(6); n > 0 && i < bytes.size(); ++i, --n) {
                    bytes[i] = 0xFF;
                }
                break;
            }
        }
    }

    testsupport::ScratchFolder folder;
};

TEST_F(CorruptFiles, ReadersNeverReadOutsideTheFileOrTheirBuffers)
{
    const std::vector<Bytes> seeds = Seeds();
    std::mt19937 random(20240607);
    const char* const names[] = {"x.wav", "x.mp3", "x.mp2"};
    constexpr int Rounds = 4000;
    int validHeaders = 0;
    int cueLists = 0;
    int mpegHeaders = 0;
    std::vector<CueRecord> cues;
    MpegInfo mpeg;
    for (int round = 0; round < Rounds; ++round) {
        Bytes bytes = seeds[static_cast<std::size_t>(round) % seeds.size()];
        Mutate(bytes, random);
        const std::string path = folder / names[static_cast<std::size_t>(round) % std::size(names)];
        testsupport::WriteFile(path, bytes);

        const WaveInfoRecord info = WaveMMIO::ReadWaveHeader(path, 0);
        if (info.Valid == 1) {
            ++validHeaders;
            ASSERT_GE(info.DataOffset, 12);
            ASSERT_LE(info.DataOffset + info.DataSize, static_cast<std::int64_t>(bytes.size()));
            ASSERT_GT(info.SampleRate, 0);
            ASSERT_GE(info.Frames, 0);
            ASSERT_GE(info.LengthMS, 0);
        }
        const std::int32_t count = WaveBWFJ::ReadCueList(path, 0, cues);
        ASSERT_GE(count, 0);
        cueLists += count > 0 ? 1 : 0;
        ASSERT_EQ(cues.size(), count == 0 ? 1U : static_cast<std::size_t>(count));
        for (const CueRecord& cue : cues) {
            ASSERT_LE(cue.Label.size(), 512U * 3); // 512 bytes at most, decoded
        }
        if (FCT_mpeg::GetMpegInfo(path, mpeg, 0) == 1) {
            ++mpegHeaders;
            ASSERT_GT(mpeg.SampleRate, 0);
            ASSERT_GE(mpeg.HeaderPos, 1);
            ASSERT_LE(mpeg.EndPos, static_cast<std::int64_t>(bytes.size()));
        }
        FCT_AudioInf::GetAudioInfoText(path, 0, round % 2, round % 3 == 0 ? 1 : 0);
    }
    // The mutations leave enough files readable that every reader runs deep.
    std::printf("valid headers %d, cue lists %d, MPEG headers %d of %d\n", validHeaders, cueLists, mpegHeaders, Rounds);
    EXPECT_GT(validHeaders, Rounds / 10);
    EXPECT_GT(cueLists, Rounds / 20);
    EXPECT_GT(mpegHeaders, Rounds / 10);
}

} // namespace
