#pragma once

#include <QPoint>
#include <QSize>

#include <optional>

namespace platform {

// The largest right edge and the largest bottom edge over all screens, in
// pixels of the desktop (a right edge is the first pixel column past a screen).
QSize ScreenExtent();
// Test seam: a fixed extent instead of the screens' (none restores them).
void SetScreenExtentOverride(std::optional<QSize> extent);

// The pointer on the desktop, in pixels.
QPoint CursorPosition();
// Test seam: a fixed pointer position (none restores the real one).
void SetCursorPositionOverride(std::optional<QPoint> position);

} // namespace platform
