#include "DSoundFixture.h"

#include "audio/C_DSound.h"
#include "audio/C_DSound5.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <type_traits>

namespace {

using dstest::Expected16;
using dstest::Expected8;

template <typename P> class DSoundPlayback : public dstest::DSoundFixture {
protected:
    // Polls like the engine tick until the player stops (or limitMs passes);
    // returns the time after Play at which mode was first seen as 1. Before
    // stopMs the player must still play.
    int PollUntilStopped(P& player, int limitMs, int stopMs = -1)
    {
        for (int t = TickMs; t <= limitMs; t += TickMs) {
            this->Advance(TickMs);
            player.ProgressionPlay();
            EXPECT_LE(player.Position(), player.Length()) << t;
            if (t < stopMs) {
                EXPECT_EQ(player.mode(), 3) << "still playing " << t << " ms after the start";
            }
            if (player.mode() == 1) {
                return t;
            }
        }
        return -1;
    }
};

// The cursor enters the stopping segment at stopMs, give or take the period
// the start fell in; the next tick sees it.
void ExpectStopAt(int stopped, int stopMs)
{
    EXPECT_GE(stopped, stopMs);
    EXPECT_LE(stopped, stopMs + 50);
}

using Players = testing::Types<C_DSound, C_DSound5>;
TYPED_TEST_SUITE(DSoundPlayback, Players);

TYPED_TEST(DSoundPlayback, EveryFrameSoundsThenSilenceAndTheStopComesAtTheUnitAfterTheData)
{
    struct Case {
        double seconds;
        int stopMs; // when the cursor enters the segment after the last data
    };
    // Shorter than a unit: one unit after the start; one to two units: two;
    // longer: at the end of the unit holding the last data (6.5 s wraps the
    // five-unit buffer).
    const Case cases[] = {{0.5, 1000}, {1.5, 2000}, {3.0, 3000}, {6.5, 7000}};
    std::uint32_t seed = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.seconds << " s");
        this->output.clear();
        TypeParam player;
        ASSERT_EQ(player.InitDS(nullptr, 0), 1);
        const auto frames = static_cast<std::size_t>(c.seconds * this->Rate);
        const auto bytes = dstest::Noise16(2, frames, seed++);
        player.SetFileName(this->Wave("sound.wav", this->Rate, 16, 2, bytes));
        EXPECT_EQ(player.Length(), static_cast<int>(c.seconds * 1000));
        EXPECT_EQ(player.Freq(), this->Rate);
        EXPECT_EQ(player.mode(), 1);
        EXPECT_EQ(player.Position(), 0);

        this->Advance(3); // a start between two periods
        const std::size_t start = this->FramesOut();
        ASSERT_EQ(player.Play(), 1);
        EXPECT_EQ(player.mode(), 3);
        const int stopped = this->PollUntilStopped(player, c.stopMs + 500, c.stopMs);
        ExpectStopAt(stopped, c.stopMs);
        EXPECT_EQ(player.Position(), 0);
        EXPECT_EQ(player.Position(1), 0);
        EXPECT_EQ(player.Position(2), 0);
        this->Advance(500);

        // The first frame goes out with the first period mixed after Play.
        ASSERT_GE(this->FramesOut(), start + frames + this->Rate / 10);
        for (std::size_t f = 0; f < start; ++f) {
            ASSERT_EQ(this->output[2 * f], 0.0f) << f;
        }
        for (std::size_t f = 0; f < frames; ++f) {
            ASSERT_EQ(this->output[2 * (start + f)], Expected16(bytes, 2 * f)) << f;
            ASSERT_EQ(this->output[2 * (start + f) + 1], Expected16(bytes, 2 * f + 1)) << f;
        }
        for (std::size_t f = start + frames; f < this->FramesOut(); ++f) {
            ASSERT_EQ(this->output[2 * f], 0.0f) << f;
            ASSERT_EQ(this->output[2 * f + 1], 0.0f) << f;
        }
        player.CloseWave();
    }
}

TYPED_TEST(DSoundPlayback, PositionCountsFromTheStartPointAcrossTheWrapOfTheBuffer)
{
    TypeParam player;
    player.InitDS(nullptr, 0);
    const std::size_t frames = 7 * this->Rate;
    player.SetFileName(this->Wave("long.wav", this->Rate, 16, 1, dstest::Noise16(1, frames, 4)));
    player.SetFromMS(500);
    player.SetToMS(6500);
    ASSERT_EQ(player.Play(), 1);
    for (int t = this->TickMs; t <= 5900; t += this->TickMs) {
        this->Advance(this->TickMs);
        player.ProgressionPlay();
        ASSERT_EQ(player.mode(), 3) << t;
        // At most two periods of granularity behind the tick.
        const int position = player.Position();
        ASSERT_LE(position, 500 + t) << t;
        ASSERT_GE(position, 500 + t - 11) << t;
        EXPECT_EQ(player.Position(1), 7000 - position);
        EXPECT_EQ(player.Position(2), 6500 - position);
        EXPECT_EQ(player.Position(7), 0);
    }
}

TYPED_TEST(DSoundPlayback, StartAndEndPointsChooseTheFramesThatSound)
{
    TypeParam player;
    player.InitDS(nullptr, 0);
    const std::size_t frames = 3 * this->Rate;
    const auto bytes = dstest::Noise16(2, frames, 9);
    // A chunk after the data that must never sound.
    const std::string path = this->folder / "points.wav";
    testsupport::RiffFileBuilder()
        .Format(1, 2, this->Rate, 16)
        .Data(bytes)
        .Chunk("LIST", testsupport::Bytes(4000, 0x55))
        .WriteTo(path);
    player.SetFileName(path);

    player.SetFromSample(30000);
    player.SetToSample(100000);
    std::size_t start = this->FramesOut();
    ASSERT_EQ(player.Play(), 1);
    // 70,000 frames are between one and two units: the stop is two units on.
    ExpectStopAt(this->PollUntilStopped(player, 2500, 2000), 2000);
    for (std::size_t f = 0; f < 70000; ++f) {
        ASSERT_EQ(this->output[2 * (start + f)], Expected16(bytes, 2 * (30000 + f))) << f;
    }
    for (std::size_t f = start + 70000; f < this->FramesOut(); ++f) {
        ASSERT_EQ(this->output[2 * f + 1], 0.0f) << f;
    }

    // StopIO forgot the start point: the next play begins at the file's start.
    this->Advance(100);
    start = this->FramesOut();
    ASSERT_EQ(player.Play(), 1);
    this->Advance(100);
    player.StopIO();
    for (std::size_t f = 0; f < 2000; ++f) {
        ASSERT_EQ(this->output[2 * (start + f)], Expected16(bytes, 2 * f)) << f;
    }

    // Points in milliseconds; a start beyond the end point does not play.
    player.SetFromMS(2500);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);
    player.SetFromSample(1'000'000'000); // held at the file's length
    player.SetToSample(1'000'000'000);
    EXPECT_EQ(player.Play(), 0);

    // An end point past the file ends with its data, not the chunks after it;
    // a negative start is the file's start, not its header.
    player.SetFromMS(2900);
    player.SetToMS(99'999);
    this->Advance(100);
    start = this->FramesOut();
    ASSERT_EQ(player.Play(), 1);
    ExpectStopAt(this->PollUntilStopped(player, 1500), 1000);
    for (std::size_t f = 0; f < 4800; ++f) {
        ASSERT_EQ(this->output[2 * (start + f)], Expected16(bytes, 2 * (139200 + f))) << f;
    }
    for (std::size_t f = start + 4800; f < this->FramesOut(); ++f) {
        ASSERT_EQ(this->output[2 * f], 0.0f) << f;
    }
    player.SetFromSample(-5000);
    player.SetToMS(100);
    this->Advance(100);
    start = this->FramesOut();
    ASSERT_EQ(player.Play(), 1);
    this->Advance(200);
    for (std::size_t f = 0; f < 4800; ++f) {
        ASSERT_EQ(this->output[2 * (start + f)], Expected16(bytes, 2 * f)) << f;
    }
    EXPECT_EQ(this->output[2 * (start + 4800)], 0.0f);
}

TYPED_TEST(DSoundPlayback, DoubleSpeedDoublesTheFrequencyAndHalvesTheDuration)
{
    TypeParam player;
    player.InitDS(nullptr, 0);
    const int rate = 44100;
    const std::size_t frames = 3 * rate;
    player.SetFileName(this->Wave("fast.wav", rate, 16, 2, dstest::Constant16({8192, 8192}, frames)));
    // A speed written while stopped takes effect at the next play.
    player.SetPlaySpeed(2.0f);
    EXPECT_FLOAT_EQ(player.PlaySpeed(), 2.0f);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.PlayFreq(), 88200);
    EXPECT_EQ(player.Freq(), rate);
    // Three units of the file last 1.5 s.
    ExpectStopAt(this->PollUntilStopped(player, 2000, 1500), 1500);
    this->Advance(200);
    std::size_t sounding = 0;
    for (std::size_t f = 0; f < this->FramesOut(); ++f) {
        sounding += this->output[2 * f] != 0.0f ? 1 : 0;
    }
    EXPECT_NEAR(static_cast<double>(sounding), 72000.0, 8.0);

    // A speed written while playing changes the frequency at once.
    player.SetPlaySpeed(1.0f);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.PlayFreq(), rate);
    player.SetPlaySpeed(0.5f);
    EXPECT_EQ(player.PlayFreq(), 22050);
    player.SetPlayFreq(30000);
    EXPECT_EQ(player.PlayFreq(), 30000);
    player.StopIO();
}

TYPED_TEST(DSoundPlayback, PlayFreqAnswersWhileLoadedOrOnlyWhilePlaying)
{
    TypeParam player;
    EXPECT_EQ(player.PlayFreq(), 0);
    player.InitDS(nullptr, 0);
    player.SetFileName(this->Wave("freq.wav", 32000, 16, 1, dstest::Noise16(1, 32000, 2)));
    player.SetPlayFreq(16000);
    constexpr bool whileLoaded = std::is_same_v<TypeParam, C_DSound>;
    EXPECT_EQ(player.PlayFreq(), whileLoaded ? 16000 : 0);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.PlayFreq(), 32000) << "Play sets the frequency from the speed";
    player.StopIO();
    EXPECT_EQ(player.PlayFreq(), whileLoaded ? 32000 : 0);
}

TYPED_TEST(DSoundPlayback, PauseIsNotAMemberAndThePlayerGoesOnPlaying)
{
    TypeParam player;
    player.InitDS(nullptr, 0);
    player.SetFileName(this->Wave("p.wav", this->Rate, 16, 2, dstest::Noise16(2, this->Rate, 3)));
    ASSERT_EQ(player.Play(), 1);
    player.Pause();
    this->Advance(100);
    player.ProgressionPlay();
    EXPECT_EQ(player.mode(), 3);
    EXPECT_GT(player.Position(), 80);
}

TYPED_TEST(DSoundPlayback, ANewFileOfTheSameFormatPlaysWithoutAnythingOfTheOldOne)
{
    TypeParam player;
    player.InitDS(nullptr, 0);
    const auto first = dstest::Noise16(2, 3 * this->Rate, 5);
    const auto second = dstest::Noise16(2, this->Rate / 2, 6);
    const std::string firstPath = this->Wave("first.wav", this->Rate, 16, 2, first);
    player.SetFileName(firstPath);
    ASSERT_EQ(player.Play(), 1);
    this->PollUntilStopped(player, 1000);
    player.SetFileName(this->Wave("second.wav", this->Rate, 16, 2, second));
    EXPECT_EQ(player.mode(), 1) << "loading stops the sound playing";
    EXPECT_EQ(player.Length(), 500);
    this->Advance(50);
    const std::size_t start = this->FramesOut();
    ASSERT_EQ(player.Play(), 1);
    ExpectStopAt(this->PollUntilStopped(player, 1500, 1000), 1000);
    for (std::size_t f = 0; f < second.size() / 4; ++f) {
        ASSERT_EQ(this->output[2 * (start + f)], Expected16(second, 2 * f)) << f;
    }
    for (std::size_t f = start + second.size() / 4; f < this->FramesOut(); ++f) {
        ASSERT_EQ(this->output[2 * f], 0.0f) << f;
    }

    // Another format, then the same name again: loaded once, playing.
    const std::string mono = this->Wave("mono8.wav", 22050, 8, 1, dstest::Noise8(1, 22050, 7));
    player.SetFileName(mono);
    player.SetFileName(mono);
    EXPECT_EQ(player.Freq(), 22050);
    EXPECT_EQ(player.Length(), 1000);
    EXPECT_EQ(player.Play(), 1);
    player.StopIO();

    // After CloseWave the player is as before InitDS; the same file loads again.
    player.CloseWave();
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Play(), 0);
    ASSERT_EQ(player.InitDS(nullptr, 0), 1);
    player.SetFileName(mono);
    EXPECT_EQ(player.FileName(), mono);
    EXPECT_EQ(player.Play(), 1);
    player.CloseWave();
}

TYPED_TEST(DSoundPlayback, FilesThePlayersCannotPlayLeaveThemUnloaded)
{
    TypeParam player;
    EXPECT_EQ(player.mode(), 1);
    player.InitDS(nullptr, 0);
    const std::string notWave = this->folder.Write("text.wav", "not a wave file at all, just words");
    const std::string wide = this->Wave("24.wav", this->Rate, 24, 2, testsupport::Bytes(6000, 1));
    const std::string surround = this->Wave("six.wav", this->Rate, 16, 6, testsupport::Bytes(12000, 1));
    const std::string extensible = this->folder / "ext.wav";
    testsupport::RiffFileBuilder()
        .FormatExtensible(2, this->Rate, 16)
        .Data(testsupport::Bytes(4000, 1))
        .WriteTo(extensible);
    for (const std::string& path : {this->folder / "missing.wav", notWave, wide, surround, extensible}) {
        SCOPED_TRACE(path);
        player.SetFileName(path);
        EXPECT_EQ(player.Play(), 0);
        EXPECT_EQ(player.mode(), 1);
    }
    EXPECT_NE(this->LogText().find("not a PCM wave file of 8 or 16 bits with 1 or 2 channels: " + surround),
              std::string::npos);

    // A file that went away between loading and playing does not start.
    const std::string gone = this->Wave("gone.wav", this->Rate, 16, 2, dstest::Noise16(2, 1000, 1));
    player.SetFileName(gone);
    std::filesystem::remove(gone);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);
    EXPECT_NE(this->LogText().find("ReadFileAt (Play) Failed " + gone), std::string::npos);
}

TYPED_TEST(DSoundPlayback, AnEightBitFileCutShortWhilePlayingEndsInSilenceNotAThump)
{
    TypeParam player;
    player.InitDS(nullptr, 0);
    const std::size_t frames = 3 * this->Rate;
    const auto bytes = dstest::Noise8(1, frames, 8);
    const std::string path = this->Wave("cut.wav", this->Rate, 8, 1, bytes);
    player.SetFileName(path);
    const std::size_t start = this->FramesOut();
    ASSERT_EQ(player.Play(), 1);
    // Two units are in the buffer; the file now ends within them.
    std::filesystem::resize_file(path, 44 + 72000);
    ExpectStopAt(this->PollUntilStopped(player, 3500, 3000), 3000);
    for (std::size_t f = 0; f < 96000; ++f) {
        ASSERT_EQ(this->output[2 * (start + f)], Expected8(bytes, f)) << f;
    }
    for (std::size_t f = start + 96000; f < this->FramesOut(); ++f) {
        ASSERT_EQ(this->output[2 * f], 0.0f) << f;
    }
}

} // namespace
