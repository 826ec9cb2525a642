#include "platform/KeyboardState.h"

#include <QGuiApplication>

#include <utility>

namespace platform {

namespace {

std::function<bool()>& ControlKeyHook()
{
    static std::function<bool()> hook;
    return hook;
}

} // namespace

bool ControlKeyHeld()
{
    if (const auto& hook = ControlKeyHook(); hook) {
        return hook();
    }
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

void SetControlKeyHook(std::function<bool()> hook)
{
    ControlKeyHook() = std::move(hook);
}

} // namespace platform
