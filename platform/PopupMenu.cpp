#include "platform/PopupMenu.h"

#include "platform/InputGate.h"
#include "platform/Screens.h"

#include <QAction>
#include <QMenu>

#include <utility>

namespace platform {

namespace {
PopupMenuAnswer popupAnswer;
QPoint answeredAt;
} // namespace

void SetPopupMenuAnswer(PopupMenuAnswer answer)
{
    popupAnswer = std::move(answer);
}

QPoint PopupMenuPosition()
{
    return answeredAt;
}

QAction* ShowPopupMenu(QMenu& menu, std::optional<QPoint> screenPosition)
{
    if (InputKept()) {
        // A menu would take the clicks and keys kept for after the press.
        const QPoint at = screenPosition.value_or(CursorPosition());
        AfterKeptInput(menu, [&menu, at] { ShowPopupMenu(menu, at); });
        return nullptr;
    }
    if (popupAnswer) {
        answeredAt = screenPosition.value_or(CursorPosition());
        QAction* chosen = popupAnswer(menu);
        if (chosen != nullptr && chosen->isEnabled()) {
            chosen->trigger();
            return chosen;
        }
        return nullptr;
    }
    return menu.exec(screenPosition.value_or(CursorPosition()));
}

} // namespace platform
