#pragma once

namespace platform::audio {

// Lets a test look inside the mixer threads: started runs on each mixer
// thread before its loop, period after every period it mixed and handed on.
// Neither may allocate, lock or log. Null (the default) observes nothing.
struct MixerThreadObserver {
    void (*started)() = nullptr;
    void (*period)() = nullptr;
};

void SetMixerThreadObserver(const MixerThreadObserver* observer);
const MixerThreadObserver* CurrentMixerThreadObserver();

} // namespace platform::audio
