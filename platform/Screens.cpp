#include "platform/Screens.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace platform {

namespace {
std::optional<QSize> extentOverride;
std::optional<QPoint> cursorOverride;
} // namespace

QSize ScreenExtent()
{
    if (extentOverride) {
        return *extentOverride;
    }
    int right = 0;
    int bottom = 0;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect area = screen->geometry();
            right = std::max(right, area.x() + area.width());
            bottom = std::max(bottom, area.y() + area.height());
        }
    }
    return QSize(right, bottom);
}

void SetScreenExtentOverride(std::optional<QSize> extent)
{
    extentOverride = extent;
}

QRect VirtualDesktop()
{
    if (extentOverride) {
        return QRect(QPoint(0, 0), *extentOverride);
    }
    QRect desktop;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        for (const QScreen* screen : QGuiApplication::screens()) {
            desktop = desktop.united(screen->geometry());
        }
    }
    return desktop;
}

QRect WorkArea(const QWidget* window)
{
    if (extentOverride) {
        return QRect(QPoint(0, 0), *extentOverride);
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return {};
    }
    const QScreen* screen = window != nullptr ? window->screen() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

QPoint CursorPosition()
{
    return cursorOverride ? *cursorOverride : QCursor::pos();
}

void SetCursorPositionOverride(std::optional<QPoint> position)
{
    cursorOverride = position;
}

} // namespace platform
