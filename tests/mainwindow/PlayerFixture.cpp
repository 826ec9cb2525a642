#include "PlayerFixture.h"

#include "support/AudioTestSignals.h"
#include "support/NullOutputs.h"
#include "support/RiffFileBuilder.h"

#include <filesystem>
#include <memory>

namespace shelltest {

using namespace platform::audio;

void PlayerFixture::SetUp()
{
    ShellFixture::SetUp();
    testsupport::InstallNullOutputs(1, 48000, 4);
}

void PlayerFixture::TearDown()
{
    ShellFixture::TearDown();
    AudioSystem::Install(nullptr);
}

std::string PlayerFixture::SoundFile()
{
    const std::string path = program / "sound.wav";
    if (!std::filesystem::exists(path)) {
        testsupport::RiffFileBuilder()
            .Format(1, 2, 48000, 16)
            .Data(audiotest::Constant16(2, 96000, 8000))
            .WriteTo(path);
    }
    return path;
}

C_WaveOut& PlayerFixture::PutPlayer(int slot, bool play)
{
    auto player = std::make_unique<C_WaveOut>();
    player->SetDeviceID(1);
    player->SetNoClose(1);
    player->Init();
    player->SetFileName(SoundFile());
    C_WaveOut& kept = *player;
    window->State.Players.at(static_cast<std::size_t>(slot)) = std::move(player);
    if (play) {
        EXPECT_EQ(kept.Play(), 1);
        clock.Advance(20);
        kept.ProgressionPlay();
        const int output = slot / window->State.PlayersPerOutput;
        window->State.OutputState[static_cast<std::size_t>(output)] = 1;
        window->State.SomethingPlays = 1;
    }
    return kept;
}

int PlayerFixture::OpenVoices()
{
    const auto device = AudioSystem::Current().Output(1);
    return device ? device->VoiceCount() : -1;
}

} // namespace shelltest
