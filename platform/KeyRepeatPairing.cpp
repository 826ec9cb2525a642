#include "platform/KeyRepeatPairing.h"

namespace platform {

std::optional<KeyStroke> KeyRepeatPairing::Flush()
{
    std::optional<KeyStroke> released = std::exchange(pending_, std::nullopt);
    if (released) {
        held_.erase(Id(*released));
    }
    return released;
}

KeyRepeatPairing::Press KeyRepeatPairing::OnPress(const KeyStroke& stroke, std::optional<KeyStroke>& flushFirst)
{
    flushFirst.reset();
    if (pending_ && Id(*pending_) == Id(stroke) && pending_->timestamp == stroke.timestamp) {
        // The held-back release and this press are one auto-repeat.
        pending_.reset();
        return Press::Repeat;
    }
    flushFirst = Flush();
    const bool alreadyHeld = !held_.insert(Id(stroke)).second;
    return stroke.markedRepeat || alreadyHeld ? Press::Repeat : Press::Real;
}

KeyRepeatPairing::Release KeyRepeatPairing::OnRelease(const KeyStroke& stroke, std::optional<KeyStroke>& flushFirst)
{
    flushFirst = Flush();
    if (stroke.markedRepeat) {
        return Release::Repeat;
    }
    if (stroke.timestamp == 0 || repeatsArePressesOnly_) {
        // Without the server's time no press can be paired with it; under
        // detectable auto-repeat there is no press to pair it with.
        held_.erase(Id(stroke));
        return Release::Now;
    }
    pending_ = stroke;
    return Release::Later;
}

std::optional<KeyStroke> KeyRepeatPairing::TakePending()
{
    return Flush();
}

void KeyRepeatPairing::Forget()
{
    held_.clear();
}

} // namespace platform
