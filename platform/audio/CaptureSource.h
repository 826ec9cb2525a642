#pragma once

#include "platform/audio/DeviceSink.h"

#include <cstddef>
#include <span>

namespace platform::audio {

// Sound coming in from an input device: interleaved frames (-1 .. 1) at the
// rate and channel count of its options. Read by one recording thread.
class CaptureSource {
public:
    virtual ~CaptureSource() = default;
    virtual const DeviceOptions& Options() const = 0;
    // Takes the whole frames that are there into frames, waiting up to waitMs
    // for the first; the number of frames read (0 when none came).
    virtual std::size_t Read(std::span<float> frames, int waitMs) = 0;
};

} // namespace platform::audio
