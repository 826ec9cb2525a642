#pragma once

namespace platform {

// Makes the pump hooks dispatch Qt's pending events, so every wait of the
// program lets timers, clicks and keys run (the start-up installs it); while
// an InputHold lives they dispatch everything but input.
void InstallQtEventPump();

// Dispatches pending window events once through the pump hook.
void DoEvents();

} // namespace platform
