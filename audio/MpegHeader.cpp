#include "audio/MpegHeader.h"

#include "audio/MpegFrameHeader.h"
#include "audio/MpegFrameSearch.h"
#include "audio/RateText.h"
#include "audio/UnusableFormatLog.h"
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
constexpr std::int64_t TailBytes = 1024;

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

// Where a trailing "TAG" block begins: the first "TAG" in the last 1024
// bytes, or the end of the file.
std::int64_t TrailingTagStart(audiofile::SoundFileSource& file)
{
    const std::int64_t size = file.Size();
    const std::int64_t tailStart = size - std::min(size, TailBytes);
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(size - tailStart));
    if (file.ReadAt(tailStart, tail)) {
        static constexpr std::array<std::uint8_t, 3> tag{'T', 'A', 'G'};
        const auto found = std::search(tail.begin(), tail.end(), tag.begin(), tag.end());
        if (found != tail.end()) {
            return tailStart + (found - tail.begin());
        }
    }
    return size;
}

// Bytes from the header up to a trailing "TAG" block, else to the end.
std::int64_t CountAudioBytes(std::int64_t fileSize, std::int64_t tagStart, std::int64_t header)
{
    const std::int64_t bytes = tagStart - header;
    return bytes >= 4 ? bytes : fileSize - header;
}

// What a header of the frame count says: "Xing" (variable bit rate), "Info"
// (the same layout, written for constant bit rate) or "VBRI".
struct FrameCountHeader {
    std::int32_t Frames = 0;
    bool VariableBitRate = false;
    // Samples the encoder added before and after the sound (from its own tag
    // behind the Xing or Info header), which a decoder leaves out.
    std::int32_t SilentSamples = 0;
};

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) << 24 | static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// The encoder delay and end padding an encoder of the LAME family (also the
// libavcodec one) writes after the fields of its Xing or Info header: 12 bits
// each, 21 bytes into its tag. A decoder drops these samples, so a length
// that keeps them reads one or two frames long on a short file.
std::int32_t ReadSilentSamples(audiofile::SoundFileSource& file, std::int64_t xingStart, std::uint32_t flags)
{
    std::int64_t tagStart = xingStart + 8;
    for (const std::int64_t fieldBytes : {4, 4, 100, 4}) {
        if ((flags & 1) != 0) {
            tagStart += fieldBytes;
        }
        flags >>= 1;
    }
    std::array<std::uint8_t, 24> tag{};
    if (!file.ReadAt(tagStart, tag) || !(StartsWith(tag, "LAME") || StartsWith(tag, "Lav"))) {
        return 0;
    }
    constexpr std::size_t delayAt = 21;
    const std::int32_t delay = tag[delayAt] << 4 | tag[delayAt + 1] >> 4;
    const std::int32_t padding = (tag[delayAt + 1] & 0x0F) << 8 | tag[delayAt + 2];
    return delay + padding;
}

// The frame count of a Xing or Info header after the first frame's side
// information, else of a VBRI header 32 bytes after the frame header; empty
// when there is none, its count is missing or it is 0 (the file then reads as
// constant bit rate). The Xing header is looked for where the side
// information ends, not at a fixed 36 bytes: mono and MPEG-2 frames have
// shorter side information, and their lengths came out wrong at 36.
std::optional<FrameCountHeader> ReadFrameCount(audiofile::SoundFileSource& file, std::int64_t header,
                                               const FrameHeader& frame)
{
    const auto valid = [](std::uint32_t frames) { return frames > 0 && frames <= static_cast<std::uint32_t>(MaxLong); };
    std::array<std::uint8_t, 12> xing{};
    if (file.ReadAt(header + XingOffset(frame), xing) && (StartsWith(xing, "Xing") || StartsWith(xing, "Info"))) {
        constexpr std::uint32_t framesPresent = 1;
        const std::uint32_t frames = BigEndian(xing, 8);
        if ((BigEndian(xing, 4) & framesPresent) == 0 || !valid(frames)) {
            return std::nullopt;
        }
        return FrameCountHeader{static_cast<std::int32_t>(frames), StartsWith(xing, "Xing"),
                                ReadSilentSamples(file, header + XingOffset(frame), BigEndian(xing, 4))};
    }
    constexpr std::int64_t vbriOffset = 4 + 32;
    constexpr std::size_t vbriFrames = 14;
    std::array<std::uint8_t, 18> vbri{};
    if (file.ReadAt(header + vbriOffset, vbri) && StartsWith(vbri, "VBRI") && valid(BigEndian(vbri, vbriFrames))) {
        return FrameCountHeader{static_cast<std::int32_t>(BigEndian(vbri, vbriFrames)), true};
    }
    return std::nullopt;
}

// A damaged or made-up frame count would give a file of a few hundred bytes a
// length of days. The count is believed only when the audio bytes can hold
// that many frames of the shortest size the stream allows; otherwise the file
// is logged (once) and read as one without a frame count.
bool AudioHoldsCount(std::int64_t audioBytes, const FrameHeader& frame, const FrameCountHeader& counted,
                     std::string_view fileName)
{
    const std::int64_t smallest = SmallestFrameBytes(frame);
    if (std::int64_t{counted.Frames} * smallest <= audioBytes) {
        return true;
    }
    WaveMMIO::LogUnusableFormatOnce(fileName, "MPEG frame count beyond the audio (" + std::to_string(counted.Frames) +
                                                  " frames of at least " + std::to_string(smallest) + " bytes in " +
                                                  std::to_string(audioBytes) + " bytes), length from the bit rate:");
    return false;
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
    const std::int64_t tagStart = TrailingTagStart(file);
    const std::optional<std::int64_t> header =
        FindFirstFrame(file, FirstFrameSearchStart(file, head), tagStart, namedMp3);
    std::array<std::uint8_t, 4> headerBytes{};
    if (!header || !file.ReadAt(*header, headerBytes)) {
        return 0;
    }
    info.HeaderPos = ToLong(*header + 1);
    std::copy(headerBytes.begin() + 1, headerBytes.end(), info.HeaderBytes.begin());

    const std::int64_t audioBytes = CountAudioBytes(size, tagStart, *header);
    info.AudioBytes = ToLong(audioBytes);
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

    std::optional<FrameCountHeader> counted = ReadFrameCount(file, *header, *frame);
    if (counted && !AudioHoldsCount(audioBytes, *frame, *counted, fileName)) {
        counted.reset();
    }
    if (counted) {
        info.VbrFrames = counted->Frames;
        const double allSamples = static_cast<double>(counted->Frames) * SamplesPerFrame(*frame);
        // A trim that would leave nothing is not believed.
        const double samples = counted->SilentSamples < allSamples ? allSamples - counted->SilentSamples : allSamples;
        info.LengthMS = ToLong(numeric::RoundToInt64(samples / (info.SampleRate / 1000.0)));
        // An "Info" header counts the frames of a constant-bit-rate file, whose
        // frame header already tells its bit rate.
        if (counted->VariableBitRate) {
            info.IsVBR = 1;
            info.BitRate =
                ToLong(numeric::RoundToInt64(static_cast<double>(info.AudioBytes) * 8.0 / std::max(info.LengthMS, 1)));
        }
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
