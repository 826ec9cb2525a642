#include "platform/audio/NullCapture.h"

#include "platform/audio/NullInput.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace platform::audio {

namespace {

constexpr int pollMs = 2;

} // namespace

const DeviceOptions& NullCapture::Options() const
{
    return input_.Options();
}

std::size_t NullCapture::Read(std::span<float> frames, int waitMs)
{
    for (int waited = 0;; waited += pollMs) {
        const std::size_t read = input_.Read(frames);
        if (read > 0 || waited >= waitMs) {
            return read;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(pollMs, waitMs - waited)));
    }
}

} // namespace platform::audio
