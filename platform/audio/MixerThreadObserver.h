#pragma once

namespace platform::audio {

// Lets a test look inside the mixer threads: started runs on each mixer
// thread before its loop, period after every period it mixed and handed on,
// leftAsleep when a mixer woken while its device was stopped let it stay
// stopped. startQueued runs on a voice's writer thread between queuing the
// first buffer of a start and saying the start to the mixer, where a mixer
// woken by something else may look at the voices. None may allocate, lock or
// log. Null (the default) observes nothing.
struct MixerThreadObserver {
    void (*started)() = nullptr;
    void (*period)() = nullptr;
    void (*leftAsleep)() = nullptr;
    void (*startQueued)() = nullptr;
};

void SetMixerThreadObserver(const MixerThreadObserver* observer);
const MixerThreadObserver* CurrentMixerThreadObserver();

} // namespace platform::audio
