#include "platform/base/Utf16Text.h"

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

// How one byte order reads bytes without a mark.
struct UnmarkedReading {
    // UTF-16 text of that order from start to end.
    bool text = true;
    // So, but for characters whose high byte is a CR or LF.
    bool textButForLineEndBytes = true;
    // The ASCII line ends, "=" and "[" it reads.
    std::size_t structure = 0;
};

UnmarkedReading ReadUnmarked(std::span<const std::uint8_t> bytes, Utf16Order order)
{
    UnmarkedReading reading;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const std::uint32_t unit = UnitAt(bytes, i, order);
        if (IsHighSurrogate(unit) && i + 3 < bytes.size() && IsLowSurrogate(UnitAt(bytes, i + 2, order))) {
            i += 2;
            continue;
        }
        // NULs and other control characters are no text.
        const bool control = (unit < 0x20 && unit != '\t' && unit != '\r' && unit != '\n') ||
                             (unit >= 0x7F && unit < 0xA0) || unit == 0xFFFE || unit == 0xFFFF;
        if (IsHighSurrogate(unit) || IsLowSurrogate(unit) || control) {
            return {false, false, 0};
        }
        // A CR or LF as the high byte is an 8-bit line end, or the other
        // order's, rather than a line end of UTF-16 text.
        const std::uint32_t high = unit >> 8;
        reading.text = reading.text && high != '\r' && high != '\n';
        reading.structure += unit == '\r' || unit == '\n' || unit == '=' || unit == '[' ? 1 : 0;
    }
    return reading;
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
    if (bytes.empty() || bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    const UnmarkedReading little = ReadUnmarked(bytes, Utf16Order::LittleEndian);
    const UnmarkedReading big = ReadUnmarked(bytes, Utf16Order::BigEndian);
    const std::size_t littleCount = little.text ? little.structure : 0;
    const std::size_t bigCount = big.text ? big.structure : 0;
    if (littleCount == bigCount) {
        return std::nullopt;
    }
    return littleCount > bigCount ? Utf16Order::LittleEndian : Utf16Order::BigEndian;
}

bool Utf16OrderInDoubt(std::span<const std::uint8_t> bytes)
{
    if (Utf16ByteOrderMark(bytes) || !Utf16OrderWithoutMark(bytes)) {
        return false;
    }
    // Characters such as U+3D00, U+5B00, U+0A00 and U+0D00 read as "=",
    // "[" and line ends in the other order, and the other order's line ends
    // read as them: a line end in one order rules the other out no more
    // than those characters do.
    const UnmarkedReading little = ReadUnmarked(bytes, Utf16Order::LittleEndian);
    const UnmarkedReading big = ReadUnmarked(bytes, Utf16Order::BigEndian);
    return little.textButForLineEndBytes && big.textButForLineEndBytes && little.structure > 0 && big.structure > 0;
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
