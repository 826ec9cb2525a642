#pragma once

#include "support/AudioTestSignals.h"
#include "support/MediaFixture.h"
#include "support/MediaTestFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace graphtest {

// Graph and MCI players on two null devices ("Null 1", "Null 2") on virtual
// time, with sound files made in the test's folder and the day log there.
class GraphPlayerFixture : public audiotest::MediaFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // A wave file of noise, 16-bit stereo at 48 kHz; noise() gives its frames
    // as the device plays them.
    std::string NoiseWave(const std::string& name, double seconds, std::uint32_t seed = 3);
    const std::vector<float>& Noise() const { return noise_; }
    // A wave file of one steady 16-bit level on both channels.
    std::string LevelWave(const std::string& name, double seconds, std::int16_t level);
    // A two-second 441 Hz MP3 at half of full scale, 44.1 kHz stereo.
    std::string SineMp3(const std::string& name);

    // Moves virtual time on by ms while the graph (may be null) decodes ahead,
    // reading position and mode every tickMs as the engine tick does when
    // poll is set.
    template <typename Player> void Tick(Player& player, int ms, int tickMs = 20, bool poll = true)
    {
        for (int done = 0; done < ms; done += tickMs) {
            auto* graph = player.MediaGraphInUse();
            if (graph != nullptr && graph->HasRenderer() && graph->State() != platform::audio::GraphState::Stopped) {
                PlayFor(*graph, tickMs);
            } else {
                clock.Advance(tickMs);
                System().Sync();
            }
            if (poll) {
                player.Position();
                player.mode();
            }
        }
    }

    // The day log's ordinary lines so far.
    std::string DayLog() const;
    // Index of where the frames start in what a device played, or npos.
    static std::size_t Find(const std::vector<float>& played, const std::vector<float>& frames, std::size_t from,
                            std::size_t count);
    // Peak of a channel of the last frames played.
    static float TailPeak(const std::vector<float>& played, std::size_t channel, std::size_t frames);

private:
    std::vector<float> noise_;
};

} // namespace graphtest
