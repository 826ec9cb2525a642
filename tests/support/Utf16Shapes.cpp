#include "support/Utf16Shapes.h"

#include "platform/base/Utf16Text.h"

#include <cstdint>

namespace testsupport {

namespace {

constexpr std::array<const char*, 4> Rare{"嬀", "㴀", "਀", "ഀ"};
constexpr std::array<const char*, 8> Words{"Title", "FOTime", "News", "jingle", "Path1", "CM", "Studio", "ab"};

std::uint32_t Below(std::mt19937& random, std::uint32_t n)
{
    return static_cast<std::uint32_t>(random() % n);
}

// Kana, ideographs and now and then the ideographic space. The rare
// characters come in only where a shape puts them: an ideograph ending in a
// zero byte (吀, U+5400) reads as ASCII in the other order as they do.
std::string CjkWord(std::mt19937& random)
{
    std::string word;
    for (std::uint32_t n = 1 + Below(random, 6); n > 0; --n) {
        const std::uint32_t kind = Below(random, 10);
        std::uint32_t cp = kind < 3   ? 0x3041 + Below(random, 0x56)  // hiragana
                           : kind < 5 ? 0x30A1 + Below(random, 0x5A)  // katakana
                           : kind < 9 ? 0x4E00 + Below(random, 0x51A6) // ideographs
                                      : 0x3000;                        // ideographic space
        if (kind < 9 && (cp & 0xFF) == 0) {
            ++cp;
        }
        textcodec::AppendUtf8(word, cp);
    }
    return word;
}

std::string AnyWord(std::mt19937& random)
{
    return Below(random, 2) != 0 ? CjkWord(random) : std::string(Words[Below(random, Words.size())]);
}

std::string RareCharacter(std::mt19937& random)
{
    return Rare[Below(random, Rare.size())];
}

std::string LineEnd(std::mt19937& random)
{
    return Below(random, 2) != 0 ? "\r\n" : "\n";
}

// Words with one rare character put in at a random place among them.
std::string WithRare(std::string_view lead, std::string words, std::mt19937& random)
{
    std::size_t at = words.size();
    if (Below(random, 2) != 0) {
        at = words.find(' ');
        at = at == std::string::npos ? words.size() : at + 1;
    }
    return std::string(lead) + words.insert(at, RareCharacter(random));
}

} // namespace

std::string_view Utf16ShapeName(Utf16Shape shape)
{
    switch (shape) {
    case Utf16Shape::Comment:
        return "one-line comment";
    case Utf16Shape::BareWord:
        return "one-line bare word";
    case Utf16Shape::ThreeLine:
        return "three lines";
    case Utf16Shape::Mixed:
        return "mixed lines";
    }
    return "";
}

std::string Utf16ShapeText(Utf16Shape shape, std::mt19937& random)
{
    switch (shape) {
    case Utf16Shape::Comment: {
        std::string words = CjkWord(random);
        for (std::uint32_t n = Below(random, 3); n > 0; --n) {
            words += " " + AnyWord(random);
        }
        return WithRare("; ", words + " ", random);
    }
    case Utf16Shape::BareWord:
        return WithRare("", std::string(Words[Below(random, Words.size() - 1)]) +
                                (Below(random, 2) != 0 ? CjkWord(random) : std::string()),
                        random);
    case Utf16Shape::ThreeLine: {
        std::string text;
        const std::uint32_t rareLine = Below(random, 3);
        for (std::uint32_t line = 0; line < 3; ++line) {
            const std::string value = AnyWord(random);
            text += Words[Below(random, Words.size())] + std::string("=") +
                    (line == rareLine ? WithRare("", value, random) : value) + LineEnd(random);
        }
        return text;
    }
    case Utf16Shape::Mixed:
        break;
    }
    std::string text;
    for (std::uint32_t lines = 1 + Below(random, 6), line = 0; line < lines; ++line) {
        const std::uint32_t kind = Below(random, 4);
        std::string value = AnyWord(random);
        if (Below(random, 3) == 0) {
            value = WithRare("", value, random);
        }
        text += kind == 0   ? "; " + value
                : kind == 1 ? "[" + std::string(Words[Below(random, Words.size())]) + "]"
                            : std::string(Words[Below(random, Words.size())]) + "=" + value;
        if (line + 1 < lines || Below(random, 2) != 0) {
            text += LineEnd(random);
        }
    }
    return text;
}

} // namespace testsupport
