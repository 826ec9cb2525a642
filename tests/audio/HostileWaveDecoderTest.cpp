#include "GraphPlayerFixture.h"

#include "audio/AudioInfoText.h"
#include "audio/C_FGraph.h"
#include "audio/FilterGraphLength.h"
#include "audio/WaveHeader.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

namespace {

using graphtest::GraphPlayerFixture;
using testsupport::Bytes;
using testsupport::RiffFileBuilder;

// The process's peak resident memory in bytes so far.
std::int64_t PeakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;
}

// A wave file whose header is out of bounds is unusable for the PCM players,
// and the information text then asks the filter-graph player for its length,
// as for any wave the header reader leaves to a decoder. The decoder's
// threads must not take the memory the header claims either.
class HostileWaveDecoder : public GraphPlayerFixture {
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

TEST_F(HostileWaveDecoder, AnOutOfBoundsHeaderTakesNoMoreMemoryInTheDecoder)
{
    struct Case {
        const char* name;
        int channels;
        std::uint32_t rate;
        int bits;
    };
    const Case cases[] = {{"max-rate.wav", 2, 0x7FFFFFFF, 16},
                          {"20MHz.wav", 8, 20'000'000, 24},
                          {"many-channels.wav", 0xFFFF, 48000, 16},
                          {"rate0.wav", 2, 0, 16}};
    const std::int64_t before = PeakResidentBytes();
    for (const Case& c : cases) {
        const std::string path = folder / c.name;
        RiffFileBuilder().Format(1, c.channels, c.rate, c.bits).Data(Bytes(24000, 0)).WriteTo(path);
        EXPECT_EQ(WaveMMIO::ReadWaveHeader(path, 0).Valid, 0) << c.name;
        const AudioInfo info = FCT_AudioInf::GetAudioInfoText(path, 0, 0, 0);
        EXPECT_GE(info.LengthMS, 0) << c.name;
        C_FGraph player;
        player.SetDevMode(0);
        player.SetDevName("Null 1");
        player.Init();
        player.SetFileName(path);
        player.Play();
        Tick(player, 100);
        player.CloseWave();
    }
    EXPECT_LT(PeakResidentBytes() - before, 200'000'000);
}

} // namespace
