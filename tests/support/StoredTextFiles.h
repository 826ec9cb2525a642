#pragma once

#include "platform/base/TextCodec.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// Generated text files of the shapes stored text takes: UTF-8 of European,
// other and Japanese scripts, with or without a byte order mark, clean or
// with one damaged character (a stray or cut byte, a lost lead byte, an
// overlong form, a surrogate), and clean code page 932 with kana, kanji and
// half-width katakana. Each file is lines made by a line maker from texts
// whose true reading the case keeps.
struct StoredTextCase {
    std::string shape;
    textcodec::Encoding encoding = textcodec::Encoding::Utf8;
    std::vector<std::string> texts; // read back as they are, line by line
    int damagedLine = -1;           // the extra line that holds the damage
    std::string bytes;
    // False for a file in an encoding the program does not read (ISO
    // 8859-1): its texts are what it really says, which no reading gives.
    bool readable = true;
};

// line(i, text) gives the line (without its end) that holds text; lines end
// with CR LF.
using LineMaker = std::function<std::string(int index, const std::string& text)>;

// count cases, or as many as TOLV_STORED_TEXT_CASES says (for a longer run by hand).
std::vector<StoredTextCase> GenerateStoredTextCases(int count, const LineMaker& line, std::uint32_t seed = 72);

// The files that were misjudged, or left in doubt, before the judgement
// learned that code page 932 glued into lowercase words is chance: ISO 8859-1
// European text; UTF-8 with accented words and one path holding a Latin-1
// byte (the damaged line); code page 932 with a lone NEC special character
// or IBM extension kanji, or with half-width katakana glued to capital
// abbreviations; and the realistic files of one to three values, Japanese
// in code page 932 (kanji, half-width katakana, kanji and hiragana) and
// European in UTF-8. The shape names start with those words.
std::vector<StoredTextCase> GenerateMisjudgedTextCases(int count, const LineMaker& line, std::uint32_t seed = 76);

} // namespace testsupport

namespace testsupport {

// UTF-16 files with a byte order mark, little- and big-endian in turn, as an
// editor's "Unicode" save writes them, of European, other and Japanese
// scripts and characters outside the Basic Multilingual Plane. Their texts
// are Unicode, so encoding is Utf8; the shape names the byte order. The
// bytes are made by the system's converter, not by the program's own.
std::vector<StoredTextCase> GenerateUtf16TextCases(int count, const LineMaker& line, std::uint32_t seed = 81);

// The bytes of a UTF-16 file of the given order ("LE" or "BE") that holds
// the UTF-8 text: its byte order mark, then the text as the system's
// converter writes it.
std::string Utf16File(const std::string& text, std::string_view order);
// The UTF-8 text of bytes that start with the UTF-16 mark of the given
// order, or nothing when they do not or are no UTF-16 text; read by the
// system's converter.
std::optional<std::string> ReadUtf16File(const std::string& bytes, std::string_view order);

// Writes bytes as the whole of a file, making its folder first.
void WriteFileBytes(const std::string& path, const std::string& bytes);

} // namespace testsupport
