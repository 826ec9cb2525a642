#include "platform/DropTarget.h"

#include "platform/ControlEvents.h"
#include "platform/InputCodes.h"
#include "platform/InputGate.h"
#include "platform/base/LogSink.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QWidget>

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

int DropTarget::RaiseOver(int state)
{
    int effect = allowed_;
    if (OnDragOver) {
        OnDragOver(data_, effect, button_, shift_, ToScale(at_.x(), ScaleUnit::Twips),
                   ToScale(at_.y(), ScaleUnit::Twips), state);
    }
    lastEffect_ = effect & allowed_;
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
        const bool entering = event->type() == QEvent::DragEnter;
        if (entering) {
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
        if (inside_ && lastEffect_ == DropEffectNone) {
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
            // The drop comes while a press runs: the source hears now the
            // effect taken over this spot, the handler after the press, in
            // its turn among the clicks and keys kept meanwhile.
            if (inside_) {
                effect = lastEffect_;
            }
            dropped.allowed = effect;
            AfterKeptInput(*this, [this, dropped]() mutable {
                if (CarryOut(dropped) == DropEffectNone) {
                    // The other program was told that the drop was taken.
                    Log("Input kept during a press was dropped: the drop was refused where it was let go (" +
                            FileNames(dropped.data) + ")",
                        0);
                }
            });
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
