#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace testsupport {

// Texts whose code page 932 bytes are valid UTF-8 as they stand: a reader that
// takes valid UTF-8 for UTF-8 would hand back other characters.
struct Cp932ReadingAsUtf8 {
    std::string name; // for the test's name
    std::string text;
};

inline const std::vector<Cp932ReadingAsUtf8> Cp932TextsReadingAsUtf8 = {
    // Half-width katakana ﾂ..ﾟ (C2..DF) before ｡..ｿ (A1..BF) make a
    // two-byte UTF-8 character.
    {"HalfWidthPair", "ﾂｱ"},        // C2 B1: "±"
    {"LowestHalfWidthPair", "ﾂ｡"},  // C2 A1: "¡"
    {"HighestHalfWidthPair", "ﾟｿ"}, // DF BF: U+07FF
    {"LastLeadFirstTrail", "ﾟ｡"},   // DF A1
    {"FirstLeadLastTrail", "ﾂｿ"},   // C2 BF
    // A half-width katakana before a full-width character whose first byte
    // goes on a UTF-8 character.
    {"HalfWidthBeforeFullWidthKana", "ﾂア"}, // C2 83 41: U+0083 "A"
    // A kanji with a lead byte E0..EF and a byte that goes on, before a kana:
    // a three-byte UTF-8 character.
    {"KanjiBeforeKana", "迚ゼ_"},          // E7 89 83 5B 5F: "牃[_"
    {"LowestKanjiLeadBeforeKana", "燿ア"}, // E0 A0 83 41: U+0803 "A"
    {"KanjiBeforeHalfWidthKana", "遯ｱ"},   // E7 AA B1: U+7AB1
};

inline void PrintTo(const Cp932ReadingAsUtf8& c, std::ostream* out)
{
    *out << c.text;
}

inline std::string Cp932ReadingAsUtf8Name(const testing::TestParamInfo<Cp932ReadingAsUtf8>& row)
{
    return row.param.name;
}

} // namespace testsupport
