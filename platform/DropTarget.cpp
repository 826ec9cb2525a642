#include "platform/DropTarget.h"

#include "platform/ControlEvents.h"
#include "platform/InputCodes.h"
#include "platform/InputGate.h"
#include "platform/base/LogSink.h"

#include <QApplication>
#include <QCursor>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QWidget>

#include <string_view>
#include <utility>

namespace platform {

Qt::DropActions ToDropActions(int effects)
{
    Qt::DropActions actions;
    if ((effects & DropEffectCopy) != 0) {
        actions |= Qt::CopyAction;
    }
    if ((effects & DropEffectMove) != 0) {
        actions |= Qt::MoveAction;
    }
    if ((effects & DropEffectLink) != 0) {
        actions |= Qt::LinkAction;
    }
    return actions;
}

int FromDropActions(Qt::DropActions actions)
{
    int effects = DropEffectNone;
    if (actions.testFlag(Qt::CopyAction)) {
        effects |= DropEffectCopy;
    }
    if (actions.testFlag(Qt::MoveAction)) {
        effects |= DropEffectMove;
    }
    if (actions.testFlag(Qt::LinkAction)) {
        effects |= DropEffectLink;
    }
    return effects;
}

Qt::DropAction ChosenAction(int effect)
{
    if ((effect & DropEffectCopy) != 0) {
        return Qt::CopyAction;
    }
    if ((effect & DropEffectMove) != 0) {
        return Qt::MoveAction;
    }
    if ((effect & DropEffectLink) != 0) {
        return Qt::LinkAction;
    }
    return Qt::IgnoreAction;
}

std::string FileNames(const DragData& data)
{
    std::string names;
    for (const std::string& file : data.Files()) {
        names += (names.empty() ? "" : ", ") + file;
    }
    return names;
}

namespace {

// What a drop in a press takes: never a move, which the source would carry
// out (deleting its file) before the handlers could refuse the drop.
int TakenInPress(int allowed)
{
    return allowed & (DropEffectCopy | DropEffectLink);
}

int NotTaken(const DragData& data, std::string_view why)
{
    Log("Files let go during a press were not taken: " + std::string(why) + " (" + FileNames(data) + ")", 0);
    return DropEffectNone;
}

// The files of the last drag refused in a press because only a move was
// offered; forgotten when a drag is asked about outside a press.
std::string& RefusedInPress()
{
    static std::string names;
    return names;
}

// Refused at once, such a drag is let go of nothing that tells why: one line
// says so, however many controls it passes over.
void RefuseMoveInPress(const QMimeData* mime)
{
    const std::string names = mime != nullptr ? FileNames(DragData::ReadFrom(*mime)) : std::string();
    if (names != RefusedInPress()) {
        RefusedInPress() = names;
        Log("Files dragged during a press were not taken: the other program offered only to move them (" + names + ")",
            0);
    }
}

// Whether a control found as a drop's target takes files now.
bool TakesNow(const QWidget& control)
{
    if (!control.acceptDrops() || !control.isEnabled()) {
        return false;
    }
    for (const QObject* child : control.children()) {
        if (const auto* target = dynamic_cast<const DropTarget*>(child); target != nullptr) {
            return target->Takes();
        }
    }
    return true;
}

// As the toolkit finds a drop's target: the innermost control that takes
// drops; null when that one takes no files now.
QWidget* DropTargetAt(QWidget& top, QPoint at)
{
    QWidget* over = top.childAt(at);
    if (over == nullptr) {
        over = &top;
    }
    while (over != nullptr && !over->acceptDrops() && !over->isWindow()) {
        over = over->parentWidget();
    }
    return over != nullptr && TakesNow(*over) ? over : nullptr;
}

} // namespace

int DropLetGoAt(QPoint global, const DragData& data, int allowed, Qt::KeyboardModifiers modifiers)
{
    QWidget* top = QApplication::topLevelAt(global);
    if (top == nullptr) {
        return NotTaken(data, "they were let go outside the program's windows");
    }
    if (const QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal->window() != top) {
        return NotTaken(data, "a dialog blocks the window they were let go over");
    }
    QWidget* target = DropTargetAt(*top, top->mapFromGlobal(global));
    if (target == nullptr) {
        return NotTaken(data, "nothing takes files where they were let go");
    }
    const QPointer<QWidget> alive(target);
    QMimeData mime;
    data.WriteTo(mime);
    const QPoint at = target->mapFromGlobal(global);
    const Qt::DropActions actions = ToDropActions(allowed);
    QDragEnterEvent enter(at, actions, &mime, Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(target, &enter);
    if (!alive) {
        return NotTaken(data, "the control they were let go over is gone");
    }
    QDropEvent drop(at, actions, &mime, Qt::NoButton, modifiers);
    drop.setDropAction(enter.dropAction());
    if (enter.isAccepted() && enter.dropAction() != Qt::IgnoreAction) {
        QCoreApplication::sendEvent(target, &drop);
    } else {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(target, &leave);
        drop.ignore();
    }
    if (!drop.isAccepted()) {
        return NotTaken(data, "they were refused where they were let go");
    }
    return FromDropActions(drop.dropAction());
}

DropTarget::DropTarget(QWidget& target) : QObject(&target), target_(target), repeat_(this)
{
    target.setAcceptDrops(true);
    target.installEventFilter(this);
    repeat_.SetEnabled(false);
    repeat_.SetInterval(RepeatMs);
    repeat_.OnTimer = [this] {
        if (inside_) {
            RaiseOver(DragOver);
        }
    };
}

bool DropTarget::Takes() const
{
    return target_.isEnabled() && (!TakesDrops || TakesDrops());
}

int DropTarget::RaiseOver(int state)
{
    int effect = allowed_;
    if (OnDragOver) {
        OnDragOver(data_, effect, button_, shift_, ToScale(at_.x(), ScaleUnit::Twips),
                   ToScale(at_.y(), ScaleUnit::Twips), state);
    }
    // Asked all the same: a list scrolls on under the pointer.
    lastEffect_ = Takes() ? effect & allowed_ : DropEffectNone;
    return lastEffect_;
}

void DropTarget::Forget()
{
    inside_ = false;
    repeat_.SetEnabled(false);
    data_.Clear();
}

int DropTarget::CarryOut(Dropped& dropped)
{
    if (!Takes()) {
        return DropEffectNone;
    }
    int effect = dropped.allowed;
    if (OnDragDrop) {
        OnDragDrop(dropped.data, effect, dropped.button, dropped.shift, ToScale(dropped.at.x(), ScaleUnit::Twips),
                   ToScale(dropped.at.y(), ScaleUnit::Twips));
    }
    return effect & dropped.allowed;
}

bool DropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &target_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto& drag = *static_cast<QDragMoveEvent*>(event);
        if (InputKept()) {
            // The handlers are asked where the drop was let go, after the press.
            if (inside_) {
                RaiseOver(DragLeave);
                Forget();
            }
            const Qt::DropAction taken = ChosenAction(TakenInPress(FromDropActions(drag.possibleActions())));
            if (taken == Qt::IgnoreAction && event->type() == QEvent::DragEnter) {
                RefuseMoveInPress(drag.mimeData());
            }
            drag.setDropAction(taken);
            drag.setAccepted(taken != Qt::IgnoreAction);
            return true;
        }
        const bool entering = event->type() == QEvent::DragEnter;
        if (entering) {
            RefusedInPress().clear();
            data_ = drag.mimeData() != nullptr ? DragData::ReadFrom(*drag.mimeData()) : DragData();
            allowed_ = FromDropActions(drag.possibleActions());
            inside_ = true;
        }
        button_ = MouseButtonsCode(drag.buttons());
        shift_ = ShiftCode(drag.modifiers());
        at_ = drag.position().toPoint();
        const Qt::DropAction action = ChosenAction(RaiseOver(entering ? DragEnter : DragOver));
        drag.setDropAction(action);
        // The entry is always taken, so that moves and the leave still come
        // when the handler refuses this spot.
        if (action != Qt::IgnoreAction || entering) {
            drag.accept();
        } else {
            drag.ignore();
        }
        // The resting pointer's repeat counts from the last real move.
        repeat_.SetEnabled(true);
        return true;
    }
    case QEvent::DragLeave:
        if (inside_) {
            RaiseOver(DragLeave);
        }
        Forget();
        return true;
    case QEvent::Drop: {
        auto& drop = *static_cast<QDropEvent*>(event);
        repeat_.SetEnabled(false);
        if (inside_ && lastEffect_ == DropEffectNone && !InputKept()) {
            // Refused where it was let go: the drag just leaves.
            RaiseOver(DragLeave);
            Forget();
            drop.ignore();
            return true;
        }
        Dropped dropped{drop.mimeData() != nullptr ? DragData::ReadFrom(*drop.mimeData()) : DragData(),
                        FromDropActions(drop.possibleActions()), MouseButtonsCode(drop.buttons()),
                        ShiftCode(drop.modifiers()), drop.position().toPoint()};
        int effect = dropped.allowed;
        if (InputKept()) {
            // The other program hears now that a copy is taken. The answers
            // it had lag behind its pointer (it asks for the next spot only
            // once the last is answered, and in a press the answers are
            // slow), so the drop is carried out where the pointer was let
            // go, which is where the pointer is as the drop comes.
            effect = TakenInPress(effect);
            if (effect == DropEffectNone) {
                NotTaken(dropped.data, "the other program offered only to move them");
            } else {
                const QPoint global = QCursor::pos();
                const Qt::KeyboardModifiers modifiers = drop.modifiers();
                AfterKeptInput(*QCoreApplication::instance(), [dropped, effect, global, modifiers] {
                    DropLetGoAt(global, dropped.data, effect, modifiers);
                });
            }
        } else {
            effect = CarryOut(dropped);
        }
        Forget();
        const Qt::DropAction action = ChosenAction(effect & FromDropActions(drop.possibleActions()));
        if (action == Qt::IgnoreAction) {
            drop.ignore();
        } else {
            drop.setDropAction(action);
            drop.accept();
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace platform
