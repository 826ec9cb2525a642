#pragma once

#include <QMargins>

#include <array>
#include <cstdint>
#include <optional>

class QWidget;

// What the X server holds right now, where the toolkit's view lags behind or
// keeps what no longer is: the toolkit learns of a window manager's frame
// some events after the window is shown again, and keeps a frame after the
// window manager that drew it has gone. Off X11 (the offscreen platform,
// Wayland) nothing is known.
namespace platform {

// The frame a window manager put around a shown top-level window (pixels):
// empty when the window stands on the screen unframed; none off X11, before
// the window exists on the server, or while a window manager that does not
// publish its frame is still building it.
std::optional<QMargins> ServerFrameMargins(const QWidget& window);

// Whether the X server or a window manager has taken a shown top-level
// window: it is mapped, or a window manager keeps it (WM_STATE set, as for a
// minimised window). False while its map request waits, or was lost; none
// off X11 or before the window exists on the server.
std::optional<bool> ServerWindowTaken(const QWidget& window);

// Sends the map request of a shown top-level window again.
void ServerMapAgain(const QWidget& window);

// The keys held down on the keyboard, one bit per X key code (code / 8 is
// the byte, code % 8 the bit); none off X11.
using ServerKeymap = std::array<std::uint8_t, 32>;
std::optional<ServerKeymap> ServerKeysDown();

// The window that has the keyboard (its X id); none off X11.
std::optional<std::uintptr_t> ServerKeyboardFocus();

} // namespace platform
