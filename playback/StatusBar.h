#pragma once

#include "mainwindow/ports/RemotePort.h"

#include <array>
#include <string>
#include <string_view>

class FrmMain;

// The diagnostic ticker in the top strip of the main window's client area:
// the clock, the cache state, whether every assigned file is valid and the
// state of each USB remote box, scrolling from right to left once a minute,
// in red when anything needs attention. Drawn only with ShowObservation.
class StatusBar {
public:
    explicit StatusBar(FrmMain& window) : window_(window) {}

    static constexpr int StripHeight = 20;

    struct Line {
        std::string text;
        bool alert = false;
    };
    struct Inputs {
        std::string stamp;          // the time stamp to show
        bool showCache = false;     // a cache folder is set and AlertNoCache is on
        std::int32_t allCached = 1;
        std::int32_t invalidIncluded = 0;
        std::array<RemotePort::HidBoxState, 4> boxes{};
        double secondsOfDay = 0.0;  // now, for the reset countdowns
    };
    static Line Compose(const Inputs& inputs);
    // Left edge of the text in pixels: the text crosses a window of width
    // pixels once a minute, by the centiseconds of the day.
    static int TickerX(int width, int textWidth, double secondsOfDay);

    // Redraws the bar, at most five times a second.
    void DrawStatusBar();

private:
    FrmMain& window_;
    double lastStatusTime_ = -1.0;
};
