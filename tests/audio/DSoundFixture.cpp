#include "DSoundFixture.h"

#include <filesystem>

namespace dstest {

std::string DSoundFixture::LogText() const
{
    std::string text;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path() + "log", error)) {
        text += testsupport::ReadText(entry.path().string());
    }
    return text;
}

namespace {

std::uint32_t Next(std::uint32_t& state)
{
    state = state * 1664525U + 1013904223U;
    return state >> 16;
}

} // namespace

testsupport::Bytes Noise16(int channels, std::size_t frames, std::uint32_t seed)
{
    testsupport::Bytes bytes;
    std::uint32_t state = seed * 2654435761U + 7;
    for (std::size_t i = 0; i < frames * static_cast<std::size_t>(channels); ++i) {
        // Never silent, so a sample lost or played twice shows.
        std::uint32_t value = Next(state) & 0xFFFFU;
        if (value == 0) {
            value = 1;
        }
        testsupport::PutU16(bytes, value);
    }
    return bytes;
}

testsupport::Bytes Noise8(int channels, std::size_t frames, std::uint32_t seed)
{
    testsupport::Bytes bytes;
    std::uint32_t state = seed * 2654435761U + 11;
    for (std::size_t i = 0; i < frames * static_cast<std::size_t>(channels); ++i) {
        auto value = static_cast<std::uint8_t>(Next(state));
        bytes.push_back(value == 128 ? std::uint8_t{129} : value);
    }
    return bytes;
}

testsupport::Bytes Constant16(const std::vector<std::int16_t>& frame, std::size_t frames)
{
    testsupport::Bytes bytes;
    for (std::size_t f = 0; f < frames; ++f) {
        for (const std::int16_t value : frame) {
            testsupport::PutU16(bytes, static_cast<std::uint16_t>(value));
        }
    }
    return bytes;
}

float Expected16(const testsupport::Bytes& bytes, std::size_t index)
{
    const auto value = static_cast<std::int16_t>(bytes[2 * index] | (bytes[2 * index + 1] << 8));
    return static_cast<float>(value) / 32768.0f;
}

float Expected8(const testsupport::Bytes& bytes, std::size_t index)
{
    return static_cast<float>(bytes[index] - 128) / 128.0f;
}

} // namespace dstest
