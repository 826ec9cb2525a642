#include "platform/HeldShortcuts.h"

#include "platform/ServerState.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// The start of an X key event as the X protocol lays it out: its type (the
// top bit marks a sent event), the key code, a sequence number, the time.
struct XKeyEventHead {
    std::uint8_t type;
    std::uint8_t code;
    std::uint16_t sequence;
    std::uint32_t time;
};
constexpr std::uint8_t XKeyPress = 2;
constexpr std::uint8_t XKeyRelease = 3;
constexpr std::uint8_t XFocusIn = 9;
// The longest a keyboard waits before it repeats a held key (X servers take
// 660 ms unless told otherwise), and then far longer than between repeats.
constexpr std::uint32_t repeatsWithinMs = 1000;

} // namespace

void HeldShortcuts::Install()
{
    // Gone with the application that owned it: a later one gets its own.
    static QPointer<HeldShortcuts> installed;
    QCoreApplication* application = QCoreApplication::instance();
    if (installed == nullptr && application != nullptr) {
        installed = new HeldShortcuts(application);
        application->installNativeEventFilter(installed);
        application->installEventFilter(installed);
    }
}

bool HeldShortcuts::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (message == nullptr || eventType != "xcb_generic_event_t") {
        return false;
    }
    XKeyEventHead head{};
    std::memcpy(&head, message, sizeof head);
    const std::uint8_t type = head.type & 0x7FU;
    if (type == XKeyPress) {
        // A release can go astray (to another window, while the window is
        // rebuilt), so a held key's press long after its last one is new:
        // the keyboard repeats a held key many times a second.
        const auto held = held_.find(head.code);
        const bool repeat = held != held_.end() && head.time - held->second <= repeatsWithinMs;
        presses_[nextPress_] = Press{head.code, head.time, repeat, false};
        nextPress_ = (nextPress_ + 1) % presses_.size();
        held_[head.code] = head.time;
    } else if (type == XKeyRelease) {
        held_.erase(head.code);
    } else if (type == XFocusIn && !held_.empty()) {
        ForgetReleasedKeys();
    }
    return false;
}

void HeldShortcuts::ForgetReleasedKeys()
{
    // A key let go while another window had the keyboard (while a window of
    // the program was hidden to be rebuilt, say) sent its release there: the
    // keyboard tells which keys are still held, so the next press of a key
    // let go is a press of its own, however soon it comes.
    const std::optional<ServerKeymap> down = ServerKeysDown();
    if (!down) {
        return;
    }
    std::erase_if(held_, [&down](const auto& key) {
        const std::uint32_t code = key.first;
        return code < down->size() * 8 && ((*down)[code / 8] & (1U << (code % 8))) == 0;
    });
}

bool HeldShortcuts::TakePressWasRepeat(std::uint32_t code, std::uint64_t time)
{
    for (std::size_t i = 0; i < presses_.size(); ++i) {
        const Press& press = presses_[(nextPress_ + i) % presses_.size()];
        if (press.offered || press.code != code || press.time != time) {
            continue;
        }
        for (std::size_t done = 0; done <= i; ++done) {
            presses_[(nextPress_ + done) % presses_.size()].offered = true;
        }
        return press.repeat;
    }
    return false;
}

bool HeldShortcuts::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Every press is offered to the focused control (and up to its
        // window), then matched against the shortcuts.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->nativeScanCode() == lastCode_ && key->timestamp() == lastTime_) {
            break;
        }
        lastCode_ = key->nativeScanCode();
        lastTime_ = key->timestamp();
        repeat_ = TakePressWasRepeat(lastCode_, lastTime_) || key->isAutoRepeat();
        break;
    }
    case QEvent::KeyPress:
        // The press was offered and a control takes it: the next offer, even
        // of the same key at the same time, is another press.
        lastCode_ = 0;
        lastTime_ = 0;
        break;
    case QEvent::Shortcut:
        lastCode_ = 0;
        lastTime_ = 0;
        if (repeat_) {
            repeat_ = false;
            return true; // the held shortcut already acted
        }
        break;
    case QEvent::ApplicationStateChange:
        // A release that went to another program's window is never seen.
        held_.clear();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace platform
