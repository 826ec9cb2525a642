#include "WaveOutFixture.h"

#include "foundation/ModuleValues.h"
#include "platform/MessageBox.h"
#include "support/RiffFileBuilder.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace wavetest {

using namespace platform::audio;

void WaveOutFixture::SetUp()
{
    UseDevices(4, 2);
    basic::LogError = 1;
    basic::LogFolder = folder.Folder("log");
    platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
        messageBoxes.push_back(request.text);
        return platform::IdOk;
    });
}

void WaveOutFixture::TearDown()
{
    AudioSystem::Install(nullptr);
    platform::SetMessageBoxAnswer(nullptr);
    basic::LogError = 0;
    basic::LogFolder.clear();
}

void WaveOutFixture::UseDevices(int count, int channels)
{
    DeviceOptions options;
    options.rate = Rate;
    options.channels = channels;
    options.periodFrames = Period;
    AudioSystem::Install(AudioSystem::WithNullDevices(count, NullTiming::VirtualClock, options, 12));
}

std::string WaveOutFixture::WriteWave(const std::string& name, int channels, int bits,
                                      const std::vector<std::uint8_t>& samples, int rate)
{
    const std::string path = folder / name;
    testsupport::RiffFileBuilder()
        .Format(1, channels, static_cast<std::uint32_t>(rate), bits)
        .Data(samples)
        .WriteTo(path);
    return path;
}

std::vector<std::uint8_t> WaveOutFixture::Noise(int channels, int bits, std::size_t frames, std::uint32_t seed)
{
    return audiotest::NoiseBytes(StreamFormat{Rate, bits, channels}, frames, seed);
}

void WaveOutFixture::SetUpPlayer(C_WaveOut& player, int device)
{
    player.SetDeviceID(device);
    player.SetNumDiskBufferPages(4);
    player.Init();
}

void WaveOutFixture::Run(std::initializer_list<C_WaveOut*> players, int ms, int tickMs)
{
    for (int t = 0; t < ms; t += tickMs) {
        clock.Advance(tickMs);
        for (C_WaveOut* player : players) {
            player->ProgressionPlay();
        }
    }
    AudioSystem::Current().Sync();
}

std::int64_t WaveOutFixture::RunUntilStopped(C_WaveOut& player, int limitMs, int tickMs)
{
    std::int64_t elapsed = 0;
    while (player.mode() != 1 && elapsed < limitMs) {
        clock.Advance(tickMs);
        elapsed += tickMs;
        player.ProgressionPlay();
    }
    AudioSystem::Current().Sync();
    return elapsed;
}

std::vector<float> WaveOutFixture::Played(int device)
{
    NullSink* sink = AudioSystem::Current().NullOutput(device);
    return sink != nullptr ? sink->TakePlayed() : std::vector<float>{};
}

std::string WaveOutFixture::ErrorLog() const
{
    std::string text;
    for (const auto& entry : std::filesystem::directory_iterator(basic::LogFolder)) {
        if (entry.path().extension() == ".err") {
            std::ifstream file(entry.path(), std::ios::binary);
            std::stringstream content;
            content << file.rdbuf();
            text += content.str();
        }
    }
    return text;
}

} // namespace wavetest
