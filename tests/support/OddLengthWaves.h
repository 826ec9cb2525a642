#pragma once

#include "platform/audio/StreamFormat.h"
#include "support/AudioTestSignals.h"
#include "support/RiffFileBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// Ordinary wave files whose data chunk has an odd number of bytes, padded to
// an even length as RIFF asks, and how to check that a device played exactly
// their samples.
namespace oddwave {

inline constexpr int FileRate = 11025;

struct Shape {
    std::string name;
    int bits = 8;
    std::size_t samples = 0;
    // Another chunk follows the pad byte (else the pad byte ends the file).
    bool chunkAfter = false;
};

inline std::vector<Shape> Shapes()
{
    return {{"8-bit mono", 8, 14333, false},
            {"24-bit mono", 24, 4411, false},
            {"8-bit mono, a list after the data", 8, 14333, true}};
}

struct File {
    std::string path;
    std::vector<float> expected; // one mono sample each, as a device plays it
};

// Mono samples that all sound (never the 8-bit 128 nor 0) and differ from
// their neighbours, so a lost, doubled or extra sample shows.
inline File Write(const std::string& path, const Shape& shape)
{
    testsupport::Bytes bytes;
    for (std::size_t i = 0; i < shape.samples; ++i) {
        if (shape.bits == 8) {
            const auto value = static_cast<std::uint8_t>(1 + (i * 37) % 255);
            bytes.push_back(value == 128 ? 127 : value);
        } else {
            const auto value = static_cast<std::uint32_t>(0x10000 + (i * 7919) % 0xE00000);
            bytes.insert(bytes.end(), {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                       static_cast<std::uint8_t>(value >> 16)});
        }
    }
    testsupport::RiffFileBuilder builder;
    builder.Format(1, 1, FileRate, shape.bits).Data(bytes);
    if (shape.chunkAfter) {
        builder.List("INFO", {testsupport::RiffFileBuilder::SubChunk("INAM", {'o', 'd', 'd', 0})});
    }
    builder.WriteTo(path);
    return {path, audiotest::ExpectedFloats(platform::audio::StreamFormat{FileRate, shape.bits, 1}, bytes)};
}

// A stereo device played the mono samples on both channels, each once and in
// order, and nothing but silence after them (the pad byte would sound as a
// full-scale step).
inline void ExpectPlayedOnce(const std::vector<float>& played, const std::vector<float>& expected)
{
    const auto first = std::find_if(played.begin(), played.end(), [](float v) { return v != 0.0f; });
    const auto start = static_cast<std::size_t>(first - played.begin()) / 2;
    ASSERT_GE(played.size() / 2, start + expected.size()) << "frames missing";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(played[2 * (start + i)], expected[i]) << "frame " << i;
        ASSERT_EQ(played[2 * (start + i) + 1], expected[i]) << "frame " << i;
    }
    const auto after = played.begin() + static_cast<std::ptrdiff_t>(2 * (start + expected.size()));
    EXPECT_TRUE(std::all_of(after, played.end(), [](float v) { return v == 0.0f; })) << "sound after the last sample";
}

} // namespace oddwave
