#include "platform/DetectableAutoRepeat.h"

#include "platform/base/LogSink.h"

#include <QGuiApplication>

#include <dlfcn.h>

namespace platform {

namespace {

bool Ask()
{
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return false;
    }
    // Xlib is already loaded by the toolkit's X11 plugin; looking the call up
    // at run time keeps the build free of X11 headers.
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (xlib == nullptr) {
        xlib = dlopen("libX11.so.6", RTLD_LAZY);
    }
    if (xlib == nullptr) {
        Log("Detectable auto-repeat: Xlib not found; repeats are paired by time");
        return false;
    }
    using SetDetectable = int (*)(Display*, int, int*);
    const auto set = reinterpret_cast<SetDetectable>(dlsym(xlib, "XkbSetDetectableAutoRepeat"));
    int supported = 0;
    if (set != nullptr) {
        set(display, 1, &supported);
    }
    if (supported == 0) {
        Log("Detectable auto-repeat refused by the X server; repeats are paired by time");
    }
    return supported != 0;
#else
    return false;
#endif
}

std::optional<bool>& Override()
{
    static std::optional<bool> granted;
    return granted;
}

} // namespace

bool RequestDetectableAutoRepeat()
{
    if (const std::optional<bool>& answer = Override(); answer) {
        return *answer;
    }
    static const bool granted = Ask();
    return granted;
}

void SetDetectableAutoRepeatOverride(std::optional<bool> granted)
{
    Override() = granted;
}

} // namespace platform
