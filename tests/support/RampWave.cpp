#include "support/RampWave.h"

#include "support/RiffFileBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace testsupport {

namespace {

void WriteRamp(const std::string& path, int rate, std::int64_t firstFrame, int frames,
               const std::vector<std::pair<std::uint32_t, std::string>>& cues)
{
    Bytes samples;
    samples.reserve(static_cast<std::size_t>(frames) * 4);
    for (int f = 0; f < frames; ++f) {
        const auto value = static_cast<std::uint16_t>(Ramp(firstFrame + f));
        for (int channel = 0; channel < 2; ++channel) {
            samples.push_back(static_cast<std::uint8_t>(value & 0xFF));
            samples.push_back(static_cast<std::uint8_t>(value >> 8));
        }
    }
    RiffFileBuilder builder;
    builder.Format(1, 2, static_cast<std::uint32_t>(rate), 16).Data(samples).LabelledCues(cues);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    builder.WriteTo(path);
}

} // namespace

void WriteRampWave(const std::string& path, int rate, int frames,
                   const std::vector<std::pair<std::uint32_t, std::string>>& cues)
{
    WriteRamp(path, rate, 0, frames, cues);
}

void WriteRampExcerpt(const std::string& path, int rate, std::int64_t firstFrame, int frames)
{
    WriteRamp(path, rate, firstFrame, frames, {});
}

void ExpectRampUnbroken(const std::vector<float>& played, int output)
{
    const auto value = [](float sample) { return std::lround(sample * 32768.0F); };
    for (std::size_t i = 1; i < played.size(); ++i) {
        const long expected = value(played[i - 1]) == 30000 ? 1 : value(played[i - 1]) + 1;
        ASSERT_EQ(value(played[i]), expected) << "output " << output << " broke off at frame " << i;
    }
}

} // namespace testsupport
