#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <utility>

namespace platform {

// One key event as the window system delivered it: the key, the keyboard's
// scan code (0 when unknown), the server's time in milliseconds (0 when the
// event carries none, as synthesized events do) and the toolkit's own
// auto-repeat mark.
struct KeyStroke {
    int key = 0;
    std::uint32_t scanCode = 0;
    std::uint64_t timestamp = 0;
    bool markedRepeat = false;
};

// Tells the keyboard's auto-repeat from real presses and releases. X11 sends
// an auto-repeat as a release and a press at the same server time; the
// toolkit marks the pair only when both arrive in one batch. So a release is
// held back until the next key event shows whether a press of the same key at
// the same time follows (the two are one repeat) or until the caller's short
// deadline passes (it was real). A press of a key already held is a repeat
// too, which is how a server with detectable auto-repeat sends them; under
// detectable auto-repeat no repeat comes as a release, so every release is
// real and acts at once.
class KeyRepeatPairing {
public:
    enum class Press { Real, Repeat };
    enum class Release { Now, Later, Repeat };

    // Whether the window system sends auto-repeat as presses alone.
    void SetRepeatsArePressesOnly(bool on) { repeatsArePressesOnly_ = on; }

    // flushFirst receives a held-back release that this event shows was real;
    // the caller delivers it before this event.
    Press OnPress(const KeyStroke& stroke, std::optional<KeyStroke>& flushFirst);
    Release OnRelease(const KeyStroke& stroke, std::optional<KeyStroke>& flushFirst);

    // The held-back release once its deadline has passed: it was real.
    std::optional<KeyStroke> TakePending();
    bool HasPending() const { return pending_.has_value(); }

    // The window lost the keyboard: its releases go elsewhere, so no key
    // counts as held any more (a key that seems held would never play again).
    void Forget();

private:
    using KeyId = std::pair<int, std::uint32_t>;
    static KeyId Id(const KeyStroke& stroke) { return {stroke.key, stroke.scanCode}; }
    std::optional<KeyStroke> Flush();

    std::optional<KeyStroke> pending_;
    std::set<KeyId> held_;
    bool repeatsArePressesOnly_ = false;
};

} // namespace platform
