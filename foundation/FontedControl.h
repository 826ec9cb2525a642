#pragma once

#include "platform/FontWindow.h"

#include <string>

namespace basic {

// A control that describes its own font, for SetControlFont's mode -1.
class FontedControl {
public:
    virtual ~FontedControl() = default;
    virtual float FontSize() const = 0;
    virtual bool FontBold() const = 0;
    virtual bool FontItalic() const = 0;
    virtual std::string FontName() const = 0;
    // The window the font goes to.
    virtual platform::FontWindow FontWindow() const = 0;
};

} // namespace basic
