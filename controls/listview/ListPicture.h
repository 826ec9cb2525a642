#pragma once

#include "platform/Surface.h"

#include <QWidget>

#include <functional>

namespace listview {

// A picture of a list view (its rows or its header): a widget that shows a
// kept drawing and reports the mouse in twips. The drawing follows the
// widget's size.
class ListPicture final : public QWidget {
public:
    explicit ListPicture(QWidget* parent = nullptr);

    platform::Surface& Picture() { return picture_; }
    const platform::Surface& Picture() const { return picture_; }

    // button: the button pressed or released (move: the buttons held);
    // shift: the modifier keys; x, y in twips.
    std::function<void(int button, int shift, double x, double y)> OnMouseDown;
    std::function<void(int buttons, int shift, double x, double y)> OnMouseMove;
    std::function<void(int button, int shift, double x, double y)> OnMouseUp;
    std::function<void(int button, int shift, double x, double y)> OnDblClick;

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

} // namespace listview
