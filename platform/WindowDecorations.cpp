#include "platform/WindowDecorations.h"

#include <QWidget>

namespace platform {

void RemoveCloseButton(QWidget& window)
{
    Qt::WindowFlags flags = window.windowFlags();
    if (!flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowCloseButtonHint)) {
        // With custom hints the manager shows only the buttons asked for.
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
        flags &= ~Qt::WindowCloseButtonHint;
        const bool visible = window.isVisible();
        const Qt::WindowStates state = window.windowState();
        const QRect geometry = window.geometry();
        // Changing the flags hides a shown window; show it again as it was.
        window.setWindowFlags(flags);
        if (visible) {
            window.setGeometry(geometry);
            window.setWindowState(state);
            window.show();
        }
    }
}

} // namespace platform
