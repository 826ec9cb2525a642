#include "platform/FontWindow.h"

#include <QWidget>

namespace platform {

void FontWindow::SendSetFont(const FontHandle& font) const
{
    if (font == nullptr) {
        return;
    }
    if (widget_ != nullptr) {
        widget_->setFont(font->face);
    }
    if (target_ != nullptr) {
        target_->ApplyFont(font);
    }
}

} // namespace platform
