#pragma once

#include "platform/audio/MediaGraph.h"
#include "support/RiffFileBuilder.h"

#include <cmath>
#include <cstdint>
#include <string>

// Sound files that tests make for themselves: waves built in code, and MP3s
// encoded from them by GStreamer's lamemp3enc through a writer graph.
// (Header only: the support library is linked below the audio layer.)
namespace testsupport {

// 16-bit samples of a sine of frequency hz at amplitude (0..1 of full
// scale) on every channel.
inline Bytes SineSamples16(int rate, int channels, std::size_t frames, double hz, double amplitude)
{
    Bytes bytes;
    bytes.reserve(frames * static_cast<std::size_t>(channels) * 2);
    constexpr double pi = 3.14159265358979323846;
    for (std::size_t f = 0; f < frames; ++f) {
        const double value = amplitude * 32767.0 * std::sin(2.0 * pi * hz * static_cast<double>(f) / rate);
        const auto sample = static_cast<std::int16_t>(std::lround(value));
        for (int c = 0; c < channels; ++c) {
            PutU16(bytes, static_cast<std::uint16_t>(sample));
        }
    }
    return bytes;
}

// A PCM wave file of the given samples.
inline void WriteWave(const std::string& path, int rate, int bits, int channels, const Bytes& samples)
{
    RiffFileBuilder().Format(1, channels, static_cast<std::uint32_t>(rate), bits).Data(samples).WriteTo(path);
}

// Encodes a wave file as a constant-bitrate MP3; true when it was written.
inline bool EncodeMp3(const std::string& wavePath, const std::string& mp3Path, int kilobits = 128)
{
    using platform::audio::PinDirection;
    platform::audio::MediaGraph graph;
    const int source = graph.AddElement("filesrc", "source");
    const int parser = graph.AddElement("wavparse", "parser");
    const int converter = graph.AddElement("audioconvert", "converter");
    const int encoder = graph.AddElement("lamemp3enc", "encoder");
    const int writer = graph.AddElement("filesink", "writer");
    if (writer < 0 || !graph.SetSourceFileName(source, wavePath) || !graph.SetSinkFileName(writer, mp3Path) ||
        !graph.SetProperty(encoder, "target", "bitrate") || !graph.SetProperty(encoder, "cbr", "true") ||
        !graph.SetProperty(encoder, "bitrate", std::to_string(kilobits))) {
        return false;
    }
    const int chain[] = {source, parser, converter, encoder, writer};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i) {
        if (!graph.Connect(chain[i], graph.FirstPin(chain[i], PinDirection::Output), chain[i + 1],
                           graph.FirstPin(chain[i + 1], PinDirection::Input))) {
            return false;
        }
    }
    return graph.Prepare() && graph.RunToEnd(30000);
}

} // namespace testsupport
