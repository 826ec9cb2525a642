#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <array>
#include <cstdint>
#include <map>

namespace platform {

// A shortcut (a menu's Alt+letter, say) acts once per press of its keys:
// while they are held, the keyboard's auto-repeat sends the press again and
// again, and a command such as switching the display size would run each
// time. The X server may send a repeat as a press alone (detectable
// auto-repeat), which the toolkit does not mark; a key counts as held from
// its press to its release as the X server sent them, seen before any
// window or menu can take them for itself. A release sent to another window
// (while the program's window was hidden to be rebuilt) is made up for from
// the keyboard's state when the keyboard comes back to the program.
class HeldShortcuts final : public QObject, public QAbstractNativeEventFilter {
public:
    // Watches every key of the application, once.
    static void Install();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
    // Whether the press of this key at this server time came while it was
    // held. Presses are offered in the order the server sent them, and one
    // millisecond can hold a repeat, its key's release and a new press: the
    // oldest press not yet offered that matches is the one, and those before
    // it are done with.
    bool TakePressWasRepeat(std::uint32_t code, std::uint64_t time);
    // Forgets the held keys the keyboard no longer holds.
    void ForgetReleasedKeys();

    struct Press {
        std::uint32_t code = 0;
        std::uint32_t time = 0;
        bool repeat = false;
        bool offered = true;
    };
    std::map<std::uint32_t, std::uint32_t> held_; // X key code -> server time of its last press
    // The last presses read from the server, which the toolkit may handle
    // after later ones were read.
    std::array<Press, 16> presses_{};
    std::size_t nextPress_ = 0;
    bool repeat_ = false; // the shortcut being matched is a repeat
    // The press being offered: it travels up from the focused control, until
    // a shortcut or a control takes it.
    std::uint32_t lastCode_ = 0;
    std::uint64_t lastTime_ = 0;
};

} // namespace platform
