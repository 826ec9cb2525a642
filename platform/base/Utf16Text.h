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
// nothing for 8-bit text. The order is told by structure alone: the bytes
// read as settings lines in that order and not in the other, with line ends,
// "=", "[" and ";" as characters of that order and every line a section, a
// comment (";" or "#"), a blank or a key with "=" (the program's keys are
// plain ASCII). In the other order those characters read as U+0A00, U+3D00,
// U+5B00 and their kin, so a settings file read so is one long line of them.
// The lines must hold three ASCII characters, two of them different: one or
// two stray zero bytes in 8-bit text make fewer. The bytes must also be
// UTF-16 text of that order from start to end: surrogates in pairs, no NUL
// or other control character but tab and line ends, and no CR or LF as a
// unit's high byte beside a byte other than zero (which is how 8-bit line
// ends read). Bytes that read as settings lines in neither order are in
// doubt (Utf16OrderInDoubt), and given in the order that reads more of
// those characters, else more ASCII, where that is three characters or more
// and their zero bytes are no stray ones beside 8-bit settings lines; else
// they are 8-bit text.
std::optional<Utf16Order> Utf16OrderWithoutMark(std::span<const std::uint8_t> bytes);
// True for bytes without a mark that Utf16OrderWithoutMark reads as UTF-16
// although their order cannot be told: the order given is a guess, and
// nothing may be written into them.
bool Utf16OrderInDoubt(std::span<const std::uint8_t> bytes);
// The words in which a writer refuses a save into a file whose byte order
// cannot be told; the operator's box is worded by them.
inline constexpr std::string_view ByteOrderUntold = "its byte order cannot be told";
// The order of a file that is UTF-16, by its mark or without one; a UTF-8
// mark makes it no UTF-16, whatever follows.
std::optional<Utf16Order> Utf16TextOrder(std::span<const std::uint8_t> bytes);
// The same order, and whether it is in doubt, at once.
struct Utf16Judgement {
    std::optional<Utf16Order> order;
    bool inDoubt = false;
};
Utf16Judgement JudgeUtf16(std::span<const std::uint8_t> bytes);

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
