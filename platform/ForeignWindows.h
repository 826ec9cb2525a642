#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

class QWidget;

// Windows of other programs on the desktop. Only an X11 desktop lets a
// program look at and raise the windows of others; elsewhere (Wayland, the
// offscreen platform) nothing is found and nothing is raised.
namespace platform {

// The desktop's id of another program's top-level window.
using ForeignWindow = std::uint32_t;

// A top-level window whose title is exactly title, the first in the window
// manager's list; none when there is none or the desktop does not tell.
std::optional<ForeignWindow> FindTopLevelWindow(std::string_view title);

// Asks the window manager to make the window the active one; false when
// the request could not be sent.
bool ActivateTopLevelWindow(ForeignWindow window);

// True while window is the desktop's active window.
bool IsForegroundWindow(const QWidget& window);

} // namespace platform
