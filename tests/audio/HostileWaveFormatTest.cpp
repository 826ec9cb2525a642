#include "AllocationMeter.h"
#include "WaveOutFixture.h"

#include "audio/C_DSound.h"
#include "audio/UnusableFormatLog.h"
#include "audio/WaveHeader.h"
#include "support/RiffFileBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

using testsupport::Bytes;
using testsupport::RiffFileBuilder;

// No header may make a player take more memory than this, whatever it claims.
constexpr std::int64_t MemoryBound = 200'000'000;

// Headers from damaged files and from other programs claim rates and channel
// counts no sound card has. They are unusable before any player sizes a
// buffer by them, and each such file is logged once, not on every redraw.
class HostileWaveFormat : public wavetest::WaveOutFixture {
protected:
    void SetUp() override
    {
        WaveOutFixture::SetUp();
        WaveMMIO::ForgetLoggedFormats();
    }

    // A small file (24 KB of samples) whose format chunk says what it likes.
    std::string Claiming(const std::string& name, int tag, std::uint32_t channels, std::uint32_t rate, int bits)
    {
        const std::string path = folder / name;
        RiffFileBuilder().Format(tag, static_cast<int>(channels), rate, bits).Data(Bytes(24000, 0)).WriteTo(path);
        return path;
    }

    int LogLinesNaming(const std::string& path) const
    {
        const std::string log = ErrorLog();
        int count = 0;
        for (std::size_t at = log.find(path); at != std::string::npos; at = log.find(path, at + 1)) {
            ++count;
        }
        return count;
    }

    // Loads the file into players set up as the program's outputs and its
    // monitor window set them up; what they asked of the heap, together.
    audiotest::AllocatedBytes LoadIntoPlayers(const std::string& path)
    {
        struct Setup {
            int pageMs, pages, diskPages, useExtensible;
        };
        const Setup setups[] = {{150, 60, 20, 0}, {150, 60, 20, 1}, {70, 3, 50, 0}, {200, 7, 1, 0}};
        audiotest::AllocatedBytes most;
        for (const Setup& setup : setups) {
            C_WaveOut player;
            player.SetBufferPagemsec(setup.pageMs);
            player.SetNumBufferPages(setup.pages);
            player.SetNumDiskBufferPages(setup.diskPages);
            player.SetNumBufferToPlay(10);
            player.SetUseExtensible(setup.useExtensible);
            player.SetDeviceID(1);
            for (int pair = 1; pair <= 3; ++pair) {
                player.SetExtDeviceID(pair, pair + 1);
            }
            player.Init();
            audiotest::ArmAllocationMeter();
            player.SetFileName(path);
            const audiotest::AllocatedBytes used = audiotest::DisarmAllocationMeter();
            most.Total = std::max(most.Total, used.Total);
            most.Largest = std::max(most.Largest, used.Largest);
            player.CloseWave();
        }
        C_DSound directSound;
        directSound.InitDS(nullptr, 0);
        audiotest::ArmAllocationMeter();
        directSound.SetFileName(path);
        const audiotest::AllocatedBytes used = audiotest::DisarmAllocationMeter();
        most.Total = std::max(most.Total, used.Total);
        directSound.CloseWave();
        return most;
    }
};

TEST_F(HostileWaveFormat, TheMeterSeesAllocations)
{
    audiotest::ArmAllocationMeter();
    std::vector<std::uint8_t> block(1'000'000);
    const audiotest::AllocatedBytes used = audiotest::DisarmAllocationMeter();
    EXPECT_GE(used.Largest, 1'000'000);
    EXPECT_GE(used.Total, 1'000'000);
}

TEST_F(HostileWaveFormat, RatesAndChannelsOutOfBoundsAreUnusableAndLoggedOnce)
{
    struct Case {
        const char* name;
        std::uint32_t channels;
        std::uint32_t rate;
        int bits;
    };
    const Case cases[] = {
        {"rate0.wav", 2, 0, 16},
        {"rate999.wav", 2, 999, 16},
        {"rate192001.wav", 2, 192001, 16},
        {"rate20M.wav", 8, 20'000'000, 24},
        {"rateMaxLong.wav", 2, 0x7FFFFFFF, 16},
        {"rateAllOnes.wav", 1, 0xFFFFFFFF, 8},
        {"channels0.wav", 0, 48000, 16},
        {"channels9.wav", 9, 48000, 16},
        {"channels65535.wav", 65535, 48000, 16},
    };
    for (const Case& c : cases) {
        const std::string path = Claiming(c.name, 1, c.channels, c.rate, c.bits);
        // Every page draw reads the header again.
        for (int read = 0; read < 3; ++read) {
            const WaveInfoRecord info = WaveMMIO::ReadWaveHeader(path, 0);
            EXPECT_EQ(info.Valid, 0) << c.name;
            EXPECT_EQ(info.FormatTag, 1) << c.name << ": the format fields are still there";
            EXPECT_EQ(info.Frames, 0) << c.name;
        }
        EXPECT_EQ(WaveMMIO::IsPlayableWave(path, 0, 1), 0) << c.name;
        EXPECT_EQ(LogLinesNaming(path), 1) << c.name << "\n" << ErrorLog();
    }
}

TEST_F(HostileWaveFormat, TheBoundsThemselvesAreUsable)
{
    for (const std::uint32_t rate : {1000U, 192000U}) {
        const std::string path = Claiming("rate" + std::to_string(rate) + ".wav", 1, 8, rate, 24);
        const WaveInfoRecord info = WaveMMIO::ReadWaveHeader(path, 0);
        EXPECT_EQ(info.Valid, 1) << rate;
        EXPECT_EQ(info.FormatCode, 9) << rate;
        EXPECT_EQ(info.Frames, 1000) << rate;
        EXPECT_EQ(LogLinesNaming(path), 0) << rate;
    }
    // The bounds do not widen the table: 3 channels at a usual rate stay
    // unusable, as before, and are not logged as out of bounds.
    const std::string three = Claiming("three.wav", 1, 3, 48000, 16);
    EXPECT_EQ(WaveMMIO::ReadWaveHeader(three, 0).Valid, 0);
    EXPECT_EQ(LogLinesNaming(three), 0);
}

TEST_F(HostileWaveFormat, NoHeaderMakesAPlayerTakeMoreThanItsBound)
{
    const std::string files[] = {
        Claiming("huge-rate.wav", 1, 2, 0x7FFFFFFF, 16),     Claiming("20MHz.wav", 1, 8, 20'000'000, 24),
        Claiming("all-ones.wav", 1, 0xFFFF, 0xFFFFFFFF, 24), Claiming("largest-usable.wav", 1, 8, 192000, 24),
        Claiming("largest-stereo.wav", 1, 2, 192000, 24),    Claiming("smallest-usable.wav", 1, 1, 1000, 8),
    };
    for (const std::string& path : files) {
        const audiotest::AllocatedBytes used = LoadIntoPlayers(path);
        EXPECT_LT(used.Total, MemoryBound) << path;
        std::printf("%s: at most %lld bytes\n", path.c_str(), static_cast<long long>(used.Total));
    }
    // The largest usable format still loads in the monitor's set-up.
    C_WaveOut monitor;
    monitor.SetBufferPagemsec(150);
    monitor.SetNumBufferPages(60);
    monitor.SetNumDiskBufferPages(20);
    monitor.SetDeviceID(1);
    monitor.Init();
    monitor.SetFileName(files[3]);
    EXPECT_EQ(monitor.FileName(), files[3]);
    EXPECT_EQ(monitor.Length(), 5); // 1000 frames of 24 bytes at 192 kHz
    monitor.CloseWave();
    // The out-of-bounds ones never load.
    C_WaveOut player;
    SetUpPlayer(player);
    player.SetFileName(files[0]);
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Play(), 0);
}

TEST_F(HostileWaveFormat, AnExtensibleFileIsPcmOnlyWithThePcmSubFormat)
{
    const std::string alaw = folder / "alaw.wav";
    RiffFileBuilder().FormatExtensibleOf(2, 8000, 8, 6).Data(Bytes(16000, 0xD5)).WriteTo(alaw);
    const WaveInfoRecord info = WaveMMIO::ReadWaveHeader(alaw, 0);
    EXPECT_EQ(info.Valid, 1) << "a decoder may still play it";
    EXPECT_EQ(info.FormatTag, -2);
    EXPECT_EQ(info.SubFormatTag, 6);
    EXPECT_FALSE(WaveMMIO::IsPcmWave(info));
    EXPECT_EQ(WaveMMIO::IsPlayableWave(alaw, 0, 1), 0);
    EXPECT_EQ(WaveMMIO::IsPlayableWave(alaw, 0, 0), 0);

    C_WaveOut player;
    SetUpPlayer(player);
    player.SetFileName(alaw);
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Play(), 0);
    Run({&player}, 100);
    for (const float sample : Played(1)) {
        ASSERT_EQ(sample, 0.0f) << "no A-law byte may sound as PCM";
    }
    EXPECT_NE(ErrorLog().find("C_WaveOut Let FileName Fail " + alaw), std::string::npos);

    const std::string pcm = folder / "pcm.wav";
    RiffFileBuilder().FormatExtensible(2, 48000, 16).Data(Bytes(19200, 0)).WriteTo(pcm);
    EXPECT_EQ(WaveMMIO::ReadWaveHeader(pcm, 0).SubFormatTag, 1);
    EXPECT_EQ(WaveMMIO::IsPlayableWave(pcm, 0, 1), 1);
    EXPECT_EQ(WaveMMIO::IsPlayableWave(pcm, 0, 0), 0);
    player.SetFileName(pcm);
    EXPECT_EQ(player.FileName(), pcm);

    // An extensible chunk cut before its sub-format cannot show it is PCM.
    const std::string cut = folder / "cut.wav";
    RiffFileBuilder().Format(0xFFFE, 2, 48000, 16).Data(Bytes(19200, 0)).WriteTo(cut);
    EXPECT_EQ(WaveMMIO::ReadWaveHeader(cut, 0).SubFormatTag, -1);
    EXPECT_EQ(WaveMMIO::IsPlayableWave(cut, 0, 1), 0);
    player.SetFileName(cut);
    EXPECT_EQ(player.FileName(), "");
}

} // namespace
