#pragma once

// The kernel's termios2 carries any baud rate (BOTHER), which the C library's
// termios cannot. Its header clashes with <termios.h>: include this one only
// where <termios.h> is not included.
#include "platform/SerialLineSettings.h"

#include <asm/termbits.h>

#include <optional>

namespace platform {

// The line state for the settings, made from the state the driver holds: raw
// bytes in both directions (no line editing, echo, signals, character
// translation or software flow control), 8 data bits, the receiver on, modem
// lines ignored, no hardware flow control, reads that return at once. Even or
// odd parity also drops received bytes with a parity or framing error, so a
// damaged byte never reaches a protocol as another value. Standard rates use
// their own code, every other rate BOTHER with the exact rate. None when the
// settings cannot be applied (a rate below 1, an unknown parity or stop code).
std::optional<termios2> SerialLineState(const termios2& current, const SerialLineSettings& settings);

} // namespace platform
