#include "platform/DragSource.h"

#include "platform/DropTarget.h"
#include "platform/InputGate.h"
#include "platform/base/LogSink.h"

#include <QDrag>
#include <QMimeData>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <utility>

namespace platform {

namespace {

DragHook dragHook;

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
        if (end->cancelled) {
            Log("Files dragged during a press were not taken: Esc came before they were let go (" + FileNames(data) +
                    ")",
                0);
            return DropEffectNone;
        }
        // Where the operator let go, not where the pointer is by now.
        return DropLetGoAt(end->globalPosition, data, allowed, end->modifiers) & allowed;
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
