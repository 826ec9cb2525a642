#pragma once

#include <functional>

class QObject;

namespace platform {

// Makes the pump hooks dispatch Qt's pending events, so every wait of the
// program lets timers, clicks and keys run (the start-up installs it); while
// an InputHold lives they dispatch everything but input.
void InstallQtEventPump();

// Dispatches pending window events once through the pump hook.
void DoEvents();

// Runs action from the event loop once no input is held, never inside the
// request whose wait held it; not at all when context is gone by then.
void PostAfterInputHold(QObject& context, std::function<void()> action);

} // namespace platform
