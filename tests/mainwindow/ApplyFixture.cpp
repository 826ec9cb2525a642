#include "ApplyFixture.h"

#include "foundation/Parms.h"
#include "mainwindow/OutputPlayers.h"
#include "platform/audio/AudioSystem.h"
#include "support/AudioTestSignals.h"
#include "support/NullOutputs.h"
#include "support/RiffFileBuilder.h"

namespace shelltest {

using namespace platform::audio;

void ApplyFixture::SetUp()
{
    ShellFixture::SetUp();
    testsupport::InstallNullOutputs(4, 48000, 4);
}

void ApplyFixture::TearDown()
{
    ShellFixture::TearDown();
    OutputPlayers::SetMaker(nullptr);
    parms::WaveDeviceID = {-1, -1, -1, -1};
    parms::DSDeviceIndex = {-1, -1, -1, -1};
    AudioSystem::Install(nullptr);
}

std::string ApplyFixture::ConstantWave(const std::string& path, std::int16_t value)
{
    testsupport::RiffFileBuilder().Format(1, 2, 48000, 16).Data(audiotest::Constant16(2, 96000, value)).WriteTo(path);
    return path;
}

void ApplyFixture::RunPlayers(int ms)
{
    for (int t = 0; t < ms; t += 10) {
        clock.Advance(10);
        for (auto& player : window->State.Players) {
            player->ProgressionPlay();
        }
    }
    AudioSystem::Current().Sync();
}

std::vector<float> ApplyFixture::Played(int device)
{
    NullSink* sink = AudioSystem::Current().NullOutput(device);
    return sink != nullptr ? sink->TakePlayed() : std::vector<float>{};
}

int ApplyFixture::OpenVoices(int device)
{
    const auto owner = AudioSystem::Current().Output(device);
    return owner ? owner->VoiceCount() : -1;
}

} // namespace shelltest
