#include "audio/MpegHeader.h"

#include "audio/MpegFrameHeader.h"
#include "audio/RateText.h"
#include "foundation/Paths.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

namespace FCT_mpeg {

namespace {

constexpr std::int64_t MaxLong = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t SmallestFile = 48;
constexpr std::int64_t Window = 1000;
// A frame header lies near the start (after the tags skipped below); a file
// without one is not searched to its end, which would stall the caller on a
// large foreign file. The player then tells its length.
constexpr std::int64_t MaxSearchBytes = 1 << 20;
constexpr std::int64_t TailBytes = 1024;
constexpr std::int64_t Id3HeaderBytes = 10;

std::int32_t ToLong(std::int64_t value)
{
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(), MaxLong));
}

bool EndsWithMp3(std::string_view fileName)
{
    return basic::LowerAscii(fileName.substr(fileName.size() >= 3 ? fileName.size() - 3 : 0)) == "mp3";
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view text)
{
    return bytes.size() >= text.size() &&
           std::equal(text.begin(), text.end(), bytes.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// A second header byte that can begin a frame: MPEG-1 or MPEG-2 (MPEG-2.5 is
// not read), and not 0xFF in a file named ".mp3", where that is fill.
bool CanBeSecondByte(std::uint8_t value, bool namedMp3)
{
    return value >= 0xF0 && !(value == 0xFF && namedMp3);
}

struct SearchStart {
    std::int64_t Offset = 0;
    std::optional<std::int64_t> HeaderAt; // found without a search
    std::optional<std::uint8_t> RequiredSecondByte;
};

SearchStart ChooseSearchStart(std::span<const std::uint8_t> head, bool namedMp3)
{
    SearchStart start;
    if (StartsWith(head, "TAG")) {
        start.Offset = 128;
    } else if (StartsWith(head, "ID3")) {
        // The size is 28 bits, 7 in each byte, and leaves out the 10-byte tag
        // header (and a footer of 10 more when flagged): the search starts right
        // after the tag, so tag bytes are never mistaken for a frame.
        const std::int64_t size =
            (head[6] & 0x7F) << 21 | (head[7] & 0x7F) << 14 | (head[8] & 0x7F) << 7 | (head[9] & 0x7F);
        const bool footer = (head[5] & 0x10) != 0;
        start.Offset = Id3HeaderBytes + size + (footer ? Id3HeaderBytes : 0);
    } else if (head[0] == 0xFF && CanBeSecondByte(head[1], namedMp3)) {
        if (head[2] != 0xFF) {
            start.HeaderAt = 0;
        } else {
            start.RequiredSecondByte = head[1];
        }
    }
    return start;
}

std::optional<std::int64_t> SearchHeader(audiofile::SoundFileSource& file, SearchStart& start, bool namedMp3)
{
    if (start.HeaderAt) {
        return start.HeaderAt;
    }
    const std::int64_t size = file.Size();
    // Two bytes beyond each window let a header at its last bytes be seen whole.
    std::vector<std::uint8_t> window;
    for (std::int64_t from = start.Offset; from < size && from - start.Offset < MaxSearchBytes; from += Window) {
        window.resize(static_cast<std::size_t>(std::min(Window + 2, size - from)));
        if (!file.ReadAt(from, window)) {
            return std::nullopt;
        }
        for (std::size_t i = 0; i < static_cast<std::size_t>(Window) && i + 2 < window.size(); ++i) {
            if (window[i] != 0xFF) {
                continue;
            }
            if (start.RequiredSecondByte) {
                if (window[i + 1] == *start.RequiredSecondByte && window[i + 2] != 0xFF) {
                    return from + static_cast<std::int64_t>(i);
                }
            } else if (CanBeSecondByte(window[i + 1], namedMp3)) {
                if (window[i + 2] != 0xFF) {
                    return from + static_cast<std::int64_t>(i);
                }
                start.RequiredSecondByte = window[i + 1];
            }
        }
    }
    return std::nullopt;
}

// Bytes from the header up to a trailing "TAG" block, else to the end.
std::int64_t CountAudioBytes(audiofile::SoundFileSource& file, std::int64_t header)
{
    const std::int64_t size = file.Size();
    const std::int64_t tailStart = size - std::min(size, TailBytes);
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(size - tailStart));
    if (file.ReadAt(tailStart, tail)) {
        static constexpr std::array<std::uint8_t, 3> tag{'T', 'A', 'G'};
        const auto found = std::search(tail.begin(), tail.end(), tag.begin(), tag.end());
        if (found != tail.end()) {
            const std::int64_t bytes = tailStart + (found - tail.begin()) - header;
            if (bytes >= 4) {
                return bytes;
            }
        }
    }
    return size - header;
}

// The frame count of a Xing header at the frame's side information; empty when
// there is none, its count is missing or it is 0 (the file then reads as
// constant bit rate).
std::optional<std::int32_t> ReadXingFrames(audiofile::SoundFileSource& file, std::int64_t header,
                                           const FrameHeader& frame)
{
    std::array<std::uint8_t, 12> xing{};
    if (!file.ReadAt(header + XingOffset(frame), xing) || !StartsWith(xing, "Xing")) {
        return std::nullopt;
    }
    const auto bigEndian = [&](std::size_t at) {
        return static_cast<std::uint32_t>(xing[at]) << 24 | static_cast<std::uint32_t>(xing[at + 1]) << 16 |
               static_cast<std::uint32_t>(xing[at + 2]) << 8 | xing[at + 3];
    };
    constexpr std::uint32_t framesPresent = 1;
    const std::uint32_t frames = bigEndian(8);
    if ((bigEndian(4) & framesPresent) == 0 || frames == 0 || frames > static_cast<std::uint32_t>(MaxLong)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(frames);
}

const char* LongModeWord(std::int32_t mode)
{
    static constexpr std::array<const char*, 4> words{"Stereo", "JointStereo", "DualChannel", "Mono"};
    return words[static_cast<std::size_t>(mode & 3)];
}

const char* ShortModeWord(std::int32_t mode)
{
    static constexpr std::array<const char*, 4> words{"ST", "JS", "DC", "Mono"};
    return words[static_cast<std::size_t>(mode & 3)];
}

void DescribeIn(MpegInfo& info)
{
    const std::string layer = "mp" + std::to_string(info.Layer) + "(";
    info.ShortText = layer + audiofile::RateInKilohertz(info.SampleRate) + "kHz/" + std::to_string(info.BitRate) +
                     "kb/" + ShortModeWord(info.ChannelMode) + ")";
    info.LongText = layer + std::to_string(info.SampleRate) + "Hz/" + std::to_string(info.BitRate) + "kbps" +
                    (info.IsVBR == 1 ? "[VBR]" : "") + "/" + LongModeWord(info.ChannelMode) + ")";
}

} // namespace

std::int32_t GetMpegInfo(audiofile::SoundFileSource& file, std::string_view fileName, MpegInfo& info)
{
    info = MpegInfo{};
    const bool namedMp3 = EndsWithMp3(fileName);
    const std::int64_t size = file.Size();
    if (size < SmallestFile) {
        return 0;
    }
    info.FileSize = ToLong(size);
    std::array<std::uint8_t, SmallestFile> head{};
    if (!file.ReadAt(0, head)) {
        return 0;
    }
    SearchStart start = ChooseSearchStart(head, namedMp3);
    const std::optional<std::int64_t> header = SearchHeader(file, start, namedMp3);
    std::array<std::uint8_t, 4> headerBytes{};
    if (!header || !file.ReadAt(*header, headerBytes)) {
        return 0;
    }
    info.HeaderPos = ToLong(*header + 1);
    std::copy(headerBytes.begin() + 1, headerBytes.end(), info.HeaderBytes.begin());

    info.AudioBytes = ToLong(CountAudioBytes(file, *header));
    info.EndPos = ToLong(static_cast<std::int64_t>(info.AudioBytes) + info.HeaderPos - 1);

    const std::optional<FrameHeader> frame = DecodeFrameHeader(info.HeaderBytes);
    if (!frame) {
        return 0;
    }
    info.Layer = frame->Layer;
    info.IsLSF = frame->IsLSF;
    info.BitRate = frame->BitRate;
    info.SampleRate = frame->SampleRate;
    info.ChannelMode = frame->ChannelMode;
    info.Channels = frame->ChannelMode == 3 ? 1 : 2;

    if (const std::optional<std::int32_t> frames = ReadXingFrames(file, *header, *frame)) {
        info.IsVBR = 1;
        info.VbrFrames = *frames;
        const double samples = static_cast<double>(*frames) * SamplesPerFrame(*frame);
        info.LengthMS = ToLong(numeric::RoundToInt64(samples / (info.SampleRate / 1000.0)));
        info.BitRate = ToLong(numeric::RoundToInt64(static_cast<double>(info.AudioBytes) * 8.0 / info.LengthMS));
    } else {
        info.LengthMS = ToLong(numeric::RoundToInt64(static_cast<double>(info.AudioBytes) / (info.BitRate / 8.0)));
    }
    info.BufferBytes = ToLong(numeric::RoundToInt64(3456.0 / info.SampleRate * info.BitRate * 125.0));
    DescribeIn(info);
    return 1;
}

std::int32_t GetMpegInfo(std::string_view fileName, MpegInfo& info, int handle)
{
    audiofile::SoundFileSource file(fileName, handle);
    if (!file.IsOpen()) {
        info = MpegInfo{};
        return 0;
    }
    return GetMpegInfo(file, fileName, info);
}

std::int32_t BinStrToLong(std::string_view text)
{
    std::uint32_t value = 0;
    for (const char c : text) {
        value = value << 1 | (c == '1' ? 1U : 0U);
    }
    return static_cast<std::int32_t>(value);
}

} // namespace FCT_mpeg
