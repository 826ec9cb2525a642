#pragma once

#include "platform/DragData.h"
#include "platform/WindowTimer.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <string>
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
// While input is held (a press waits for its file) the handlers are not
// asked: the other program hears at once that a copy (or link) is taken,
// and the drop is carried out after the hold, behind the clicks and keys
// held with it, where the pointer was let go (DropLetGoAt).
class DropTarget final : public QObject {
public:
    explicit DropTarget(QWidget& target);

    static constexpr int RepeatMs = 20;

    std::function<void(DragData& data, int& effect, int button, int shift, double x, double y, int state)> OnDragOver;
    std::function<void(DragData& data, int& effect, int button, int shift, double x, double y)> OnDragDrop;
    // Whether the control does something with dropped files now (unset: it
    // does). Over a disabled control, or one that does nothing with them,
    // the pointer shows nothing is taken (OnDragOver is still raised) and
    // OnDragDrop is not: a drop there has no effect, so a source that moves
    // its files keeps them.
    std::function<bool()> TakesDrops;

    bool Takes() const;

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

    int RaiseOver(int state);
    void Forget();
    // Raises OnDragDrop; returns the effect taken.
    int CarryOut(Dropped& dropped);

    QWidget& target_;
    WindowTimer repeat_;
    DragData data_;
    int allowed_ = DropEffectNone;
    int lastEffect_ = DropEffectNone;
    int button_ = 0;
    int shift_ = 0;
    QPoint at_;
    bool inside_ = false;
};

// Effects as Qt drop actions and back.
Qt::DropActions ToDropActions(int effects);
int FromDropActions(Qt::DropActions actions);
// The one action a drop takes for an accepted effect (copy before move before link).
Qt::DropAction ChosenAction(int effect);
// The files a drag carries, as a log line names them.
std::string FileNames(const DragData& data);

// Carries out a drop let go at global (screen pixels) during a press: the
// drop target under that spot of the program's windows, as the window
// system finds it, is asked as in a live drop when it takes files now.
// Returns the effect taken; a drop not taken leaves a line naming its files
// and why.
int DropLetGoAt(QPoint global, const DragData& data, int allowed, Qt::KeyboardModifiers modifiers);

} // namespace platform
