#pragma once

#include <functional>

class QObject;
class QWindow;

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
// not at all when context is gone by then.
void AfterKeptInput(QObject& context, std::function<void()> action);

} // namespace platform
