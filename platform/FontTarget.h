#pragma once

#include "platform/Font.h"

namespace platform {

// Anything that is not a widget but takes a font as a window does: a drawing
// surface, or a control that keeps its own pictures.
class FontTarget {
public:
    virtual ~FontTarget() = default;
    virtual void ApplyFont(const FontHandle& font) = 0;
};

} // namespace platform
