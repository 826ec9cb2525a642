#pragma once

#include <string_view>

// Japanese text knows two widths of many characters: Latin letters, digits,
// signs and the blank, and katakana with their marks, each have a full-width
// and a half-width form. Kanji and hiragana have one form only.
namespace CharacterWidth {

// True when some character of the UTF-8 text has both forms, that is when
// converting the text to full width and to half width gives different texts.
bool HasWidthForms(std::string_view utf8);

} // namespace CharacterWidth
