#pragma once

#include "platform/base/VirtualClock.h"

#include <gtest/gtest.h>

namespace testsupport {

// A test on virtual time: the clock stands at the given date and time until
// the test moves it.
class ClockFixture : public testing::Test {
protected:
    static std::chrono::sys_days Date(int y, unsigned m, unsigned d)
    {
        return std::chrono::sys_days{std::chrono::year{y} / m / d};
    }
    static std::int64_t At(int h, int m, int s, int ms = 0)
    {
        return ((h * 60LL + m) * 60 + s) * 1000 + ms;
    }
    void SetNow(std::chrono::sys_days date, std::int64_t msOfDay) { clock.Set(date, msOfDay); }

    platform::VirtualClock clock;
    platform::ScopedVirtualClock installed{clock};
};

} // namespace testsupport
