#pragma once

#include <QPoint>

#include <functional>
#include <optional>

class QAction;
class QMenu;

namespace platform {

// Shows a pop-up menu at a screen position (the pointer when none) and
// returns when it closes; the chosen entry has been triggered by then.
// Returns the chosen entry, or null. Asked for while input is held (a press
// waits for its file), the menu, which takes input of its own, opens only
// after the hold has ended, and this returns null at once.
QAction* ShowPopupMenu(QMenu& menu, std::optional<QPoint> screenPosition = std::nullopt);

// Test seam: while set, the menu is not shown; the answer picks the entry
// (or null), which is then triggered as a click would. While the answer
// runs, PopupMenuPosition gives the screen position the menu opens at.
using PopupMenuAnswer = std::function<QAction*(QMenu& menu)>;
void SetPopupMenuAnswer(PopupMenuAnswer answer);
QPoint PopupMenuPosition();

} // namespace platform
