#pragma once

#include "platform/base/Hooks.h"
#include "platform/base/VirtualClock.h"
#include "support/TestFileLayer.h"

#include <algorithm>
#include <cstdint>

namespace playbacktest {

// A slow server: calls on "/studio/jingles/" from the I/O threads are held
// until 300 ms of virtual time after the first was seen held. A pump moves
// time 5 ms on only while held calls are all that runs: then the server is
// what the caller waits for, not an I/O thread, which answers in real time
// however late it is scheduled. Every pump notes the longest stretch the
// window went without pumping (and so without feeding the players). The pump
// hook is taken out again at the end.
class HeldServerOpens {
public:
    HeldServerOpens(platform::VirtualClock& clock, testsupport::TestFileLayer& layer)
    {
        lastFeed_ = clock.TotalMs();
        platform::SetPumpHook([this, &clock, &layer] {
            ++pumps;
            longestWithoutFeed = std::max(longestWithoutFeed, clock.TotalMs() - lastFeed_);
            lastFeed_ = clock.TotalMs();
            if (layer.heldCalls == 0 || !layer.OnlyHeldCallsRun()) {
                return;
            }
            clock.Advance(5);
            if (heldSince < 0) {
                heldSince = clock.TotalMs();
            }
            if (heldSince >= 0 && !released_ && clock.TotalMs() - heldSince >= 300) {
                layer.Release();
                released_ = true;
            }
        });
        layer.Hold("/studio/jingles/", false);
    }
    ~HeldServerOpens() { platform::SetPumpHook(nullptr); }
    HeldServerOpens(const HeldServerOpens&) = delete;
    HeldServerOpens& operator=(const HeldServerOpens&) = delete;

    // When the first held call was seen, -1 until then.
    std::int64_t heldSince = -1;
    std::int64_t longestWithoutFeed = 0;
    int pumps = 0;

private:
    std::int64_t lastFeed_ = 0;
    bool released_ = false;
};

} // namespace playbacktest
