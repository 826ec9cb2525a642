#include "GraphPlayerFixture.h"

#include "foundation/ModuleValues.h"
#include "platform/audio/MediaGraph.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace graphtest {

void GraphPlayerFixture::SetUp()
{
    MediaFixture::SetUp();
    basic::LogError = 1;
    basic::LogFolder = folder.Folder("log");
}

void GraphPlayerFixture::TearDown()
{
    basic::LogError = 0;
    basic::LogFolder.clear();
    platform::audio::MediaGraph::SetPrerollLimitMs(0);
    MediaFixture::TearDown();
}

std::string GraphPlayerFixture::NoiseWave(const std::string& name, double seconds, std::uint32_t seed)
{
    const platform::audio::StreamFormat format{Rate, 16, 2};
    const auto bytes = audiotest::NoiseBytes(format, static_cast<std::size_t>(seconds * Rate), seed);
    noise_ = audiotest::ExpectedFloats(format, bytes);
    const std::string path = folder / name;
    testsupport::WriteWave(path, Rate, 16, 2, bytes);
    return path;
}

std::string GraphPlayerFixture::LevelWave(const std::string& name, double seconds, std::int16_t level)
{
    const std::string path = folder / name;
    testsupport::WriteWave(path, Rate, 16, 2,
                           audiotest::Constant16(2, static_cast<std::size_t>(seconds * Rate), level));
    return path;
}

std::string GraphPlayerFixture::SineMp3(const std::string& name)
{
    const std::string wave = folder / (name + ".source.wav");
    const std::string mp3 = folder / name;
    testsupport::WriteWave(wave, 44100, 16, 2, testsupport::SineSamples16(44100, 2, 2 * 44100, 441.0, 0.5));
    EXPECT_TRUE(testsupport::EncodeMp3(wave, mp3));
    return mp3;
}

std::string GraphPlayerFixture::DayLog() const
{
    std::string text;
    for (const auto& entry : std::filesystem::directory_iterator(basic::LogFolder)) {
        if (entry.path().extension() == ".log") {
            std::ifstream file(entry.path(), std::ios::binary);
            std::stringstream content;
            content << file.rdbuf();
            text += content.str();
        }
    }
    return text;
}

std::size_t GraphPlayerFixture::Find(const std::vector<float>& played, const std::vector<float>& frames,
                                     std::size_t from, std::size_t count)
{
    const auto first = frames.begin() + static_cast<std::ptrdiff_t>(2 * from);
    const auto at = std::search(played.begin(), played.end(), first, first + static_cast<std::ptrdiff_t>(2 * count));
    return at == played.end() ? std::string::npos : static_cast<std::size_t>(at - played.begin()) / 2;
}

float GraphPlayerFixture::TailPeak(const std::vector<float>& played, std::size_t channel, std::size_t frames)
{
    float peak = 0.0f;
    const std::size_t total = played.size() / 2;
    for (std::size_t f = total > frames ? total - frames : 0; f < total; ++f) {
        peak = std::max(peak, std::abs(played[2 * f + channel]));
    }
    return peak;
}

} // namespace graphtest
