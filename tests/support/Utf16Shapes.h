#pragma once

#include <array>
#include <random>
#include <string>
#include <string_view>

namespace testsupport {

// Texts of UTF-16 files without a byte order mark, of the shapes a settings
// file, a key file or a table edited by hand takes, with random Japanese and
// Chinese (kana, CJK ideographs) and ASCII. The "rare" characters U+3D00,
// U+5B00, U+0A00 and U+0D00 read as "=", "[", LF and CR in the other byte
// order.
enum class Utf16Shape {
    Comment,   // one line without a line end: "; " words, a rare character among them
    BareWord,  // one line without "=", "[" or a line end: an ASCII word and a rare character
    ThreeLine, // three "key=value" lines, a rare character in a value
    Mixed,     // one to six lines of comments, sections and values, rare characters or none
};
inline constexpr std::array<Utf16Shape, 4> Utf16Shapes{Utf16Shape::Comment, Utf16Shape::BareWord,
                                                       Utf16Shape::ThreeLine, Utf16Shape::Mixed};
std::string_view Utf16ShapeName(Utf16Shape shape);

// The UTF-8 text of one file of the shape.
std::string Utf16ShapeText(Utf16Shape shape, std::mt19937& random);

} // namespace testsupport
