#pragma once

#include "platform/DragData.h"
#include "platform/WindowTimer.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <vector>

class QDropEvent;
class QWidget;

namespace platform {

// Drag-over states.
inline constexpr int DragEnter = 0;
inline constexpr int DragLeave = 1;
inline constexpr int DragOver = 2;

// Makes a widget accept dropped file lists. OnDragOver sees the data on
// entering, on every move and, while the pointer rests, again every 20 ms (so
// a list scrolls on under a resting pointer); OnDragDrop sees the drop. Both
// receive the allowed effects in effect and set the effect they accept (left
// unchanged, the drop copies when copying is allowed). Positions are twips.
// While input is kept (a press waits for its file) the source hears at once
// that a copy (or link) is taken, without asking OnDragOver; a drop then
// reaches OnDragOver and OnDragDrop after the press, behind the clicks and
// keys kept with it, and a line is logged when they refuse it there.
class DropTarget final : public QObject {
public:
    explicit DropTarget(QWidget& target);

    static constexpr int RepeatMs = 20;

    std::function<void(DragData& data, int& effect, int button, int shift, double x, double y, int state)> OnDragOver;
    std::function<void(DragData& data, int& effect, int button, int shift, double x, double y)> OnDragDrop;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Dropped {
        DragData data;
        int allowed = DropEffectNone;
        int button = 0;
        int shift = 0;
        QPoint at;
    };

    // The effect taken over the spot: the handler's, or in a press the copy.
    int Answer(int state);
    int RaiseOver(int state);
    void Forget();
    // Raises OnDragDrop; returns the effect taken.
    int CarryOut(Dropped& dropped);
    // A drop kept in a press: the spot is asked again, then the drop raised.
    void CarryOutKept(Dropped& dropped);

    QWidget& target_;
    WindowTimer repeat_;
    DragData data_;
    int allowed_ = DropEffectNone;
    int lastEffect_ = DropEffectNone;
    int button_ = 0;
    int shift_ = 0;
    QPoint at_;
    bool inside_ = false;
    bool asked_ = false; // OnDragOver saw this drag enter
};

// Effects as Qt drop actions and back.
Qt::DropActions ToDropActions(int effects);
int FromDropActions(Qt::DropActions actions);
// The one action a drop takes for an accepted effect (copy before move before link).
Qt::DropAction ChosenAction(int effect);

} // namespace platform
