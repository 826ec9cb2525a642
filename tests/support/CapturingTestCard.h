#pragma once

// The tests' paced ALSA device behind ALSA's file plugin, installed as the
// program's audio system: it plays at the card's pace, and every frame the
// program gave it is kept in a raw file, read back here as samples. With
// sounds whose every frame is unique, a test walks what was played frame by
// frame against the file. (Header only: the support library is linked below
// the audio layer.)
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
    // A stereo card at rate taking 16-bit samples, or 32-bit ones (wide) that
    // carry a 24-bit sound whole. Skips the test when the device was not
    // built and fails it when the card does not open; the caller returns
    // when IsSkipped() or HasFatalFailure().
    void Install(const std::string& capturePath, int rate, bool wide)
    {
        if (!TestAlsaDeviceBuilt()) {
            GTEST_SKIP() << "the test ALSA device was not built (" << TestAlsaDevice << ")";
        }
        path_ = capturePath;
        wide_ = wide;
        const std::string format = wide ? "S32_LE" : "S16_LE";
        std::string error;
        auto system = platform::audio::AudioSystem::WithAlsaConfiguration(
            TestAlsaConfig("pcm.default { type file slave.pcm { type tolvtest paced 1 formats \"" + format +
                           "\" rate " + std::to_string(rate) + " } file \"" + path_ + "\" format \"raw\" }\n"),
            error);
        ASSERT_TRUE(system) << error;
        platform::audio::AudioSystem::Install(std::move(system));
    }
    ~CapturingTestCard() { platform::audio::AudioSystem::Install(nullptr); }

    // What the card was given so far, one value a sample (a wide card's
    // samples as the 24-bit values they carry).
    std::vector<std::int32_t> Samples() const
    {
        std::ifstream in(path_, std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::vector<std::int32_t> samples;
        const std::size_t width = wide_ ? 4 : 2;
        for (std::size_t i = 0; i + width <= bytes.size(); i += width) {
            if (wide_) {
                std::int32_t value = 0;
                std::memcpy(&value, &bytes[i], 4);
                samples.push_back(value / 256);
            } else {
                std::int16_t value = 0;
                std::memcpy(&value, &bytes[i], 2);
                samples.push_back(value);
            }
        }
        return samples;
    }

    // Times a paced card ran dry for want of frames (the machine held its
    // mixer up), once a device of the module is open.
    long long RanDry()
    {
        return controls_.ranDryCount != nullptr || controls_.Find() ? controls_.ranDryCount() : 0;
    }

private:
    TestAlsaControls controls_;
    std::string path_;
    bool wide_ = false;
};

// One play of a sound found in what a card was given: where it began, how
// far into the sound it got with nothing but silence put in, and the
// silence put in (frames, and the sound's frame it came before).
struct PlayedSound {
    std::size_t at = 0;
    std::size_t reached = 0;
    std::size_t silentFrames = 0;
    std::size_t firstSilenceBefore = 0;
    bool Whole(std::size_t frames) const { return reached == frames && silentFrames == 0; }
};

// Every play of sound (interleaved stereo samples, every frame unique) in
// played, each told by its frames 64 .. 80 (a fade-in may touch the first
// ones); a start written again soon after (queued audio taken back) counts
// once, by its last writing.
inline std::vector<PlayedSound> FindPlays(const std::vector<std::int32_t>& played,
                                          const std::vector<std::int32_t>& sound)
{
    const std::size_t frames = sound.size() / 2;
    const auto same = [&](std::size_t playedFrame, std::size_t soundFrame) {
        return played[2 * playedFrame] == sound[2 * soundFrame] &&
               played[2 * playedFrame + 1] == sound[2 * soundFrame + 1];
    };
    std::vector<std::size_t> starts;
    const std::size_t playedFrames = played.size() / 2;
    for (std::size_t f = 64; frames > 80 && f + 16 <= playedFrames; ++f) {
        std::size_t k = 0;
        while (k < 16 && same(f + k, 64 + k)) {
            ++k;
        }
        if (k == 16) {
            if (!starts.empty() && f - 64 < starts.back() + 16384) {
                starts.back() = f - 64;
            } else {
                starts.push_back(f - 64);
            }
        }
    }
    std::vector<PlayedSound> plays;
    for (std::size_t n = 0; n < starts.size(); ++n) {
        const std::size_t end = n + 1 < starts.size() ? starts[n + 1] : playedFrames;
        PlayedSound play{starts[n], 64, 0, 0};
        std::size_t f = starts[n] + 64;
        while (play.reached < frames && f < end) {
            if (same(f, play.reached)) {
                ++play.reached;
                ++f;
                continue;
            }
            if (played[2 * f] != 0 || played[2 * f + 1] != 0) {
                break;
            }
            if (play.silentFrames == 0) {
                play.firstSilenceBefore = play.reached;
            }
            ++play.silentFrames;
            ++f;
        }
        plays.push_back(play);
    }
    return plays;
}

} // namespace testsupport
