#include "platform/base/Utf16Text.h"

#include <algorithm>
#include <utility>

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

bool IsBlank(std::uint32_t unit)
{
    return unit == ' ' || unit == '\t';
}

bool IsLineEnd(std::uint32_t unit)
{
    return unit == '\n' || unit == '\r';
}

// Whether characters fed one by one make settings lines: every line a
// blank, a comment (";" or "#"), a section ("[") or a key with "=", whose
// name (the program's keys are plain ASCII) may hold blanks inside.
class SettingsLines {
public:
    void Feed(std::uint32_t unit)
    {
        if (IsLineEnd(unit)) {
            lines_ = lines_ && place_ != Place::Key;
            place_ = Place::Start;
        } else if (place_ == Place::Start && !IsBlank(unit)) {
            place_ = unit == ';' || unit == '#' || unit == '[' ? Place::Rest
                     : unit > ' ' && unit < 0x7F && unit != '=' ? Place::Key
                                                                  : Place::Broken;
        } else if (place_ == Place::Key && unit == '=') {
            place_ = Place::Rest;
        } else if (place_ == Place::Key && !(unit >= ' ' && unit < 0x7F) && unit != '\t') {
            place_ = Place::Broken;
        }
        lines_ = lines_ && place_ != Place::Broken;
    }
    bool Lines() const { return lines_ && place_ != Place::Key; }

private:
    // Where the line being read is: before its first character but blanks,
    // in a key's name, past what makes it a settings line, or in a line
    // that is none.
    enum class Place { Start, Key, Rest, Broken };
    Place place_ = Place::Start;
    bool lines_ = true;
};

// How one byte order reads bytes without a mark.
struct UnmarkedReading {
    // UTF-16 text of that order from start to end.
    bool text = true;
    bool settingsLines = false;
    // The characters it reads as ASCII (tab, line ends, U+0020 to U+007E):
    // each holds a zero byte.
    std::size_t ascii = 0;
    // Two of them differ.
    bool twoKinds = false;
    // Of them, the line ends, "=", "[" and ";": what settings lines are
    // made of, and what the other order reads only of rare characters.
    std::size_t structure = 0;

    // Settings lines told by three ASCII characters, two of them different:
    // one or two stray zero bytes in 8-bit text make fewer, and a character
    // said again and again reads as one ASCII character said again in the
    // other order (";;;" is U+3B00 three times).
    bool Told() const { return text && settingsLines && ascii >= 3 && twoKinds; }
};

UnmarkedReading ReadUnmarked(std::span<const std::uint8_t> bytes, Utf16Order order)
{
    UnmarkedReading reading;
    SettingsLines lines;
    std::uint32_t firstAscii = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const std::uint32_t unit = UnitAt(bytes, i, order);
        if (IsHighSurrogate(unit) && i + 3 < bytes.size() && IsLowSurrogate(UnitAt(bytes, i + 2, order))) {
            lines.Feed(0x10000);
            i += 2;
            continue;
        }
        // NULs and other control characters are no text.
        const bool control = (unit < 0x20 && unit != '\t' && !IsLineEnd(unit)) || (unit >= 0x7F && unit < 0xA0) ||
                             unit == 0xFFFE || unit == 0xFFFF;
        // A CR or LF as the high byte beside another byte is an 8-bit line
        // end (in 8-bit text with zero bytes in it) rather than UTF-16 text.
        const std::uint32_t high = unit >> 8;
        const bool eightBitLineEnd = (high == '\r' || high == '\n') && (unit & 0xFF) != 0;
        if (IsHighSurrogate(unit) || IsLowSurrogate(unit) || control || eightBitLineEnd) {
            return {false, false, 0, false, 0};
        }
        if (unit < 0x80) {
            reading.twoKinds = reading.twoKinds || (reading.ascii > 0 && unit != firstAscii);
            firstAscii = reading.ascii++ == 0 ? unit : firstAscii;
            reading.structure += IsLineEnd(unit) || unit == '=' || unit == '[' || unit == ';' ? 1 : 0;
        }
        lines.Feed(unit);
    }
    reading.settingsLines = lines.Lines();
    return reading;
}

// 8-bit text with a stray zero byte or two: its lines, the zero bytes left
// out, are settings lines.
bool EightBitSettingsLines(std::span<const std::uint8_t> bytes)
{
    SettingsLines lines;
    for (const std::uint8_t byte : bytes) {
        if (byte != 0) {
            lines.Feed(byte);
        }
    }
    return lines.Lines();
}

// The order settings lines tell, or in doubt the order to read the bytes in
// as best they can be; nothing for 8-bit text.
Utf16Judgement JudgeUnmarked(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty() || bytes.size() % 2 != 0) {
        return {};
    }
    const UnmarkedReading little = ReadUnmarked(bytes, Utf16Order::LittleEndian);
    const UnmarkedReading big = ReadUnmarked(bytes, Utf16Order::BigEndian);
    if (little.Told() != big.Told()) {
        return {little.Told() ? Utf16Order::LittleEndian : Utf16Order::BigEndian, false};
    }
    // Settings lines in neither order (or in both): the order cannot be
    // told, and no count of characters tells it instead. Zero bytes beside
    // 8-bit settings lines are stray; UTF-16 text with some ASCII in it is
    // read as best it can be: in the order that reads more of what settings
    // lines are made of, else more ASCII.
    if (!little.Told() && EightBitSettingsLines(bytes)) {
        return {};
    }
    const auto weight = [](const UnmarkedReading& reading) {
        return reading.text ? std::pair(reading.structure, reading.ascii) : std::pair<std::size_t, std::size_t>();
    };
    if (std::max(weight(little).second, weight(big).second) < 3) {
        return {};
    }
    return {weight(big) > weight(little) ? Utf16Order::BigEndian : Utf16Order::LittleEndian, true};
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
    return JudgeUtf16(bytes).inDoubt;
}

Utf16Judgement JudgeUtf16(std::span<const std::uint8_t> bytes)
{
    // A UTF-8 mark decides as a UTF-16 one does, whatever follows it.
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        return {};
    }
    if (const std::optional<Utf16Order> marked = Utf16ByteOrderMark(bytes)) {
        return {marked, false};
    }
    return JudgeUnmarked(bytes);
}

std::optional<Utf16Order> Utf16TextOrder(std::span<const std::uint8_t> bytes)
{
    return JudgeUtf16(bytes).order;
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
