#pragma once

#include "platform/base/TextCodec.h"

#include <cstdint>
#include <functional>
#include <string>
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
};

// line(i, text) gives the line (without its end) that holds text; lines end
// with CR LF.
using LineMaker = std::function<std::string(int index, const std::string& text)>;

// count cases, or as many as TOLV_STORED_TEXT_CASES says (for a longer run by hand).
std::vector<StoredTextCase> GenerateStoredTextCases(int count, const LineMaker& line, std::uint32_t seed = 72);

} // namespace testsupport
