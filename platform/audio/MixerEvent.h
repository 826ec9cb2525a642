#pragma once

#include <cstdint>

namespace platform::audio {

// What the mixer thread has to report. It cannot log (logging allocates and
// writes files), so it queues these plain values and the program's thread
// turns them into log lines.
struct MixerEvent {
    enum Kind : std::uint8_t {
        Underrun,       // the device ran dry and was restarted; value: the system's code
        Suspended,      // the device was suspended and resumed
        WriteFailed,    // a write failed; value: the system's code
        DeviceLost,     // the device failed for good; value: the system's code (0: none);
                        // the mixer goes on with its own clock
        Late,           // the mixer thread woke up late; value: periods skipped
        KeptFramesLost, // a null device's record was full; value: frames not kept
        QueueGrown,     // after repeated underruns more audio is queued ahead; value: frames
        QueueGrownNoRt, // a mixer without real-time priority underran: more is queued ahead; value: frames
        QueueGrownOnce, // a device that cannot take audio back underran: it queues more; value: frames
        QueueGrownLate, // the mixer woke so late that it nearly ran the device dry: it queues more; value: frames
        QueueGrownDry,  // the mixer of a device that cannot take audio back woke once all that was left had
                        // played: it queues more; value: frames
        QueueShrunk,    // ten minutes without an underrun: less is queued ahead again; value: frames
        MarginGrown,    // a start mixed into queued audio ran the device dry; value: the new margin
    };
    Kind kind = Underrun;
    std::int64_t value = 0;
};

} // namespace platform::audio
