#pragma once

#include "platform/Font.h"
#include "platform/FontTarget.h"

#include <cstddef>

class QWidget;

namespace platform {

// The window a font is sent to: a widget, another font target, or none.
class FontWindow {
public:
    FontWindow() = default;
    FontWindow(std::nullptr_t) {}
    FontWindow(QWidget* widget) : widget_(widget) {}
    FontWindow(FontTarget* target) : target_(target) {}

    bool IsNull() const { return widget_ == nullptr && target_ == nullptr; }
    // Gives the window the font without redrawing it; nothing for none.
    void SendSetFont(const FontHandle& font) const;

private:
    QWidget* widget_ = nullptr;
    FontTarget* target_ = nullptr;
};

} // namespace platform
