#pragma once

#include <functional>

namespace platform {

// Whether the Control key is held right now, as the window system reports
// the modifier keys.
bool ControlKeyHeld();

// Test seam: while set, ControlKeyHeld asks this instead.
void SetControlKeyHook(std::function<bool()> hook);

} // namespace platform
