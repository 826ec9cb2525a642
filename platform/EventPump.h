#pragma once

namespace platform {

// Makes the pump hook dispatch Qt's pending events, so every wait of the
// program lets timers and window messages run, and installs the input gate
// (InputGate.h), which keeps operator input from any pump while a press runs.
void InstallQtEventPump();

// Dispatches pending window events once through the pump hook.
void DoEvents();

} // namespace platform
