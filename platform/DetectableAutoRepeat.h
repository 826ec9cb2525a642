#pragma once

namespace platform {

// Asks the X server to send the keyboard's auto-repeat to this program as
// presses only (detectable auto-repeat), so no repeat ever looks like a
// release. Does nothing on other window systems; true when the server agreed.
// Asked once per process; later calls give the first answer.
bool RequestDetectableAutoRepeat();

} // namespace platform
