#include "platform/Screen.h"

#include "platform/base/Numbers.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

int ScreenTwipsPerPixel()
{
    constexpr int fallback = 15;
    if (QGuiApplication::instance() == nullptr) {
        return fallback;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return fallback;
    }
    const double dpi = screen->logicalDotsPerInchX();
    if (!(dpi >= 1.0)) {
        return fallback;
    }
    const auto twips = numeric::RoundToInt64(1440.0 / dpi);
    return twips >= 1 ? static_cast<int>(twips) : 1;
}

} // namespace platform
