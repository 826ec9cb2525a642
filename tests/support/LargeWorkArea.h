#pragma once

#include "platform/Screens.h"

#include <QSize>

#include <optional>

namespace testsupport {

// The screens' work area of a test while it lives: 2,560 x 1,440 pixels,
// large enough for the main window of the big display.
struct LargeWorkArea {
    LargeWorkArea() { platform::SetScreenExtentOverride(QSize(2560, 1440)); }
    ~LargeWorkArea() { platform::SetScreenExtentOverride(std::nullopt); }
    LargeWorkArea(const LargeWorkArea&) = delete;
    LargeWorkArea& operator=(const LargeWorkArea&) = delete;
};

} // namespace testsupport
