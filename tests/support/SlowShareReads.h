#pragma once

// A share whose every read takes its time: while it lives, each block every
// file source made meanwhile hands on (each read) first waits fromMs to toMs
// (drawn from a fixed seed) on the source's thread, where a slow share's read
// waits. Graphs made meanwhile must be gone first. (Header only.)
#include "support/FileSourceReads.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace testsupport {

class SlowShareReads {
public:
    SlowShareReads(int fromMs, int toMs) : fromMs_(fromMs), toMs_(toMs) {}
    SlowShareReads(const SlowShareReads&) = delete;
    SlowShareReads& operator=(const SlowShareReads&) = delete;

private:
    static void Read(GstBuffer*, void* data)
    {
        auto* self = static_cast<SlowShareReads*>(data);
        const auto draw = static_cast<unsigned>(self->reads_.fetch_add(1) + 1) * 2654435761U >> 16;
        const int ms = self->fromMs_ + static_cast<int>(draw % static_cast<unsigned>(self->toMs_ - self->fromMs_ + 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

    const int fromMs_;
    const int toMs_;
    std::atomic<int> reads_{0};
    // Last, so reads stop being hooked before the rest goes.
    FileSourceReads probe_{&Read, this};
};

} // namespace testsupport
