#include "foundation/ByteText.h"

#include "platform/base/Hooks.h"
#include "platform/base/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace basic {

namespace {

// Long buffers let the user interface breathe now and then; scanning is fast
// enough that a pump per 64 KiB keeps every wait far below the tick interval.
constexpr std::size_t pumpEveryBytes = 64 * 1024;

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::span<const std::uint8_t> AsBytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

} // namespace

int StringToBytes(std::string_view text, std::span<std::uint8_t> bytes)
{
    const std::string encoded = textcodec::EncodeCp932(Trim(text));
    std::size_t copied = std::min(encoded.size(), bytes.size());
    // Never leave the first byte of a double-byte character alone at the cut.
    if (copied < encoded.size() && copied > 0) {
        std::size_t i = 0;
        while (i < copied) {
            const auto lead = static_cast<std::uint8_t>(encoded[i]);
            const bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || lead >= 0xE0;
            const std::size_t len = doubleByte ? 2 : 1;
            if (i + len > copied) {
                break;
            }
            i += len;
        }
        copied = i;
    }
    std::memcpy(bytes.data(), encoded.data(), copied);
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(copied), bytes.end(), std::uint8_t{0});
    return static_cast<int>(encoded.size());
}

std::string BytesToTextLine(std::span<const std::uint8_t> bytes, int lastIndex, int mode, int start)
{
    if (start < 0 || bytes.empty() || lastIndex < start) {
        return {};
    }
    const std::size_t end = std::min(static_cast<std::size_t>(lastIndex), bytes.size() - 1);
    std::string raw;
    for (std::size_t i = static_cast<std::size_t>(start); i <= end; ++i) {
        const std::uint8_t b = bytes[i];
        if (b == 0) {
            break;
        }
        if (b == 13 && mode == TerminatorCr) {
            break;
        }
        if (b == 13 && mode == TerminatorCrLf) {
            if (i == end || bytes[i + 1] == 10) {
                break;
            }
            continue;
        }
        raw.push_back(static_cast<char>(b));
    }
    return textcodec::Decode(AsBytes(raw));
}

int BytesToLines(std::span<const std::uint8_t> bytes, std::vector<std::string>& lines)
{
    lines.clear();
    const textcodec::Encoding encoding = textcodec::Detect(bytes);
    if (textcodec::HasByteOrderMark(bytes)) {
        bytes = bytes.subspan(3); // the mark said UTF-8; it is no text of the first line
    }
    std::string current;
    const std::size_t n = bytes.size();
    std::size_t sincePump = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (++sincePump >= pumpEveryBytes) {
            sincePump = 0;
            platform::Pump();
        }
        const std::uint8_t b = bytes[i];
        if (b == 13) {
            if (i + 1 < n && bytes[i + 1] == 10) {
                lines.push_back(textcodec::Decode(AsBytes(current), encoding));
                current.clear();
                ++i;
                continue;
            }
            if (i + 1 == n) {
                break;
            }
            continue;
        }
        if (b == 0) {
            continue;
        }
        current.push_back(static_cast<char>(b));
    }
    if (!current.empty()) {
        lines.push_back(textcodec::Decode(AsBytes(current), encoding));
    }
    return static_cast<int>(lines.size());
}

} // namespace basic
