#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// UTF-16 text files, as an editor's "Unicode" save writes them: a byte order
// mark (FF FE little-endian, FE FF big-endian) and then two bytes for each
// character, four for one outside the Basic Multilingual Plane.
namespace textcodec {

enum class Utf16Order { LittleEndian, BigEndian };

inline constexpr std::size_t Utf16MarkSize = 2;

// The order the byte order mark at the start names, or nothing without one.
std::optional<Utf16Order> Utf16ByteOrderMark(std::span<const std::uint8_t> bytes);
// The mark's two bytes.
std::string Utf16Mark(Utf16Order order);

// The order of UTF-16 text that has no mark, as some tools save it, or
// nothing. The bytes must be UTF-16 text of that order from start to end:
// an even count, surrogates in pairs, no NUL or other control character
// but tab and line ends, and no CR or LF as a unit's high byte beside a
// byte other than zero (which is how 8-bit line ends read). The order is
// the one that reads more of the text as ASCII (tab, line ends, U+0020 to
// U+007E), where the other order reads a character seldom met: keys,
// blanks and punctuation read so only in their own order, so they outweigh
// a rare character such as U+3D00, U+5B00, U+0A00 or U+0D00, which reads as
// "=", "[" or a line end in the other. An ASCII character that the other
// order reads as a common one (U+3000 as "0", 一 as "N") tells neither. Two
// ASCII characters, or one "=", "[" or line end, must tell it (a stray zero
// byte in 8-bit text makes one), so 8-bit text with a UTF-16 line in it, or
// zeroed in places, is not taken for UTF-16.
std::optional<Utf16Order> Utf16OrderWithoutMark(std::span<const std::uint8_t> bytes);
// True for bytes that Utf16OrderWithoutMark takes for UTF-16 although both
// orders read as much ASCII, or the order it gives reads only "=", "[" and
// line ends (which the rare characters make) against ASCII text in the
// other: either is as likely, and the order given is a guess.
bool Utf16OrderInDoubt(std::span<const std::uint8_t> bytes);
// The order of a file that is UTF-16, by its mark or without one; a UTF-8
// mark makes it no UTF-16, whatever follows.
std::optional<Utf16Order> Utf16TextOrder(std::span<const std::uint8_t> bytes);

// The UTF-8 text of UTF-16 bytes (without their mark), or why they are no
// UTF-16 text: an odd number of bytes, a surrogate without its pair.
struct Utf16Reading {
    std::optional<std::string> text;
    std::string failure;
};
Utf16Reading DecodeUtf16(std::span<const std::uint8_t> bytes, Utf16Order order);

// Appends the UTF-8 bytes of the code point cp (at most U+10FFFF).
void AppendUtf8(std::string& out, std::uint32_t cp);

// The UTF-16 bytes (without a mark) of UTF-8 text; the text must be valid UTF-8.
std::string EncodeUtf16(std::string_view utf8, Utf16Order order);

} // namespace textcodec
