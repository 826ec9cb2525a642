// Every back-end plays what the file holds when it is pressed: a file larger
// than what is read ahead of its sound, and a file replaced under its name
// since the player last loaded it.
#include "GraphBackends.h"
#include "GraphPlayerFixture.h"

#include "audio/C_DSound.h"
#include "audio/C_WaveOut.h"
#include "audio/DSDeviceList.h"
#include "platform/audio/ReadAhead.h"
#include "support/GraphOfPlayer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace {

// The back-ends as the engine numbers them, each on "Null 1".
std::vector<graphtest::Backend> Backends(bool graphsOnly)
{
    std::vector<graphtest::Backend> all = graphtest::GraphBackends();
    if (!graphsOnly) {
        all.push_back({"DirectSound", [] {
                           auto player = std::make_unique<C_DSound>();
                           player->InitDS(nullptr, 0);
                           return player;
                       }});
        all.push_back({"waveOut", [] {
                           auto player = std::make_unique<C_WaveOut>();
                           player->SetDeviceID(1);
                           player->Init();
                           return player;
                       }});
    }
    return all;
}

// The engine's tick: every player is polled, whichever kind it is.
struct Polled {
    Player& player;
    platform::audio::MediaGraph* MediaGraphInUse() const { return testsupport::GraphOfPlayer(player); }
    std::int32_t Position() { return player.Position(); }
    std::int32_t mode()
    {
        player.ProgressionPlay();
        return player.mode();
    }
};

class PlayersFileContent : public graphtest::GraphPlayerFixture {
protected:
    void SetUp() override
    {
        GraphPlayerFixture::SetUp();
        FCT_EnumDS::EnumDSDevices();
    }
    void TearDown() override
    {
        GraphPlayerFixture::TearDown();
        FCT_EnumDS::EnumDSDevices();
    }

    // Plays from fromMs for ms and expects those frames of the noise whole
    // (after its first 64, which the fade of the stop before may overlap).
    void ExpectPlays(Player& player, int fromMs, int ms)
    {
        Played(1);
        player.SetFromMS(fromMs);
        ASSERT_EQ(player.Play(), 1);
        Polled polled{player};
        Tick(polled, ms + 300);
        player.StopIO();
        const std::vector<float> played = Played(1);
        const auto first = static_cast<std::size_t>(fromMs) * Rate / 1000 + 64;
        const auto frames = static_cast<std::size_t>(ms) * Rate / 1000 - 64;
        const std::size_t at = Find(played, Noise(), first, 64);
        ASSERT_NE(at, std::string::npos) << "the sound from " << fromMs << " ms is not heard";
        ASSERT_GE(played.size() / 2, at + frames) << "cut";
        EXPECT_TRUE(std::equal(played.begin() + static_cast<std::ptrdiff_t>(2 * at),
                               played.begin() + static_cast<std::ptrdiff_t>(2 * (at + frames)),
                               Noise().begin() + static_cast<std::ptrdiff_t>(2 * first)))
            << "other frames than the file's from " << fromMs << " ms";
    }
};

TEST_F(PlayersFileContent, AFileLargerThanTheReadAheadPlaysWhereverItIsPlayedFrom)
{
    constexpr double seconds = 1.5 * platform::audio::media::ReadAheadBytes / (Rate * 4);
    const std::string path = NoiseWave("large.wav", seconds);
    for (const graphtest::Backend& backend : Backends(true)) {
        SCOPED_TRACE(backend.name);
        auto player = backend.make();
        player->SetFileName(path);
        ASSERT_EQ(player->Length(), static_cast<std::int32_t>(seconds * 1000));
        // Its start, a replay once it was read far ahead, its end, its start again.
        ExpectPlays(*player, 0, 500);
        ExpectPlays(*player, 0, 500);
        ExpectPlays(*player, static_cast<int>(seconds * 1000) - 800, 500);
        ExpectPlays(*player, 0, 500);
    }
}

TEST_F(PlayersFileContent, AFileReplacedUnderItsNamePlaysItsNewSoundWhole)
{
    const std::string path = folder / "replaced.wav";
    for (const graphtest::Backend& backend : Backends(false)) {
        SCOPED_TRACE(backend.name);
        std::filesystem::rename(NoiseWave("first.wav", 1.0, 1), path);
        auto player = backend.make();
        player->SetFileName(path);
        ExpectPlays(*player, 0, 1000);
        // A longer version, then one as long with other frames and a later time.
        for (const std::uint32_t seed : {2U, 3U}) {
            std::filesystem::rename(NoiseWave("update.wav", 1.5, seed), path);
            std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(seed));
            player->SetFileName(path);
            EXPECT_EQ(player->Length(), 1500);
            ExpectPlays(*player, 0, 1500);
        }
        player->CloseWave();
    }
}

} // namespace
