#pragma once

#include "platform/ControlEvents.h"

#include <QFrame>

#include <cstdint>

namespace platform {

// A plain picture box: a container with a background colour and an optional
// single border, which reports the mouse in twips or pixels. Pictures that
// keep their drawing are drawing surfaces, not this.
class PictureBox final : public QFrame {
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Colour as &HBBGGRR.
    std::int32_t BackColor() const { return backColor_; }
    void SetBackColor(std::int32_t colour);
    // 0 none, 1 a single line.
    int BorderStyle() const { return frameShape() == QFrame::NoFrame ? 0 : 1; }
    void SetBorderStyle(int style);
    ScaleUnit Scale() const { return unit_; }
    void SetScale(ScaleUnit unit) { unit_ = unit; }

    MouseHandlers Mouse;

private:
    ScaleUnit unit_ = ScaleUnit::Twips;
    std::int32_t backColor_ = static_cast<std::int32_t>(0x8000000Fu); // button face
};

} // namespace platform
