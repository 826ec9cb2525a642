#include "MpegFileBuilder.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

namespace testsupport {

namespace {

int IndexOf(const std::array<int, 16>& row, int value)
{
    const auto found = std::find(row.begin() + 1, row.end() - 1, value);
    if (found == row.end() - 1) {
        throw std::invalid_argument("no such MPEG value");
    }
    return static_cast<int>(found - row.begin());
}

int BitRateIndex(const MpegFrameSpec& spec)
{
    static constexpr std::array<int, 16> v1l1{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0};
    static constexpr std::array<int, 16> v1l2{0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0};
    static constexpr std::array<int, 16> v1l3{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
    static constexpr std::array<int, 16> v2l1{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0};
    static constexpr std::array<int, 16> v2l23{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    if (spec.Version == 1) {
        return IndexOf(spec.Layer == 1 ? v1l1 : spec.Layer == 2 ? v1l2 : v1l3, spec.KbitPerSecond);
    }
    return IndexOf(spec.Layer == 1 ? v2l1 : v2l23, spec.KbitPerSecond);
}

int RateIndex(const MpegFrameSpec& spec)
{
    const std::array<int, 3> rates = spec.Version == 1   ? std::array<int, 3>{44100, 48000, 32000}
                                     : spec.Version == 2 ? std::array<int, 3>{22050, 24000, 16000}
                                                         : std::array<int, 3>{11025, 12000, 8000};
    const auto found = std::find(rates.begin(), rates.end(), spec.SampleRate);
    if (found == rates.end()) {
        throw std::invalid_argument("no such MPEG sample rate");
    }
    return static_cast<int>(found - rates.begin());
}

std::size_t XingOffset(const MpegFrameSpec& spec)
{
    const bool mono = spec.Mode == 3;
    if (spec.Layer != 3) {
        return 36;
    }
    return spec.Version == 1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
}

void PutBigEndian(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value >> 24);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 16);
    bytes[at + 2] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 3] = static_cast<std::uint8_t>(value);
}

} // namespace

Bytes MpegFrameHeader(const MpegFrameSpec& spec)
{
    const int versionBits = spec.Version == 1 ? 3 : spec.Version == 2 ? 2 : 0;
    const int layerBits = 4 - spec.Layer;
    return Bytes{0xFF, static_cast<std::uint8_t>(0xE0 | versionBits << 3 | layerBits << 1 | 1),
                 static_cast<std::uint8_t>(BitRateIndex(spec) << 4 | RateIndex(spec) << 2),
                 static_cast<std::uint8_t>(spec.Mode << 6)};
}

std::size_t MpegFrameBytes(const MpegFrameSpec& spec)
{
    const long bitsPerSecond = spec.KbitPerSecond * 1000L;
    if (spec.Layer == 1) {
        return static_cast<std::size_t>(12 * bitsPerSecond / spec.SampleRate * 4);
    }
    const long factor = spec.Layer == 3 && spec.Version != 1 ? 72 : 144;
    return static_cast<std::size_t>(factor * bitsPerSecond / spec.SampleRate);
}

MpegFileBuilder& MpegFileBuilder::Id3v2(std::uint32_t bodyBytes)
{
    Bytes tag{'I', 'D', '3', 3, 0, 0};
    tag.push_back(static_cast<std::uint8_t>((bodyBytes >> 21) & 0x7F));
    tag.push_back(static_cast<std::uint8_t>((bodyBytes >> 14) & 0x7F));
    tag.push_back(static_cast<std::uint8_t>((bodyBytes >> 7) & 0x7F));
    tag.push_back(static_cast<std::uint8_t>(bodyBytes & 0x7F));
    tag.resize(10 + bodyBytes, 0);
    // A text frame, as real tags carry, so the tag is not all padding.
    if (bodyBytes >= 20) {
        using namespace std::string_view_literals;
        constexpr std::string_view title = "TIT2\0\0\0\x05\0\0\0Song"sv;
        std::copy(title.begin(), title.end(), tag.begin() + 10);
    }
    return Raw(tag);
}

MpegFileBuilder& MpegFileBuilder::Frames(const MpegFrameSpec& spec, int count)
{
    Bytes frame = MpegFrameHeader(spec);
    frame.resize(MpegFrameBytes(spec), 0);
    for (int i = 0; i < count; ++i) {
        Raw(frame);
    }
    return *this;
}

MpegFileBuilder& MpegFileBuilder::XingFrame(const MpegFrameSpec& spec, std::uint32_t frameCount)
{
    Bytes frame = MpegFrameHeader(spec);
    frame.resize(MpegFrameBytes(spec), 0);
    const std::size_t at = XingOffset(spec);
    std::copy_n("Xing", 4, frame.begin() + static_cast<std::ptrdiff_t>(at));
    PutBigEndian(frame, at + 4, 1); // frames field present
    PutBigEndian(frame, at + 8, frameCount);
    return Raw(frame);
}

MpegFileBuilder& MpegFileBuilder::FrameCountFrame(const MpegFrameSpec& spec, std::uint32_t frameCount,
                                                  std::string_view id)
{
    Bytes frame = MpegFrameHeader(spec);
    frame.resize(MpegFrameBytes(spec), 0);
    if (id == "VBRI") {
        constexpr std::size_t at = 36;
        std::copy_n("VBRI", 4, frame.begin() + at);
        frame[at + 5] = 1; // version
        PutBigEndian(frame, at + 14, frameCount);
        return Raw(frame);
    }
    const std::size_t at = XingOffset(spec);
    std::copy(id.begin(), id.end(), frame.begin() + static_cast<std::ptrdiff_t>(at));
    PutBigEndian(frame, at + 4, 1); // frames field present
    PutBigEndian(frame, at + 8, frameCount);
    return Raw(frame);
}

MpegFileBuilder& MpegFileBuilder::Id3v2Holding(const Bytes& body)
{
    const auto size = static_cast<std::uint32_t>(body.size());
    Bytes tag{'I', 'D', '3', 3, 0, 0};
    tag.push_back(static_cast<std::uint8_t>((size >> 21) & 0x7F));
    tag.push_back(static_cast<std::uint8_t>((size >> 14) & 0x7F));
    tag.push_back(static_cast<std::uint8_t>((size >> 7) & 0x7F));
    tag.push_back(static_cast<std::uint8_t>(size & 0x7F));
    tag.insert(tag.end(), body.begin(), body.end());
    return Raw(tag);
}

MpegFileBuilder& MpegFileBuilder::TrailingTag()
{
    Bytes tag(128, 0);
    std::copy_n("TAGSong title", 13, tag.begin());
    return Raw(tag);
}

MpegFileBuilder& MpegFileBuilder::Raw(const Bytes& bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

void MpegFileBuilder::WriteTo(const std::string& path) const
{
    WriteFile(path, bytes_);
}

} // namespace testsupport
