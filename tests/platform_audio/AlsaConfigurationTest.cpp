// The audio layer pointed at an ALSA configuration of its own (what
// TOLV_ALSA_CONFIG names): its PCMs are the outputs, "default" first, and a
// file that does not load falls back to the sound cards with a log line.
#include "platform/audio/AudioSystem.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"
#include "support/TestAlsaDevice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace platform::audio;

using testsupport::TestAlsaConfig;
constexpr const char* testDevice = testsupport::TestAlsaDevice;

class AlsaConfiguration : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        if (!testsupport::TestAlsaDeviceBuilt()) {
            GTEST_SKIP() << "the test ALSA device was not built (" << testDevice << ")";
        }
        platform::SetLogSink([this](std::string_view text, int) { lines.emplace_back(text); });
    }
    void TearDown() override
    {
        unsetenv("TOLV_ALSA_CONFIG");
        platform::SetLogSink(nullptr);
    }
    static std::string Config()
    {
        return TestAlsaConfig("pcm.studio { type tolvtest formats \"S16_LE\" }\n"
                              "pcm.default { type tolvtest formats \"S32_LE\" }\npcm.booth { type tolvtest }\n");
    }
    std::vector<std::string> lines;
};

TEST_F(AlsaConfiguration, ItsPcmsAreTheOutputsWithTheDefaultFirstAndPlay)
{
    std::string error;
    auto system = AudioSystem::WithAlsaConfiguration(Config(), error);
    ASSERT_TRUE(system) << error;
    ASSERT_EQ(system->OutputCount(), 3);
    EXPECT_EQ(system->OutputName(0), "Default");
    EXPECT_EQ(system->OutputName(1), "studio");
    EXPECT_EQ(system->OutputName(2), "booth");
    EXPECT_FALSE(system->IsNull());
    for (const int index : {-1, 1, 2}) {
        AudioError failure = AudioError::DeviceFailed;
        auto voice = system->OpenVoice(index, StreamFormat{48000, 16, 2}, &failure);
        EXPECT_NE(voice, nullptr) << "output " << index;
        EXPECT_EQ(failure, AudioError::None);
    }
}

TEST_F(AlsaConfiguration, ATextThatDoesNotLoadOrDefinesNoPcmIsRefused)
{
    std::string error;
    EXPECT_FALSE(AudioSystem::WithAlsaConfiguration("pcm.broken { type ", error));
    EXPECT_NE(error.find("snd_config_load failed"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(AudioSystem::WithAlsaConfiguration("ctl.only { type hw card 0 }\n", error));
    EXPECT_EQ(error, "it defines no PCM");
}

TEST_F(AlsaConfiguration, TheEnvironmentNamesTheFileAndAnUnreadableOneIsLogged)
{
    const auto path = std::filesystem::temp_directory_path() / ("tolv-alsa-" + std::to_string(getpid()) + ".conf");
    std::ofstream(path) << Config();
    const char* audio = std::getenv("TOLV_AUDIO");
    const std::string before = audio != nullptr ? audio : "";
    setenv("TOLV_AUDIO", "alsa", 1);
    setenv("TOLV_ALSA_CONFIG", path.c_str(), 1);
    auto system = AudioSystem::FromEnvironment();
    std::filesystem::remove(path);
    ASSERT_TRUE(system);
    EXPECT_EQ(system->OutputName(1), "studio");
    EXPECT_TRUE(lines.empty());

    setenv("TOLV_ALSA_CONFIG", path.c_str(), 1);
    system = AudioSystem::FromEnvironment();
    ASSERT_TRUE(system);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "TOLV_ALSA_CONFIG=" + path.string() + ": the file cannot be read; using the sound cards");
    if (audio != nullptr) {
        setenv("TOLV_AUDIO", before.c_str(), 1);
    } else {
        unsetenv("TOLV_AUDIO");
    }
}

} // namespace
