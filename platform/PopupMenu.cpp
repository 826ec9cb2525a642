#include "platform/PopupMenu.h"

#include "platform/Screens.h"

#include <QAction>
#include <QMenu>

#include <utility>

namespace platform {

namespace {
PopupMenuAnswer popupAnswer;
}

void SetPopupMenuAnswer(PopupMenuAnswer answer)
{
    popupAnswer = std::move(answer);
}

QAction* ShowPopupMenu(QMenu& menu, std::optional<QPoint> screenPosition)
{
    if (popupAnswer) {
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
