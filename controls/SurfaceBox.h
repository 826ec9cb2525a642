#pragma once

#include "platform/Surface.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QMouseEvent;

namespace controls {

// What a mouse event on a SurfaceBox reports: a press, a double click (which
// Qt delivers in place of the second press), a move or a release, with the
// button that changed (1 left, 2 right, 4 middle), the buttons held, the shift
// state (1 Shift, 2 Ctrl, 4 Alt) and the position in twips inside the picture.
struct PointerEvent {
    enum class Kind { Press, DoubleClick, Move, Release };
    Kind kind = Kind::Press;
    int button = 0;
    int buttons = 0;
    int shift = 0;
    double x = 0;
    double y = 0;
};

// A picture box that keeps its drawing: a widget showing a Surface as large as
// its inside. With a sunken border the inside is 2 pixels smaller on every
// side, as a picture box with a 3-D border. Positions of the mouse are those
// of the inside.
class SurfaceBox final : public QWidget {
public:
    explicit SurfaceBox(QWidget* parent = nullptr);

    // The drawing, sized to the inside of the widget as it stands now (a
    // widget that is not shown gets no resize events, so the size is taken
    // when the picture is asked for).
    platform::Surface& Picture();
    void SetSunkenBorder(bool sunken);
    // Shows the drawing again.
    void Refresh() { update(); }

    std::function<void(const PointerEvent&)> OnPointer;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int Inset() const { return sunken_ ? 2 : 0; }
    void Report(PointerEvent::Kind kind, const QMouseEvent& event);

    platform::Surface picture_;
    bool sunken_ = false;
    // The border, painted once per size.
    QImage border_;
};

} // namespace controls
