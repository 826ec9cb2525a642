#include "platform/base/Utf16Text.h"

#include <algorithm>

namespace textcodec {

namespace {

std::uint32_t UnitAt(std::span<const std::uint8_t> bytes, std::size_t i, Utf16Order order)
{
    return order == Utf16Order::LittleEndian ? bytes[i] | (bytes[i + 1] << 8) : (bytes[i] << 8) | bytes[i + 1];
}

void AppendUnit(std::string& out, std::uint32_t unit, Utf16Order order)
{
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out += order == Utf16Order::LittleEndian ? low : high;
    out += order == Utf16Order::LittleEndian ? high : low;
}

bool IsHighSurrogate(std::uint32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(std::uint32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Characters that end in a zero byte and are common in Japanese and Chinese
// text: the ideographic space and ideographs such as 一, 最 and 紀. Each
// reads as an ASCII character in the other order ("0", "N", "g", "}"), so
// such a pair is as likely either way and tells no order.
bool IsCommonZeroEndedCharacter(std::uint32_t unit)
{
    switch (unit) {
    case 0x3000: // ideographic space
    case 0x4E00: // 一
    case 0x5100: // 儀
    case 0x5200: // 刀
    case 0x5300: // 匀
    case 0x5800: // 堀
    case 0x5F00: // 开
    case 0x6000: // 怀
    case 0x6700: // 最
    case 0x7A00: // 稀
    case 0x7D00: // 紀
        return true;
    default:
        return false;
    }
}

bool IsAsciiText(std::uint32_t unit)
{
    return unit == '\t' || unit == '\n' || unit == '\r' || (unit >= 0x20 && unit <= 0x7E);
}

// How one byte order reads bytes without a mark.
struct UnmarkedReading {
    // UTF-16 text of that order from start to end.
    bool text = true;
    // The characters it reads as ASCII that the other order reads as a
    // character seldom met in text: keys, blanks, punctuation and line ends
    // read so in their own order, and U+3D00, U+5B00, U+0A00 and U+0D00
    // read as "=", "[" and line ends in the other.
    std::size_t ascii = 0;
    // Of those, the line ends, "=" and "[": what the rare characters make.
    std::size_t structure = 0;
    // Those it reads as ASCII where the other order reads a common
    // character: the tie-break of two readings as likely.
    std::size_t asciiBesideCommon = 0;
};

UnmarkedReading ReadUnmarked(std::span<const std::uint8_t> bytes, Utf16Order order)
{
    UnmarkedReading reading;
    const Utf16Order other = order == Utf16Order::LittleEndian ? Utf16Order::BigEndian : Utf16Order::LittleEndian;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const std::uint32_t unit = UnitAt(bytes, i, order);
        if (IsHighSurrogate(unit) && i + 3 < bytes.size() && IsLowSurrogate(UnitAt(bytes, i + 2, order))) {
            i += 2;
            continue;
        }
        // NULs and other control characters are no text.
        const bool control = (unit < 0x20 && unit != '\t' && unit != '\r' && unit != '\n') ||
                             (unit >= 0x7F && unit < 0xA0) || unit == 0xFFFE || unit == 0xFFFF;
        // A CR or LF as the high byte beside another byte is an 8-bit line
        // end (in 8-bit text with zero bytes in it) rather than UTF-16 text;
        // beside a zero byte it is the other order's line end, which only
        // counts for that order.
        const std::uint32_t high = unit >> 8;
        const bool eightBitLineEnd = (high == '\r' || high == '\n') && (unit & 0xFF) != 0;
        if (IsHighSurrogate(unit) || IsLowSurrogate(unit) || control || eightBitLineEnd) {
            return {false, 0, 0, 0};
        }
        if (IsAsciiText(unit)) {
            const bool common = IsCommonZeroEndedCharacter(UnitAt(bytes, i, other));
            ++(common ? reading.asciiBesideCommon : reading.ascii);
            reading.structure += !common && (unit == '\r' || unit == '\n' || unit == '=' || unit == '[') ? 1 : 0;
        }
    }
    return reading;
}

// The order that reads the more ASCII text, if it reads enough to be told
// from 8-bit text with a stray zero byte; in doubt when both read as much.
struct UnmarkedJudgement {
    std::optional<Utf16Order> order;
    bool inDoubt = false;
};

UnmarkedJudgement JudgeUnmarked(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty() || bytes.size() % 2 != 0) {
        return {};
    }
    const UnmarkedReading little = ReadUnmarked(bytes, Utf16Order::LittleEndian);
    const UnmarkedReading big = ReadUnmarked(bytes, Utf16Order::BigEndian);
    const std::size_t littleCount = little.text ? little.ascii : 0;
    const std::size_t bigCount = big.text ? big.ascii : 0;
    const bool bigWins = bigCount > littleCount;
    const UnmarkedReading& winner = bigWins ? big : little;
    const std::size_t most = std::max(littleCount, bigCount), least = std::min(littleCount, bigCount);
    // One ASCII character other than "=", "[" or a line end is what a
    // stray zero byte in 8-bit text makes.
    if (most == 0 || (most < 2 && winner.structure == 0)) {
        return {};
    }
    if (littleCount == bigCount) {
        // As likely either way: read in the order with more ASCII beside
        // common characters, else in the one an editor's "Unicode" writes.
        return {big.asciiBesideCommon > little.asciiBesideCommon ? Utf16Order::BigEndian : Utf16Order::LittleEndian,
                true};
    }
    // Told only by "=", "[" and line ends, which the rare characters make of
    // any text, against ASCII text in the other order: either is as likely.
    return {bigWins ? Utf16Order::BigEndian : Utf16Order::LittleEndian, winner.structure == most && least > 0};
}

} // namespace

void AppendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::optional<Utf16Order> Utf16ByteOrderMark(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() >= Utf16MarkSize && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        return Utf16Order::LittleEndian;
    }
    if (bytes.size() >= Utf16MarkSize && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        return Utf16Order::BigEndian;
    }
    return std::nullopt;
}

std::optional<Utf16Order> Utf16OrderWithoutMark(std::span<const std::uint8_t> bytes)
{
    return JudgeUnmarked(bytes).order;
}

bool Utf16OrderInDoubt(std::span<const std::uint8_t> bytes)
{
    return !Utf16ByteOrderMark(bytes) && JudgeUnmarked(bytes).inDoubt;
}

std::optional<Utf16Order> Utf16TextOrder(std::span<const std::uint8_t> bytes)
{
    // A UTF-8 mark decides as a UTF-16 one does, whatever follows it.
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        return std::nullopt;
    }
    if (const std::optional<Utf16Order> marked = Utf16ByteOrderMark(bytes)) {
        return marked;
    }
    return Utf16OrderWithoutMark(bytes);
}

std::string Utf16Mark(Utf16Order order)
{
    return order == Utf16Order::LittleEndian ? "\xFF\xFE" : "\xFE\xFF";
}

Utf16Reading DecodeUtf16(std::span<const std::uint8_t> bytes, Utf16Order order)
{
    Utf16Reading reading;
    if (bytes.size() % 2 != 0) {
        reading.failure = "an odd number of bytes";
        return reading;
    }
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        std::uint32_t cp = UnitAt(bytes, i, order);
        if (IsHighSurrogate(cp) && i + 3 < bytes.size() && IsLowSurrogate(UnitAt(bytes, i + 2, order))) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (UnitAt(bytes, i + 2, order) - 0xDC00);
            i += 2;
        } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp)) {
            reading.failure = "a surrogate without its pair at byte " + std::to_string(i + Utf16MarkSize);
            return reading;
        }
        AppendUtf8(text, cp);
    }
    reading.text = std::move(text);
    return reading;
}

std::string EncodeUtf16(std::string_view utf8, Utf16Order order)
{
    std::string out;
    out.reserve(utf8.size() * 2);
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<std::uint8_t>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t cp = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
            cp = (cp << 6) | (static_cast<std::uint8_t>(utf8[i + k]) & 0x3F);
        }
        i += length;
        if (cp >= 0x10000) {
            AppendUnit(out, 0xD800 + ((cp - 0x10000) >> 10), order);
            AppendUnit(out, 0xDC00 + ((cp - 0x10000) & 0x3FF), order);
        } else {
            AppendUnit(out, cp, order);
        }
    }
    return out;
}

} // namespace textcodec
