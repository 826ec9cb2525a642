#pragma once

#include <string_view>

class FrmMain;

// The on-screen trace of the play function, the engine tick and the remote
// poll: the latest line only, in grey in the bottom strip of the main
// window's client area, drawn only with ShowObservation.
class ObservationLine {
public:
    explicit ObservationLine(FrmMain& window) : window_(window) {}

    static constexpr int StripHeight = 20;

    void AddObservation(std::string_view text);

private:
    FrmMain& window_;
};
