#include "support/MediaFixture.h"

#include "platform/audio/MciCommands.h"
#include "platform/audio/NullInput.h"
#include "support/AudioTestSignals.h"
#include "support/MediaTestFiles.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::audio;

class MciDevices : public audiotest::MediaFixture {
protected:
    std::int64_t Status(int id, mci::StatusItem item)
    {
        std::int64_t value = -1;
        EXPECT_EQ(mci::Status(id, item, value), mci::Ok);
        return value;
    }
    MciMode Mode(int id) { return static_cast<MciMode>(Status(id, mci::StatusItem::Mode)); }
    // Lets the device play for ms of virtual time.
    void PlayFor(int id, int ms)
    {
        MciDevice* device = mci::Device(id);
        ASSERT_TRUE(device != nullptr && device->Graph() != nullptr);
        MediaFixture::PlayFor(*device->Graph(), ms);
    }
    std::string Wave(double seconds)
    {
        const std::string path = folder / "sound.wav";
        testsupport::WriteWave(path, Rate, 16, 2,
                               audiotest::Constant16(2, static_cast<std::size_t>(seconds * Rate), 8000));
        return path;
    }
};

TEST_F(MciDevices, ASoundFileGoesThroughTheModesAndStopsAtItsEndPoint)
{
    int result = -1;
    const int id = mci::OpenFile(Wave(2.0), &result);
    ASSERT_GT(id, 0);
    EXPECT_EQ(result, mci::Ok);
    EXPECT_EQ(Status(id, mci::StatusItem::Length), 2000);
    EXPECT_EQ(Mode(id), MciMode::Stopped);
    EXPECT_EQ(Status(id, mci::StatusItem::Position), 0);

    ASSERT_EQ(mci::Play(id, 500, 1500), mci::Ok);
    EXPECT_EQ(Mode(id), MciMode::Playing);
    EXPECT_EQ(Status(id, mci::StatusItem::Position), 500);
    PlayFor(id, 300);
    EXPECT_NEAR(static_cast<double>(Status(id, mci::StatusItem::Position)), 800.0, 6.0);
    ASSERT_EQ(mci::Pause(id), mci::Ok);
    EXPECT_EQ(Mode(id), MciMode::Paused);
    const std::int64_t pausedAt = Status(id, mci::StatusItem::Position);
    PlayFor(id, 200);
    EXPECT_EQ(Status(id, mci::StatusItem::Position), pausedAt);
    // Resuming without points plays on from where it paused.
    ASSERT_EQ(mci::Play(id, std::nullopt, 1500), mci::Ok);
    EXPECT_EQ(Mode(id), MciMode::Playing);
    PlayFor(id, 800);
    // At its end point the device stops by itself and stays there.
    EXPECT_EQ(Mode(id), MciMode::Stopped);
    EXPECT_EQ(Status(id, mci::StatusItem::Position), 1500);

    ASSERT_EQ(mci::Play(id, 0, 2000), mci::Ok);
    PlayFor(id, 100);
    ASSERT_EQ(mci::Stop(id), mci::Ok);
    EXPECT_EQ(Mode(id), MciMode::Stopped);
    EXPECT_NEAR(static_cast<double>(Status(id, mci::StatusItem::Position)), 100.0, 6.0);

    EXPECT_EQ(mci::Play(id, 2500, std::nullopt), mci::OutOfRange);
    EXPECT_EQ(mci::Play(id, 1000, 500), mci::OutOfRange);
    EXPECT_EQ(mci::Record(id), mci::UnsupportedFunction);
    ASSERT_EQ(mci::Close(id), mci::Ok);
    std::int64_t value = 0;
    EXPECT_EQ(mci::Status(id, mci::StatusItem::Mode, value), mci::InvalidDeviceId);
    EXPECT_EQ(mci::Play(id, 0, 100), mci::InvalidDeviceId);
    EXPECT_EQ(mci::Close(id), mci::InvalidDeviceId);
}

TEST_F(MciDevices, IdentifiersAreNeverGivenTwice)
{
    const std::string path = Wave(0.1);
    const int first = mci::OpenFile(path);
    ASSERT_GT(first, 0);
    mci::Close(first);
    const int second = mci::OpenFile(path);
    EXPECT_GT(second, first);
    mci::Close(second);
}

TEST_F(MciDevices, MissingAndUnplayableFilesDoNotOpen)
{
    int result = 0;
    EXPECT_EQ(mci::OpenFile(folder / "missing.wav", &result), 0);
    EXPECT_EQ(result, mci::FileNotFound);
    const std::string junk = folder / "junk.wav";
    testsupport::WriteFile(junk, testsupport::Bytes(4000, 0x11));
    EXPECT_EQ(mci::OpenFile(junk, &result), 0);
    EXPECT_EQ(result, mci::CannotLoadDriver);
    EXPECT_EQ(mci::OpenCount(), 0);
}

TEST_F(MciDevices, TheSoundMovesToAnotherOutputDevice)
{
    const int id = mci::OpenFile(Wave(1.0));
    ASSERT_GT(id, 0);
    ASSERT_EQ(mci::Play(id, 0, 1000), mci::Ok);
    PlayFor(id, 200);
    EXPECT_EQ(mci::SetWaveOutput(id, 9), mci::OutOfRange);
    ASSERT_EQ(mci::SetWaveOutput(id, 2), mci::Ok);
    EXPECT_EQ(Mode(id), MciMode::Playing);
    Played(2);
    PlayFor(id, 200);
    const auto played = Played(2);
    ASSERT_FALSE(played.empty());
    EXPECT_FLOAT_EQ(played[played.size() - 2], 8000.0f / 32768.0f);
    mci::Close(id);
}

TEST_F(MciDevices, ARecordingIsSavedAsAWaveOfTheFormatAskedFor)
{
    const int id = mci::OpenRecording();
    ASSERT_GT(id, 0);
    EXPECT_EQ(Mode(id), MciMode::Stopped);
    // 22.05 kHz, 16 bits, mono: the byte rate and block size must agree.
    EXPECT_EQ(mci::SetWaveFormat(id, 1, 22050, 44100, 3, 16), mci::OutOfRange);
    EXPECT_EQ(mci::SetWaveFormat(id, 1, 22050, 22050, 2, 16), mci::OutOfRange);
    ASSERT_EQ(mci::SetWaveFormat(id, 1, 22050, 44100, 2, 16), mci::Ok);
    ASSERT_EQ(mci::Record(id), mci::Ok);
    EXPECT_EQ(Mode(id), MciMode::Recording);
    // One second of a steady level on both channels of the default input.
    const std::vector<float> input(2 * Rate, 0.25f);
    ASSERT_EQ(System().NullInputDevice(0)->Supply(input), static_cast<std::size_t>(Rate));
    ASSERT_EQ(mci::Stop(id), mci::Ok);
    EXPECT_EQ(Mode(id), MciMode::Stopped);
    EXPECT_EQ(Status(id, mci::StatusItem::Length), 1000);

    const std::string path = folder / "take.wav";
    ASSERT_EQ(mci::Save(id, path), mci::Ok);
    const std::string saved = testsupport::ReadText(path);
    ASSERT_GE(saved.size(), 44U);
    const auto u16 = [&saved](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(saved[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(saved[at + 1])) << 8;
    };
    const auto u32 = [&u16](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    EXPECT_EQ(saved.substr(0, 4), "RIFF");
    const std::size_t format = saved.find("fmt ");
    ASSERT_NE(format, std::string::npos);
    EXPECT_EQ(u16(format + 8), 1U);      // PCM
    EXPECT_EQ(u16(format + 10), 1U);     // mono
    EXPECT_EQ(u32(format + 12), 22050U); // rate
    EXPECT_EQ(u16(format + 22), 16U);    // bits
    const std::size_t data = saved.find("data");
    ASSERT_NE(data, std::string::npos);
    const std::size_t frames = u32(data + 4) / 2;
    EXPECT_NEAR(static_cast<double>(frames), 22050.0, 64.0);
    // Past the resampler's edges the level is the one recorded.
    for (std::size_t f = 1000; f < 21000; f += 997) {
        const auto sample = static_cast<std::int16_t>(u16(data + 8 + 2 * f));
        EXPECT_NEAR(sample, 8192, 2) << f;
    }
    ASSERT_EQ(mci::Close(id), mci::Ok);
}

TEST_F(MciDevices, AnEmptyRecordingSavesAsAnEmptyWave)
{
    const int id = mci::OpenRecording();
    ASSERT_EQ(mci::SetWaveFormat(id, 2, 44100, 176400, 4, 16), mci::Ok);
    ASSERT_EQ(mci::Record(id), mci::Ok);
    ASSERT_EQ(mci::Stop(id), mci::Ok);
    const std::string path = folder / "empty.wav";
    ASSERT_EQ(mci::Save(id, path), mci::Ok);
    EXPECT_EQ(testsupport::ReadText(path).size(), 44U);
    EXPECT_EQ(mci::Save(id, folder / "no-such-folder/x.wav"), mci::CannotSave);
    mci::Close(id);
}

} // namespace
