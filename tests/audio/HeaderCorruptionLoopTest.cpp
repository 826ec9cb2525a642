#include "AllocationMeter.h"
#include "WaveOutFixture.h"

#include "audio/AudioInfoText.h"
#include "audio/C_DSound.h"
#include "audio/MpegHeader.h"
#include "audio/WaveHeader.h"
#include "support/MpegFileBuilder.h"
#include "support/RiffFileBuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace {

using testsupport::Bytes;
using testsupport::MpegFileBuilder;
using testsupport::RiffFileBuilder;

// Seeded cases per kind of input: enough to reach every field's extremes,
// few enough for the normal test run.
constexpr int CasesPerKind = 500;
constexpr std::int64_t MemoryBound = 200'000'000;

void PutLittleEndian(Bytes& bytes, std::size_t at, std::uint32_t value, int width)
{
    for (int i = 0; i < width && at + static_cast<std::size_t>(i) < bytes.size(); ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// Wave and MPEG headers whose numeric fields are set to the extremes a damaged
// or hostile file carries. No reader or player may crash, read outside the
// file (AddressSanitizer watches), overflow (UndefinedBehaviorSanitizer) or
// ask the heap for more than its bound.
class HeaderCorruptionLoop : public wavetest::WaveOutFixture {
protected:
    template <typename Pick> static std::uint32_t Extreme(Pick& pick, std::size_t fileSize)
    {
        const std::uint32_t values[] = {
            0,      1,          2,          3,          8,          9,
            255,    999,        1000,       8000,       44100,      192000,
            192001, 384000,     20'000'000, 0x7FFF,     0x8000,     0xFFFF,
            65537,  0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, static_cast<std::uint32_t>(fileSize)};
        return values[pick(std::size(values))];
    }

    // Loads the file into a waveOut player set up as the monitor's and into a
    // DirectSound player, and checks what they asked of the heap.
    void LoadIntoPlayers(const std::string& path, int round)
    {
        audiotest::ArmAllocationMeter();
        {
            C_WaveOut player;
            player.SetBufferPagemsec(150);
            player.SetNumBufferPages(60);
            player.SetNumDiskBufferPages(20);
            player.SetUseExtensible(round % 2);
            player.SetDeviceID(1);
            player.Init();
            player.SetFileName(path);
            if (!player.FileName().empty()) {
                ASSERT_GE(player.Length(), 0);
            }
            player.CloseWave();
        }
        C_DSound directSound;
        directSound.InitDS(nullptr, 0);
        directSound.SetFileName(path);
        directSound.CloseWave();
        const audiotest::AllocatedBytes used = audiotest::DisarmAllocationMeter();
        ASSERT_LT(used.Total, MemoryBound) << "round " << round;
    }
};

TEST_F(HeaderCorruptionLoop, WaveHeadersWithExtremeRateChannelAndSizeFields)
{
    const std::vector<Bytes> seeds = {
        RiffFileBuilder().Format(1, 2, 44100, 16).Data(Bytes(4000, 0)).Build(),
        RiffFileBuilder().Format(1, 8, 192000, 24).Data(Bytes(4800, 0)).Build(),
        RiffFileBuilder().FormatExtensible(6, 48000, 24).Data(Bytes(3600, 0)).Build(),
        RiffFileBuilder().Chunk("LIST", Bytes(7, 1)).Data(Bytes(1000, 0x80)).Format(1, 1, 8000, 8).Build(),
    };
    std::mt19937 random(4343);
    auto pick = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
    int valid = 0;
    for (int round = 0; round < CasesPerKind; ++round) {
        Bytes bytes = seeds[static_cast<std::size_t>(round) % seeds.size()];
        // The fields of the first "fmt " and "data" chunks, wherever they are.
        const auto find = [&](const char* id) {
            for (std::size_t at = 12; at + 8 <= bytes.size(); ++at) {
                if (std::equal(id, id + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at))) {
                    return at;
                }
            }
            return std::size_t{0};
        };
        const std::size_t format = find("fmt ");
        const std::size_t data = find("data");
        const int edits = 1 + static_cast<int>(pick(3));
        for (int e = 0; e < edits; ++e) {
            const std::uint32_t value = Extreme(pick, bytes.size());
            switch (pick(7)) {
            case 0: // rate
                PutLittleEndian(bytes, format + 12, value, 4);
                break;
            case 1: // channels
                PutLittleEndian(bytes, format + 10, value, 2);
                break;
            case 2: // bits
                PutLittleEndian(bytes, format + 22, value, 2);
                break;
            case 3: // block align and byte rate, which the readers must not trust
                PutLittleEndian(bytes, format + 16, value, 4);
                PutLittleEndian(bytes, format + 20, value, 2);
                break;
            case 4: // data size
                PutLittleEndian(bytes, data + 4, value, 4);
                break;
            case 5: // format chunk size
                PutLittleEndian(bytes, format + 4, value, 4);
                break;
            default: // RIFF size, or the sub-format of an extensible file
                PutLittleEndian(bytes, pick(2) == 0 ? 4 : format + 32, value, 4);
                break;
            }
        }
        const std::string path = folder / ("case" + std::to_string(round % 7) + ".wav");
        testsupport::WriteFile(path, bytes);

        const WaveInfoRecord info = WaveMMIO::ReadWaveHeader(path, 0);
        if (info.Valid == 1) {
            ++valid;
            ASSERT_GE(info.SampleRate, 1000);
            ASSERT_LE(info.SampleRate, 192000);
            ASSERT_GE(info.Channels, 1);
            ASSERT_LE(info.Channels, 8);
            ASSERT_GE(info.Frames, 0);
            ASSERT_LE(info.DataOffset + info.DataSize, static_cast<std::int64_t>(bytes.size()));
        }
        WaveMMIO::IsPlayableWave(path, 0, round % 2);
        FCT_AudioInf::GetAudioInfoText(path, 0, round % 2, round % 3 == 0 ? 1 : 0);
        LoadIntoPlayers(path, round);
    }
    EXPECT_GT(valid, CasesPerKind / 10) << "the mutations leave enough files valid to reach the players";
}

TEST_F(HeaderCorruptionLoop, MpegAndId3HeadersWithExtremeFields)
{
    const testsupport::MpegFrameSpec joint{1, 3, 128, 44100, 1};
    const testsupport::MpegFrameSpec lsfMono{2, 3, 32, 16000, 3};
    const std::vector<Bytes> seeds = {
        MpegFileBuilder()
            .Id3v2(64)
            .Id3v2(200)
            .FrameCountFrame(joint, 100, "Xing")
            .Frames(joint, 4)
            .TrailingTag()
            .Build(),
        MpegFileBuilder().FrameCountFrame(joint, 30, "Info").Frames(joint, 3).Build(),
        MpegFileBuilder().FrameCountFrame(lsfMono, 9, "VBRI").Frames(lsfMono, 3).Build(),
        MpegFileBuilder().Raw(Bytes(700, 0x11)).Frames({1, 2, 192, 32000, 2}, 4).Build(),
    };
    std::mt19937 random(1043);
    auto pick = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random); };
    int found = 0;
    for (int round = 0; round < CasesPerKind; ++round) {
        Bytes bytes = seeds[static_cast<std::size_t>(round) % seeds.size()];
        const int edits = 1 + static_cast<int>(pick(3));
        for (int e = 0; e < edits; ++e) {
            const std::uint32_t value = Extreme(pick, bytes.size());
            const std::size_t at = pick(bytes.size());
            switch (pick(6)) {
            case 0: // an ID3v2 size byte or the footer flag
                if (bytes.size() > 10 && bytes[0] == 'I') {
                    bytes[5 + pick(5)] = static_cast<std::uint8_t>(value);
                }
                break;
            case 1: { // a frame header's second, third or fourth byte
                for (std::size_t i = at; i + 3 < bytes.size(); ++i) {
                    if (bytes[i] == 0xFF) {
                        bytes[i + 1 + pick(3)] = static_cast<std::uint8_t>(value);
                        break;
                    }
                }
                break;
            }
            case 2: { // the count or flags of a frame-count header
                for (const char* id : {"Xing", "Info", "VBRI"}) {
                    for (std::size_t i = 0; i + 18 < bytes.size(); ++i) {
                        if (std::equal(id, id + 4, bytes.begin() + static_cast<std::ptrdiff_t>(i))) {
                            PutLittleEndian(bytes, i + 4 + 4 * pick(3), value, 4);
                        }
                    }
                }
                break;
            }
            case 3: { // a sync, a tag or a frame-count id where none belongs
                static const std::array<Bytes, 4> inserts{Bytes{0xFF, 0xFB, 0x90, 0x00}, Bytes{'I', 'D', '3', 3, 0, 0},
                                                          Bytes{'T', 'A', 'G'}, Bytes{'X', 'i', 'n', 'g'}};
                const Bytes& insert = inserts[pick(inserts.size())];
                bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), insert.begin(), insert.end());
                break;
            }
            case 4: // cut short
                bytes.resize(at);
                break;
            default: // any 32-bit field
                PutLittleEndian(bytes, at, value, 4);
                break;
            }
        }
        const std::string path = folder / (round % 2 == 0 ? "case.mp3" : "case.mp2");
        testsupport::WriteFile(path, bytes);

        MpegInfo info;
        if (FCT_mpeg::GetMpegInfo(path, info, 0) == 1) {
            ++found;
            ASSERT_TRUE(info.Layer >= 1 && info.Layer <= 3);
            ASSERT_TRUE(info.SampleRate >= 16000 && info.SampleRate <= 48000);
            ASSERT_GE(info.BitRate, 0);
            ASSERT_GE(info.HeaderPos, 1);
            ASSERT_LE(info.EndPos, static_cast<std::int64_t>(bytes.size()));
            ASSERT_GE(info.LengthMS, 0);
            ASSERT_LE(info.ShortText.size(), 255U);
        }
        audiotest::ArmAllocationMeter();
        FCT_AudioInf::GetAudioInfoText(path, 0, round % 2, round % 3 == 0 ? 1 : 0);
        ASSERT_LT(audiotest::DisarmAllocationMeter().Total, MemoryBound);
    }
    EXPECT_GT(found, CasesPerKind / 5) << "the mutations leave enough streams readable to reach every step";
}

} // namespace
