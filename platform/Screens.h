#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace platform {

// The largest right edge and the largest bottom edge over all screens, in
// pixels of the desktop (a right edge is the first pixel column past a screen).
QSize ScreenExtent();
// Test seam: a fixed extent instead of the screens' (none restores them).
void SetScreenExtentOverride(std::optional<QSize> extent);
// The virtual desktop: the smallest rectangle holding every screen, in
// pixels (with the extent override: from 0, 0 to that extent).
QRect VirtualDesktop();

// The pointer on the desktop, in pixels.
QPoint CursorPosition();
// Test seam: a fixed pointer position (none restores the real one).
void SetCursorPositionOverride(std::optional<QPoint> position);

} // namespace platform
