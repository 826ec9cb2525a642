#pragma once

namespace platform {

// Makes the pump hook dispatch Qt's pending events, so every wait of the
// program lets timers, clicks and keys run (the start-up installs it).
void InstallQtEventPump();

// Dispatches pending window events once through the pump hook.
void DoEvents();

} // namespace platform
