#pragma once

#include <QEvent>
#include <QPoint>
#include <QWindow>

#include <functional>
#include <optional>

class QObject;

namespace platform {

// The one place where operator input is let through or kept. While a press
// holds input (InputHold), and then until what was kept has been carried
// out, every click, key, wheel turn, context menu and close that the window
// system addresses to a window of the program is kept, whatever pump or
// nested event loop dispatches it; the event loop carries it out after the
// last hold, one at a time and in its order. Input for a modal window opened
// since the hold began (a box the press asks the operator with) passes. A
// close from a window's close box is the window's (Form) to put off: the
// window system's close and the program's own look alike here.
// InstallQtEventPump installs it.
void InstallInputGate();

// True while input waits at the gate: the program's own deferred input (a
// key release held back, a drop, a menu) must wait its turn too.
bool InputKept();
// As InputKept, for input to window: false for a box asked in the press.
bool InputKeptFrom(const QWindow* window);

// Runs action now when no input is kept, else after the input kept so far;
// not at all when context is gone by then. The program's own actions (a
// close, a menu, a drop) are never dropped, however much the operator kept.
void AfterKeptInput(QObject& context, std::function<void()> action);

// Where a drag begun by kept input was let go, in the press too.
struct KeptDragEnd {
    // On the screen: the release came to the window that took the pointer
    // as the drag began (the material browser, say), whichever it ended over.
    QPoint globalPosition;
    Qt::KeyboardModifiers modifiers;
    bool cancelled = false;   // Esc came first
};
// While a mouse event kept in a press is carried out, a drag it starts takes
// the operator's kept moves and keys up to the first button let go, as the
// drag would have taken them: they are taken from what is kept, and where the
// button was let go is returned. None when the operator had not let go yet
// (the drag follows the live pointer then) or no kept input is carried out.
std::optional<KeptDragEnd> TakeKeptDragEnd();

// Sent to a window after each input kept for it has been carried out and
// before the next one is: what that input asked for at the next safe moment
// (a right-click menu) comes before the input that followed it.
QEvent::Type KeptInputCarriedOut();

} // namespace platform
