#include "mainwindow/CharacterWidth.h"

#include "platform/base/TextCodec.h"

#include <algorithm>
#include <array>

namespace CharacterWidth {

namespace {

// The code point at the start of text; a malformed sequence reads as U+FFFD.
char32_t DecodeAt(std::string_view text, std::size_t& length)
{
    const auto lead = static_cast<unsigned char>(text.front());
    length = std::min(textcodec::Utf8CharLength(lead), text.size());
    if (length == 1) {
        return lead < 0x80 ? lead : 0xFFFD;
    }
    char32_t value = lead & (0xFFU >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0U) != 0x80U) {
            length = i;
            return 0xFFFD;
        }
        value = (value << 6) | (next & 0x3FU);
    }
    return value;
}

// Full-width characters outside the blocks below that have a half-width
// twin: the ideographic full stop, brackets, comma and middle dot, the kana
// voicing marks, the prolonged sound mark and the wo/n katakana.
constexpr std::array<char32_t, 9> KanaPunctuation{0x3001, 0x3002, 0x300C, 0x300D, 0x309B,
                                                  0x309C, 0x30FB, 0x30FC, 0x3000};
// Signs whose full-width forms are U+FFE0..U+FFE6, and the arrows, bar and
// shapes whose half-width forms are U+FFE8..U+FFEE.
constexpr std::array<char32_t, 14> SignTwins{0x00A2, 0x00A3, 0x00AC, 0x00AF, 0x00A6, 0x00A5, 0x20A9,
                                             0x2502, 0x2190, 0x2191, 0x2192, 0x2193, 0x25A0, 0x25CB};

bool HasTwin(char32_t c)
{
    if (c >= 0x20 && c <= 0x7E) {
        return true; // ASCII and its full-width forms U+FF01..U+FF5E
    }
    if (c >= 0xFF01 && c <= 0xFFEE) {
        return c <= 0xFF5E || (c >= 0xFF61 && c <= 0xFF9F) || (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0xFFE8;
    }
    // Katakana from small a to ro, wa, wo, n and vu have half-width forms;
    // the small wa, wi, we, small ka and ke do not.
    if (c >= 0x30A1 && c <= 0x30F4) {
        return c != 0x30EE && c != 0x30F0 && c != 0x30F1;
    }
    return std::find(KanaPunctuation.begin(), KanaPunctuation.end(), c) != KanaPunctuation.end() ||
           std::find(SignTwins.begin(), SignTwins.end(), c) != SignTwins.end();
}

} // namespace

bool HasWidthForms(std::string_view utf8)
{
    while (!utf8.empty()) {
        std::size_t length = 1;
        if (HasTwin(DecodeAt(utf8, length))) {
            return true;
        }
        utf8.remove_prefix(std::max<std::size_t>(length, 1));
    }
    return false;
}

} // namespace CharacterWidth
