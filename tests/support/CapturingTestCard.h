#pragma once

// The tests' paced ALSA device behind ALSA's file plugin, as the program's
// audio system: a stereo card at 48 kHz taking 16-bit samples that plays at
// its own pace and keeps every frame it was given in a raw file. (Header
// only: the support library is linked below the audio layer.)
#include "support/TestAlsaDevice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testsupport {

class CapturingTestCard {
public:
    // Skips the test when the device was not built and fails it when the
    // card does not open; the caller returns when IsSkipped() or HasFatalFailure().
    void Install(const std::string& capturePath)
    {
        if (!TestAlsaDeviceBuilt()) {
            GTEST_SKIP() << "the test ALSA device was not built (" << TestAlsaDevice << ")";
        }
        path_ = capturePath;
        std::string error;
        auto system = platform::audio::AudioSystem::WithAlsaConfiguration(
            TestAlsaConfig("pcm.default { type file slave.pcm { type tolvtest paced 1 formats \"S16_LE\" rate 48000 }"
                           " file \"" +
                           path_ + "\" format \"raw\" }\n"),
            error);
        ASSERT_TRUE(system) << error;
        platform::audio::AudioSystem::Install(std::move(system));
    }
    ~CapturingTestCard() { platform::audio::AudioSystem::Install(nullptr); }

    // What the card was given so far, interleaved.
    std::vector<std::int16_t> Samples() const
    {
        std::ifstream in(path_, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::vector<std::int16_t> samples(bytes.size() / 2);
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }
    // Times a paced card ran dry (the machine held its mixer up), once a
    // device of the module is open.
    long long RanDry() { return controls_.ranDryCount != nullptr || controls_.Find() ? controls_.ranDryCount() : 0; }

private:
    std::string path_;
    TestAlsaControls controls_;
};

// The last play of sound (interleaved stereo, every frame unique) in played,
// told by its frames 64 .. 80 (a fade-in may touch the first ones): how far
// it got in order with nothing but silence put in, and that silence.
struct LastPlay {
    std::size_t frames = 0;
    std::size_t silent = 0;
    std::size_t silentBefore = 0; // the sound's frame the first silence came before
};
inline LastPlay FindLastPlay(const std::vector<std::int16_t>& played, const std::vector<std::int16_t>& sound)
{
    const auto same = [&](std::size_t at, std::size_t frame) {
        return std::memcmp(&played[2 * at], &sound[2 * frame], 4) == 0;
    };
    LastPlay play;
    std::size_t f = played.size() / 2;
    while (f-- > 64 + 16) {
        if (std::equal(&played[2 * (f - 16)], &played[2 * f], &sound[2 * 64])) {
            f -= 16;
            break;
        }
    }
    for (play.frames = 64; f < played.size() / 2 && play.frames < sound.size() / 2; ++f) {
        if (same(f, play.frames)) {
            ++play.frames;
        } else if (played[2 * f] == 0 && played[2 * f + 1] == 0) {
            play.silentBefore = play.silent++ == 0 ? play.frames : play.silentBefore;
        } else {
            break;
        }
    }
    return play;
}

} // namespace testsupport
