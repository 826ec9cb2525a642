#include "platform/PictureBox.h"

#include <QPalette>

namespace platform {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
    InstallMouseRouting(*this, Mouse, unit_);
}

void PictureBox::SetBackColor(std::int32_t colour)
{
    backColor_ = colour;
    // System colours (&H800000xx) keep the window's own palette.
    if ((static_cast<std::uint32_t>(colour) & 0x80000000u) != 0) {
        setAutoFillBackground(false);
        return;
    }
    const auto bgr = static_cast<std::uint32_t>(colour);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                                              static_cast<int>((bgr >> 16) & 0xFFu)));
    setPalette(palette);
    setAutoFillBackground(true);
}

void PictureBox::SetBorderStyle(int style)
{
    setFrameShape(style == 0 ? QFrame::NoFrame : QFrame::Box);
    setLineWidth(1);
}

} // namespace platform
