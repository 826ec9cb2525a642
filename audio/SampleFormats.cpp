#include "audio/SampleFormats.h"

#include "platform/base/Numbers.h"

#include <algorithm>

namespace WaveMMIO {

namespace {

std::int32_t Unpack(const std::uint8_t* bytes)
{
    const std::int32_t value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16);
    return value > Max24 ? value - 16'777'216 : value;
}

void Pack(std::int32_t value, std::uint8_t* bytes)
{
    const std::int32_t unsignedValue = value < 0 ? value + 16'777'216 : value;
    bytes[0] = static_cast<std::uint8_t>(unsignedValue % 256);
    bytes[1] = static_cast<std::uint8_t>((unsignedValue / 256) % 256);
    bytes[2] = static_cast<std::uint8_t>(unsignedValue / 65536);
}

std::int32_t Limit24(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, Min24, Max24));
}

std::int64_t ScaledRounded(std::int32_t value, float gain)
{
    return numeric::RoundToInt64(static_cast<double>(value) * static_cast<double>(gain));
}

} // namespace

void Unpack24Stereo(std::span<const Frame24Stereo> frames, std::vector<StereoSample>& pairs)
{
    if (pairs.size() != frames.size()) {
        pairs.resize(frames.size());
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        pairs[i].Left = Unpack(frames[i].data());
        pairs[i].Right = Unpack(frames[i].data() + 3);
    }
}

void Pack24Stereo(std::vector<Frame24Stereo>& frames, std::vector<StereoSample>& pairs)
{
    if (frames.size() != pairs.size()) {
        frames.resize(pairs.size());
    }
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        pairs[i].Left = Limit24(pairs[i].Left);
        pairs[i].Right = Limit24(pairs[i].Right);
        Pack(pairs[i].Left, frames[i].data());
        Pack(pairs[i].Right, frames[i].data() + 3);
    }
}

void Unpack24Mono(std::span<const Sample24> packed, std::vector<std::int32_t>& samples)
{
    if (samples.size() != packed.size()) {
        samples.resize(packed.size());
    }
    for (std::size_t i = 0; i < packed.size(); ++i) {
        samples[i] = Unpack(packed[i].data());
    }
}

void Pack24Mono(std::vector<Sample24>& packed, std::vector<std::int32_t>& samples)
{
    if (packed.size() != samples.size()) {
        packed.resize(samples.size());
    }
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = Limit24(samples[i]);
        Pack(samples[i], packed[i].data());
    }
}

std::int32_t Read24Scaled(std::span<const std::uint8_t> bytes, float gain)
{
    if (bytes.size() < 3) {
        return 0;
    }
    const std::int64_t scaled = ScaledRounded(Unpack(bytes.data()), gain);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(scaled, INT32_MIN, INT32_MAX));
}

std::int32_t Write24Clamped(std::int32_t value, std::span<std::uint8_t> bytes, float gain)
{
    if (bytes.size() >= 3) {
        Pack(Limit24(ScaledRounded(value, gain)), bytes.data());
    }
    return 0;
}

int FormatCodeFor(int channels, int bits)
{
    const int column = bits == 8 ? 0 : bits == 16 ? 1 : bits == 24 ? 2 : -1;
    if (column < 0) {
        return -1;
    }
    switch (channels) {
    case 1:
        return column * 2;
    case 2:
        return column * 2 + 1;
    case 6:
        return column == 1 ? 6 : column == 2 ? 8 : -1;
    case 8:
        return column == 1 ? 7 : column == 2 ? 9 : -1;
    default:
        return -1;
    }
}

std::string FormatCodeName(int code)
{
    static constexpr std::array<const char*, FormatCodeCount> names{
        "Mono8bit",    "Stereo8bit",         "Mono16bit",          "Stereo16bit",        "Mono24bit",
        "Stereo24bit", "Surround 5.1 16bit", "Surround 7.1 16bit", "Surround 5.1 24bit", "Surround 7.1 24bit"};
    if (code < 0 || code >= FormatCodeCount) {
        return "";
    }
    return names[static_cast<std::size_t>(code)];
}

} // namespace WaveMMIO
