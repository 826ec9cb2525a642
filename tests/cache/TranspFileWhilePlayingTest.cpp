// The transfer control copying while a sound plays: the copy's reads and
// writes run on the I/O thread, and the user-interface thread waits feeding
// the player, so neither a long copy nor a stalled source is heard.
#include "FileHandFixture.h"
#include "audio/C_WaveOut.h"
#include "cache/FileHandErrors.h"
#include "cache/UC_FileHand.h"
#include "controls/MouseTwips.h"
#include "controls/UC_Buttons.h"
#include "platform/IoThread.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/NullSink.h"
#include "platform/base/Twips.h"
#include "support/AudioTestSignals.h"
#include "support/NullOutputs.h"
#include "support/RiffFileBuilder.h"
#include "support/TestFileLayer.h"

#include <gmock/gmock.h>

#include <fstream>

namespace {

using namespace platform::audio;

constexpr int Rate = 48000;
constexpr int SoundSeconds = 40;

class TranspFileWhilePlaying : public FileHandFixture {
protected:
    TranspFileWhilePlaying() : savedTwips_(basic::TwipsPerPixel), savedWaitLimit_(platform::io::WaitLimitMs())
    {
        basic::TwipsPerPixel = 15;
        // The sound needs time to move while the copy runs, so a pump moves
        // it 5 ms on also while a call waits for the I/O thread to take it
        // up; a busy machine must not make that look like a dead server.
        platform::io::SetWaitLimitMs(600000);
        testsupport::InstallNullOutputs(1, Rate, SoundSeconds + 5);
    }
    ~TranspFileWhilePlaying() override
    {
        AudioSystem::Install(nullptr);
        platform::io::SetWaitLimitMs(savedWaitLimit_);
        basic::TwipsPerPixel = savedTwips_;
    }

    // A source of 50 MB, written in pieces.
    std::string BigSource() const
    {
        const std::string path = scratch / "big.wav";
        std::ofstream out(path, std::ios::binary);
        const std::string piece = Pattern(1 << 20, 5);
        for (int i = 0; i < 50; ++i) {
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        }
        return path;
    }

private:
    int savedTwips_;
    int savedWaitLimit_;
};

TEST_F(TranspFileWhilePlaying, AStalledCopyAndAFullOneLeaveTheSoundGapFreeAndCancelWorksDuringTheStall)
{
    const StreamFormat format{Rate, 16, 2};
    const auto samples = audiotest::NoiseBytes(format, static_cast<std::size_t>(Rate) * SoundSeconds, 7);
    const std::string sound = scratch / "on-air.wav";
    testsupport::RiffFileBuilder().Format(1, 2, Rate, 16).Data(samples).WriteTo(sound);
    const std::string source = BigSource();

    // Output 1 with the 210 ms preset: three pages of 70 ms.
    C_WaveOut player;
    player.SetDeviceID(1);
    player.SetBufferPagemsec(70);
    player.SetNumBufferPages(3);
    player.SetNumDiskBufferPages(50);
    player.Init();
    player.SetFileName(sound);
    ASSERT_EQ(player.Play(), 1);
    platform::SetRefillHook([&player] { player.ProgressionPlay(); });

    cache::UC_FileHand fh1;
    fh1.Init(1);
    fh1.SetDispFN(2);
    fh1.show();

    testsupport::TestFileLayer layer;
    bool stalled = false;
    bool released = false;
    std::int64_t stallStart = 0;
    int heldWhenClicked = -1;
    fh1.MirrorProg = [&](float) {
        if (!stalled) {
            stalled = true;
            stallStart = clock.TotalMs();
            layer.Hold("(every call through a handle)", true);
        }
    };
    // Time moves for the sound whenever no call the copy makes runs for real
    // (none is in flight, or only the stalled read): it must not run ahead of
    // the I/O thread working on a read or a write.
    onPump = [&] {
        if (!layer.OnlyHeldCallsRun()) {
            return;
        }
        clock.Advance(5);
        if (!stalled || released) {
            return;
        }
        const std::int64_t held = clock.TotalMs() - stallStart;
        if (held == 1000) {
            heldWhenClicked = layer.heldCalls;
            controls::UC_Buttons& row = *fh1.CancelButtonRow();
            mousetwips::Click(row, row.width() / 2 * 15.0, row.height() / 2 * 15.0);
        }
        if (held == 3000) {
            released = true;
            layer.Release();
        }
    };

    EXPECT_EQ(fh1.TranspFile(source, scratch / "copy/big.wav", 1, 0), 0);
    EXPECT_EQ(fh1.ErrorCode(), cache::filehand::Cancelled);
    EXPECT_EQ(heldWhenClicked, 1) << "the click came while the read hung";
    EXPECT_GE(clock.TotalMs() - stallStart, 3000);
    EXPECT_FALSE(std::filesystem::exists(scratch / "copy/big.wav"));

    // Then the whole file, without a stall.
    ASSERT_EQ(fh1.TranspFile(source, scratch / "copy/big.wav", 1, 0), 1);
    EXPECT_EQ(std::filesystem::file_size(scratch / "copy/big.wav"), 50U << 20);
    ASSERT_EQ(player.mode(), 3) << "the sound is still playing";
    const std::int64_t ranMs = clock.TotalMs() - stallStart;

    // Everything the device played is the file, frame for frame: not one
    // period of silence in between.
    player.ProgressionPlay();
    const std::vector<float> played = AudioSystem::Current().NullOutput(1)->TakePlayed();
    const std::vector<float> expected = audiotest::ExpectedFloats(format, samples);
    ASSERT_GE(played.size() / 2, static_cast<std::size_t>(ranMs * Rate / 1000) - 512);
    ASSERT_LE(played.size(), expected.size());
    for (std::size_t i = 0; i < played.size(); ++i) {
        ASSERT_EQ(played[i], expected[i]) << "frame " << i / 2;
    }
}

} // namespace
