#pragma once

#include "audio/C_WaveOut.h"
#include "platform/audio/AudioSystem.h"
#include "support/AudioTestSignals.h"
#include "support/ClockFixture.h"
#include "support/ScratchFolder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace wavetest {

// Waveout players on four null devices ("Null 1" .. "Null 4", 48 kHz stereo,
// 256-frame periods) on virtual time: nothing sounds until the clock moves and
// a poll lets the devices catch up, and every device keeps what it played.
// The day log's error lines go to the test's own folder.
class WaveOutFixture : public testsupport::ClockFixture {
protected:
    static constexpr int Rate = 48000;
    static constexpr int Period = 256;
    // A page of the default 200 ms at 48 kHz: 9,600 frames rounded down to 256s.
    static constexpr int PageFrames = 9472;

    void SetUp() override;
    void TearDown() override;

    // Installs null devices of another shape instead.
    void UseDevices(int count, int channels);

    // A wave file of the given frames (the bytes of the file's layout).
    std::string WriteWave(const std::string& name, int channels, int bits, const std::vector<std::uint8_t>& samples,
                          int rate = Rate);
    // Noise of frames frames in the layout, different for every seed.
    static std::vector<std::uint8_t> Noise(int channels, int bits, std::size_t frames, std::uint32_t seed);

    // A player on device 1 with a disk cache of four pages, after Init.
    void SetUpPlayer(C_WaveOut& player, int device = 1);

    // Moves virtual time on by ms in ticks of tickMs, polling every player
    // given after each tick as the engine tick does.
    void Run(std::initializer_list<C_WaveOut*> players, int ms, int tickMs = 10);
    // Runs until the player stops (at most limitMs); the virtual ms it took.
    std::int64_t RunUntilStopped(C_WaveOut& player, int limitMs, int tickMs = 10);

    // What device index played since the last call (interleaved stereo).
    std::vector<float> Played(int device);
    // The error log lines written so far.
    std::string ErrorLog() const;

    testsupport::ScratchFolder folder;
    std::vector<std::string> messageBoxes;
};

// The sample of a 16-bit value as a device plays it.
inline float Float16(int value)
{
    return static_cast<float>(value) / 32768.0f;
}

} // namespace wavetest
