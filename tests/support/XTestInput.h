#pragma once

// Keys as a real X server delivers them, for the checks and benchmarks that
// run on an X server of their own (Xvfb): keys pressed and released through
// the XTest extension on the toolkit's own X connection, the keyboard's
// auto-repeat timing, and a watch on the key events as they reach the
// program. The X libraries are looked up at run time (the toolkit's X11
// plugin has loaded Xlib already), so the build needs no X headers.
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QObject>

#include <dlfcn.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <utility>

namespace testsupport {

#if QT_CONFIG(xcb)
using XDisplayHandle = Display*;
#else
using XDisplayHandle = void*;
#endif

class XTestInput {
public:
    XTestInput()
    {
#if QT_CONFIG(xcb)
        auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        display_ = x11 != nullptr ? x11->display() : nullptr;
#endif
        if (display_ == nullptr) {
            why_ = "the toolkit has no Xlib display";
            return;
        }
        void* xlib = dlopen("libX11.so.6", RTLD_LAZY);
        void* xtst = dlopen("libXtst.so.6", RTLD_LAZY);
        if (xlib == nullptr || xtst == nullptr) {
            why_ = "libXtst is not installed (scripts/install-deps installs it with xdotool)";
            return;
        }
        Find(xlib, "XKeysymToKeycode", keycodeOf_);
        Find(xlib, "XFlush", flush_);
        Find(xlib, "XkbGetAutoRepeatRate", getRepeat_);
        Find(xlib, "XkbSetAutoRepeatRate", setRepeat_);
        Find(xtst, "XTestFakeKeyEvent", fakeKey_);
        if (keycodeOf_ == nullptr || flush_ == nullptr || getRepeat_ == nullptr || setRepeat_ == nullptr ||
            fakeKey_ == nullptr) {
            why_ = "Xlib or XTest lacks a function";
            return;
        }
        ready_ = getRepeat_(display_, UseCoreKeyboard, &savedDelay_, &savedInterval_) != 0;
        if (!ready_) {
            why_ = "the X server does not tell its auto-repeat";
        }
    }
    ~XTestInput()
    {
        if (ready_ && repeatChanged_) {
            setRepeat_(display_, UseCoreKeyboard, savedDelay_, savedInterval_);
            flush_(display_);
        }
    }
    XTestInput(const XTestInput&) = delete;
    XTestInput& operator=(const XTestInput&) = delete;

    bool Ready() const
    {
        return ready_;
    }
    const std::string& Why() const
    {
        return why_;
    }

    // The key of an X keysym (Latin-1 keys have their character's code) goes
    // down or up, as the keyboard would send it.
    void Key(unsigned long keysym, bool down)
    {
        fakeKey_(display_, keycodeOf_(display_, keysym), down ? 1 : 0, 0);
        flush_(display_);
    }

    // A held key repeats after delayMs, then every intervalMs, until this
    // input is gone.
    void SetAutoRepeat(unsigned delayMs, unsigned intervalMs)
    {
        repeatChanged_ = true;
        setRepeat_(display_, UseCoreKeyboard, delayMs, intervalMs);
        flush_(display_);
    }

private:
    template <typename Function> static void Find(void* library, const char* name, Function& function)
    {
        function = reinterpret_cast<Function>(dlsym(library, name));
    }

    static constexpr unsigned UseCoreKeyboard = 0x0100;

    XDisplayHandle display_ = nullptr;
    bool ready_ = false;
    bool repeatChanged_ = false;
    std::string why_;
    unsigned savedDelay_ = 0;
    unsigned savedInterval_ = 0;
    unsigned char (*keycodeOf_)(XDisplayHandle, unsigned long) = nullptr;
    int (*flush_)(XDisplayHandle) = nullptr;
    int (*getRepeat_)(XDisplayHandle, unsigned, unsigned*, unsigned*) = nullptr;
    int (*setRepeat_)(XDisplayHandle, unsigned, unsigned, unsigned) = nullptr;
    int (*fakeKey_)(XDisplayHandle, unsigned, int, unsigned long) = nullptr;
};

// Notes every key event as it reaches the program, before any window sees
// it: installed after the windows' own filters, it is asked first.
class KeyArrivals : public QObject {
public:
    struct Arrival {
        QEvent::Type type = QEvent::None;
        int key = 0;
        unsigned long serverMs = 0;
        std::int64_t monotonicNs = 0;
    };

    explicit KeyArrivals(std::function<void(const Arrival&)> onKey) : onKey_(std::move(onKey))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~KeyArrivals() override { QCoreApplication::instance()->removeEventFilter(this); }
    KeyArrivals(const KeyArrivals&) = delete;
    KeyArrivals& operator=(const KeyArrivals&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A key goes to the focused widget (the window when none has the
        // focus) and from there up to its window: that first widget's
        // delivery is its arrival.
        if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
            watched == QGuiApplication::focusObject()) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            const auto& key = *static_cast<QKeyEvent*>(event);
            onKey_({event->type(), key.key(), static_cast<unsigned long>(key.timestamp()),
                    static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec});
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(const Arrival&)> onKey_;
};

} // namespace testsupport
