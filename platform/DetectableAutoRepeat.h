#pragma once

#include <optional>

namespace platform {

// Asks the X server to send the keyboard's auto-repeat to this program as
// presses only (detectable auto-repeat), so no repeat ever looks like a
// release. The request goes over the toolkit's own X connection, the one its
// key events come by. Does nothing where the toolkit has no Xlib display
// (other window systems, offscreen); true when the server agreed. Asked once
// per process; later calls give the first answer.
bool RequestDetectableAutoRepeat();

// Test seam: while set, RequestDetectableAutoRepeat gives this answer without
// asking (none restores the server's answer).
void SetDetectableAutoRepeatOverride(std::optional<bool> granted);

} // namespace platform
