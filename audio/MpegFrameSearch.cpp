#include "audio/MpegFrameSearch.h"

#include "audio/MpegFrameHeader.h"

#include <algorithm>
#include <array>
#include <vector>

namespace FCT_mpeg {

namespace {

constexpr std::int64_t Window = 1000;
// Bytes read beyond each window, so that a candidate near its end can be
// checked against the header that follows its frame without another read.
constexpr std::int64_t Lookahead = MaxFrameBytes + 4;
// A frame header lies near the start (after the tags skipped below); a file
// without one is not searched to its end, which would stall the caller on a
// large foreign file. The player then tells its length.
constexpr std::int64_t MaxSearchBytes = 1 << 20;
constexpr std::int64_t Id3HeaderBytes = 10;
// Enough for any real file; a crafted chain of empty tags ends here.
constexpr int MaxLeadingTags = 64;

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

std::optional<FrameHeader> DecodeAt(std::span<const std::uint8_t> bytes, std::size_t at)
{
    if (at + 4 > bytes.size() || bytes[at] != 0xFF) {
        return std::nullopt;
    }
    return DecodeFrameHeader({bytes[at + 1], bytes[at + 2], bytes[at + 3]});
}

// Whether the header at index i of window (file offset windowStart) starts a
// frame: the next header, at the end of its frame, has the same version,
// layer and sample rate, or its frame ends exactly where the audio does (a
// stream of one frame). A header whose frame runs past the end, or stops short
// of it with no room for another, is a look-alike in the data: near the end of
// a stream the reader does not know (MPEG-2.5) it would pass for a short sound
// of its own, and a file cut short inside its only frame is no sound.
bool Confirmed(std::span<const std::uint8_t> window, std::size_t i, std::int64_t windowStart, std::int64_t audioEnd,
               std::int64_t fileSize)
{
    const std::optional<FrameHeader> header = DecodeAt(window, i);
    if (!header) {
        return false;
    }
    const std::size_t next = i + static_cast<std::size_t>(FrameBytes(*header));
    const std::int64_t frameEnd = windowStart + static_cast<std::int64_t>(next);
    if (frameEnd == audioEnd || frameEnd == fileSize) {
        return true;
    }
    const std::optional<FrameHeader> follower = DecodeAt(window, next);
    constexpr std::uint8_t versionAndLayer = 0xFE; // all but the protection bit
    constexpr std::uint8_t rateIndex = 0x0C;
    return follower && (window[i + 1] & versionAndLayer) == (window[next + 1] & versionAndLayer) &&
           (window[i + 2] & rateIndex) == (window[next + 2] & rateIndex);
}

} // namespace

std::int64_t FirstFrameSearchStart(audiofile::SoundFileSource& file, std::span<const std::uint8_t> head)
{
    if (StartsWith(head, "TAG")) {
        return 128;
    }
    // The size is 28 bits, 7 in each byte, and leaves out the 10-byte tag
    // header (and a footer of 10 more when flagged): the search starts right
    // after the tag, so tag bytes are never mistaken for a frame. Taggers that
    // add a tag in front of an old one leave several in a row.
    std::int64_t offset = 0;
    std::array<std::uint8_t, Id3HeaderBytes> tag{};
    for (int n = 0; n < MaxLeadingTags && offset < MaxSearchBytes && file.ReadAt(offset, tag) && StartsWith(tag, "ID3");
         ++n) {
        const std::int64_t size =
            (tag[6] & 0x7F) << 21 | (tag[7] & 0x7F) << 14 | (tag[8] & 0x7F) << 7 | (tag[9] & 0x7F);
        const bool footer = (tag[5] & 0x10) != 0;
        offset += Id3HeaderBytes + size + (footer ? Id3HeaderBytes : 0);
    }
    return offset;
}

std::optional<std::int64_t> FindFirstFrame(audiofile::SoundFileSource& file, std::int64_t from, std::int64_t audioEnd,
                                           bool namedMp3)
{
    const std::int64_t size = file.Size();
    // A look-alike whose third byte is 0xFF (bit-rate index 15) is not a frame,
    // but its second byte is the one the real header is preferably looked for
    // with. Only a preference: such a look-alike may end the junk right before
    // a stream of another second byte, which is then the file's audio.
    std::optional<std::uint8_t> preferredSecondByte;
    std::optional<std::int64_t> firstConfirmed;
    std::vector<std::uint8_t> window;
    for (std::int64_t start = from; start < size && start - from < MaxSearchBytes; start += Window) {
        window.resize(static_cast<std::size_t>(std::min(Window + Lookahead, size - start)));
        if (!file.ReadAt(start, window)) {
            return firstConfirmed;
        }
        for (std::size_t i = 0; i < static_cast<std::size_t>(Window) && i + 2 < window.size(); ++i) {
            if (window[i] != 0xFF || !CanBeSecondByte(window[i + 1], namedMp3)) {
                continue;
            }
            if (window[i + 2] == 0xFF) {
                preferredSecondByte = preferredSecondByte.value_or(window[i + 1]);
                continue;
            }
            if (!Confirmed(window, i, start, audioEnd, size)) {
                continue;
            }
            const std::int64_t offset = start + static_cast<std::int64_t>(i);
            if (!preferredSecondByte || window[i + 1] == *preferredSecondByte) {
                return offset;
            }
            firstConfirmed = firstConfirmed.value_or(offset);
        }
    }
    return firstConfirmed;
}

} // namespace FCT_mpeg
