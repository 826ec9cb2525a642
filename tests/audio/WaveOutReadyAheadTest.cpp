// A waveOut player made ready ahead (as the program does once its window is
// up) opens its sound card then, and has the sample buffers of a usual sound
// ready: its first start opens no card and asks for no buffer memory, which
// would otherwise be faulted in page by page before its first sample. The
// card is the tests' own paced ALSA device.
#include "AllocationMeter.h"
#include "WaveOutFixture.h"

#include "platform/base/LogSink.h"
#include "support/TestAlsaDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace wavetest;

class WaveOutReadyAhead : public WaveOutFixture {
protected:
    void SetUp() override
    {
        WaveOutFixture::SetUp();
        testsupport::InstallPacedTestCardSystem();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        platform::SetLogSink([this](std::string_view text, int) { lines.emplace_back(text); });
    }
    void TearDown() override
    {
        platform::SetLogSink(nullptr);
        WaveOutFixture::TearDown();
    }
    int CardOpenings() const
    {
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
            return line.rfind("Audio device \"Default\" (default): ", 0) == 0;
        }));
    }

    std::vector<std::string> lines;
};

TEST_F(WaveOutReadyAhead, OpensItsCardAndItsFirstStartAsksForNoBufferMemory)
{
    // Two seconds of a usual sound, 16-bit stereo at 48 kHz.
    const std::string path = WriteWave("usual.wav", 2, 16, Noise(2, 16, 2 * Rate, 71));
    C_WaveOut player;
    // The program's settings without UseVol: 60 pages of 150 ms (1.7 MB of
    // samples here), 20 pages read ahead from the disk.
    player.SetBufferPagemsec(150);
    player.SetNumBufferPages(60);
    player.SetNumDiskBufferPages(20);
    player.SetNumBufferToPlay(10);
    player.SetDeviceID(0);
    player.Init();
    ASSERT_EQ(CardOpenings(), 0);

    player.OpenDeviceAhead();
    EXPECT_EQ(CardOpenings(), 1) << "the card is open before any sound";

    audiotest::ArmAllocationMeter();
    player.SetFileName(path);
    const int started = player.Play();
    const audiotest::AllocatedBytes used = audiotest::DisarmAllocationMeter();
    ASSERT_EQ(started, 1);
    EXPECT_LT(used.Largest, 64 * 1024) << "no sample buffer is asked for at the first start";
    EXPECT_EQ(CardOpenings(), 1);
    player.StopIO(1);
}

} // namespace
