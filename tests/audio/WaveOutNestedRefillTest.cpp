// A waveOut player reading its pages from a slow share: each read waits on
// the I/O thread, and the wait pumps and feeds every player, the one whose
// poll is reading included. Nothing of the sound may be lost or repeated by
// a poll that runs inside itself, and a second sound on another output is
// fed on meanwhile.
#include "WaveOutFixture.h"

#include "platform/base/Hooks.h"
#include "support/ServerFolders.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace wavetest;

class WaveOutNestedRefill : public WaveOutFixture {
protected:
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        platform::SetRefillHook(nullptr);
        WaveOutFixture::TearDown();
    }

    // Expects the frames of samples (16-bit stereo), whole and in order, from
    // the first sound in what a device played, and only silence after them;
    // its first underFade frames may carry the fade of a sound it replaced.
    static void ExpectWhole(const std::vector<float>& played, const std::vector<std::uint8_t>& samples,
                            std::size_t underFade = 0)
    {
        const std::vector<float> expected =
            audiotest::ExpectedFloats(platform::audio::StreamFormat{Rate, 16, 2}, samples);
        std::size_t first = 0;
        while (first < played.size() && played[first] == 0.0f) {
            ++first;
        }
        first -= first % 2;
        ASSERT_GE(played.size(), first + expected.size()) << "frames missing";
        for (std::size_t i = 2 * underFade; i < expected.size(); ++i) {
            ASSERT_EQ(played[first + i], expected[i]) << "frame " << i / 2;
        }
        for (std::size_t i = first + expected.size(); i < played.size(); ++i) {
            ASSERT_EQ(played[i], 0.0f) << "sound after the end";
        }
    }

private:
    testsupport::ServerFolders servers_{folder.Folder("unc")};
};

TEST_F(WaveOutNestedRefill, APollWhoseReadWaitsAndFeedsThePlayersLosesNoPage)
{
    const std::size_t frames = 7 * Rate + 333;
    const auto shared = Noise(2, 16, frames, 21);
    const auto local = Noise(2, 16, frames / 2, 22);
    folder.Folder("unc/studio/long");
    WriteWave("unc/studio/long/shared.wav", 2, 16, shared);
    const std::string localPath = WriteWave("local.wav", 2, 16, local);

    C_WaveOut fromShare;
    C_WaveOut fromDisk;
    SetUpPlayer(fromShare, 1);
    SetUpPlayer(fromDisk, 2);
    platform::SetRefillHook([&] {
        fromShare.ProgressionPlay();
        fromDisk.ProgressionPlay();
    });
    // Every read through a handle of the share waits 30 ms of virtual time,
    // moved on by the pumps of the wait (so a refill falls due inside it).
    testsupport::TestFileLayer layer;
    int heldFor = 0;
    platform::SetPumpHook([&] {
        if (layer.heldCalls == 0 || !layer.OnlyHeldCallsRun()) {
            return;
        }
        clock.Advance(5);
        heldFor += 5;
        if (heldFor >= 30) {
            heldFor = 0;
            layer.ReleaseHeld();
        }
    });
    fromShare.SetFileName("//studio/long/shared.wav");
    ASSERT_GT(fromShare.Length(), 7000) << "the share's file loads";
    layer.Hold("/studio/long/", true);
    Played(1);
    Played(2);

    ASSERT_EQ(fromShare.Play(), 1);
    Run({&fromShare, &fromDisk}, 1000);
    // A second sound starts on another output while the first plays on.
    fromDisk.SetFileName(localPath);
    ASSERT_EQ(fromDisk.Play(), 1);
    for (int ms = 0; ms < 20000 && fromShare.mode() != 1; ms += 100) {
        Run({&fromShare, &fromDisk}, 100);
    }
    ASSERT_EQ(fromShare.mode(), 1) << "the sound ends";
    EXPECT_EQ(fromDisk.mode(), 1) << "the shorter second sound ended first";
    layer.Release();
    platform::SetPumpHook(nullptr);
    platform::SetRefillHook(nullptr);

    ExpectWhole(Played(1), shared);
    ExpectWhole(Played(2), local);
    EXPECT_EQ(ErrorLog().find("Failed"), std::string::npos) << ErrorLog();
}

TEST_F(WaveOutNestedRefill, ARestartWhileAReadOfTheSamePlayerWaitsKeepsTheNewSoundWhole)
{
    const auto shared = Noise(2, 16, 4 * Rate + 77, 23);
    folder.Folder("unc/studio/long");
    WriteWave("unc/studio/long/shared.wav", 2, 16, shared);
    C_WaveOut player;
    SetUpPlayer(player, 1);
    // A start queues every page, the one a refill is reading included.
    player.SetNumBufferToPlay(7);
    platform::SetRefillHook([&] { player.ProgressionPlay(); });
    // Armed, the next read of the share waits until its caller's wait pumps:
    // the same sound is pressed then, and the read returns to its caller
    // only after the restart has filled and queued every page.
    enum Stage { Idle, Armed, ReadWaits, Pressed };
    std::atomic<int> stage{Idle};
    testsupport::TestFileLayer layer;
    layer.readFault = [&stage](int) {
        int armed = Armed;
        if (stage.compare_exchange_strong(armed, ReadWaits)) {
            while (stage.load() != Pressed) {
                std::this_thread::yield();
            }
        }
        return 0;
    };
    platform::SetPumpHook([&] {
        if (stage.load() == ReadWaits) {
            stage.store(Pressed);
            (void)Played(1);
            ASSERT_EQ(player.Play(), 1);
        }
    });
    player.SetFileName("//studio/long/shared.wav");
    ASSERT_GT(player.Length(), 4000) << "the share's file loads";
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 300);
    stage.store(Armed);
    for (int ms = 0; ms < 20000 && (stage.load() != Pressed || player.mode() != 1); ms += 100) {
        Run({&player}, 100);
    }
    ASSERT_EQ(stage.load(), Pressed) << "a refill read the share";
    ASSERT_EQ(player.mode(), 1) << "the sound ends";
    platform::SetPumpHook(nullptr);
    platform::SetRefillHook(nullptr);

    ExpectWhole(Played(1), shared, platform::audio::Voice::DeclickFrames);
    // The read that the restart overtook is dropped, not taken for a failure.
    EXPECT_EQ(ErrorLog().find("Failed"), std::string::npos) << ErrorLog();
}

} // namespace
