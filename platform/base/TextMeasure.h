#pragma once

#include <string_view>

namespace platform {

// Anything that can measure the width of a text in its own scale and font: a
// drawing surface, a window, or a fixed-width fake in tests.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual double TextWidth(std::string_view text) const = 0;
};

} // namespace platform
