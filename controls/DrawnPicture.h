#pragma once

#include "platform/Surface.h"

#include <QWidget>

#include <functional>

namespace controls {

// A picture box that keeps its drawing: what the control draws lands on a
// Surface of the widget's size, and painting only copies that picture to the
// screen. Mouse events are reported with positions in twips (fractions of a
// pixel kept), buttons and shift state as the program numbers them.
class DrawnPicture final : public QWidget {
public:
    explicit DrawnPicture(QWidget* parent = nullptr);

    platform::Surface& Picture() { return picture_; }
    const platform::Surface& Picture() const { return picture_; }
    // Shows what was drawn since the last refresh.
    void Refresh() { update(); }
    // Gives the widget the size and position and the picture the same size
    // at once (a hidden widget hears of a resize only when it is shown).
    void Place(const QRect& area);

    std::function<void(int button, int shift, double x, double y)> MouseDown;
    std::function<void(int button, int shift, double x, double y)> MouseMove;
    std::function<void(int button, int shift, double x, double y)> MouseUp;
    // The second press of a left double click; without a handler it counts as
    // a mouse-down. Double clicks of other buttons are mouse-downs.
    std::function<void()> DblClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    platform::Surface picture_;
};

} // namespace controls
