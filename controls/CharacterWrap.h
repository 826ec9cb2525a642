#pragma once

#include "platform/base/TextMeasure.h"

#include <string>
#include <string_view>
#include <vector>

namespace controls {

// A text broken into lines character by character, with no regard to
// words: a line ends before the character that would make it reach the
// width.
struct WrappedText {
    std::vector<std::string> lines;
    // A character wider than the width stopped the text: from there on only
    // empty lines would follow.
    bool endless = false;
};

WrappedText WrapCharacters(std::string_view text, const platform::TextMeasure& measure, double width);

} // namespace controls
