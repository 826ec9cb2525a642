#include "platform/DragSource.h"

#include "platform/DropTarget.h"
#include "platform/InputGate.h"
#include "platform/base/LogSink.h"

#include <QApplication>
#include <QDragEnterEvent>

#include <QDrag>
#include <QMimeData>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

namespace {

DragHook dragHook;

QWidget* TopLevelOf(const QWindow& window)
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == &window) {
            return top;
        }
    }
    return nullptr;
}

// As the toolkit finds a drop's target: the innermost control that takes drops.
QWidget* DropTargetAt(QWidget& top, QPoint at)
{
    if (!top.rect().contains(at)) {
        return nullptr;
    }
    QWidget* over = top.childAt(at);
    if (over == nullptr) {
        over = &top;
    }
    while (over != nullptr && !over->acceptDrops() && !over->isWindow()) {
        over = over->parentWidget();
    }
    return over != nullptr && over->acceptDrops() ? over : nullptr;
}

// A drag not carried out leaves a line saying what it carried and why.
int DropKeptLost(const DragData& data, std::string_view why)
{
    Log("A drag made during a press was dropped: " + std::string(why) + " (" + FileNames(data) + ")", 0);
    return DropEffectNone;
}

// A drag the operator made and let go during a press lands where it was
// let go, not where the pointer is by now.
int DropKept(const KeptDragEnd& end, const DragData& data, int allowed)
{
    if (end.cancelled) {
        return DropKeptLost(data, "Esc came before it was let go");
    }
    if (end.window == nullptr) {
        return DropKeptLost(data, "it was let go outside the program's windows");
    }
    QWidget* top = end.window->isVisible() ? TopLevelOf(*end.window) : nullptr;
    if (top == nullptr) {
        return DropKeptLost(data, "the window it was let go over is gone");
    }
    QWidget* target = DropTargetAt(*top, end.position.toPoint());
    if (target == nullptr) {
        return DropKeptLost(data, "nothing takes files where it was let go");
    }
    const QPointer<QWidget> alive(target);
    QMimeData mime;
    data.WriteTo(mime);
    const QPoint at = target->mapFrom(top, end.position.toPoint());
    const Qt::DropActions actions = ToDropActions(allowed);
    const Qt::KeyboardModifiers modifiers = end.modifiers;
    QDragEnterEvent enter(at, actions, &mime, Qt::NoButton, modifiers);
    QCoreApplication::sendEvent(target, &enter);
    if (!alive) {
        return DropKeptLost(data, "the control it was let go over is gone");
    }
    if (!enter.isAccepted() || enter.dropAction() == Qt::IgnoreAction) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(target, &leave);
        return DropKeptLost(data, "it was refused where it was let go");
    }
    QDropEvent drop(at, actions, &mime, Qt::NoButton, modifiers);
    drop.setDropAction(enter.dropAction());
    QCoreApplication::sendEvent(target, &drop);
    if (!drop.isAccepted()) {
        return DropKeptLost(data, "it was refused where it was let go");
    }
    return FromDropActions(drop.dropAction());
}

} // namespace

void SetDragHook(DragHook hook)
{
    dragHook = std::move(hook);
}

int StartDrag(QWidget& source, const DragData& data, int allowedEffects)
{
    const int allowed = allowedEffects & (DropEffectCopy | DropEffectMove | DropEffectLink);
    if (allowed == DropEffectNone || data.FileCount() == 0) {
        return DropEffectNone;
    }
    if (const std::optional<KeptDragEnd> end = TakeKeptDragEnd()) {
        return DropKept(*end, data, allowed) & allowed;
    }
    if (dragHook) {
        return dragHook(source, data, allowed) & allowed;
    }
    // The drag and its data belong to the source widget (Qt ownership).
    const QPointer<QDrag> drag = new QDrag(&source);
    auto* mime = new QMimeData;
    data.WriteTo(*mime);
    drag->setMimeData(mime);
    const Qt::DropAction result = drag->exec(ToDropActions(allowed), ChosenAction(allowed));
    if (drag) {
        drag->deleteLater();
    }
    return FromDropActions(result) & allowed;
}

} // namespace platform
