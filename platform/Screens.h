#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

namespace platform {

// The largest right edge and the largest bottom edge over all screens, in
// pixels of the desktop (a right edge is the first pixel column past a screen).
QSize ScreenExtent();
// Test seam: a fixed extent instead of the screens' (none restores them).
void SetScreenExtentOverride(std::optional<QSize> extent);
// The virtual desktop: the smallest rectangle holding every screen, in
// pixels (with the extent override: from 0, 0 to that extent).
QRect VirtualDesktop();

// The part of the screen that holds window (the primary screen when none)
// that windows may take, without panels and docks, in pixels (with the
// extent override: from 0, 0 to that extent).
QRect WorkArea(const QWidget* window);

// The pointer on the desktop, in pixels.
QPoint CursorPosition();
// Test seam: a fixed pointer position (none restores the real one).
void SetCursorPositionOverride(std::optional<QPoint> position);

} // namespace platform
