#pragma once

#include <memory>

class FrmMain;
class PlaybackControl;
class ButtonGridPorts;
class PlayListControl;
class RemoteControl;
class ConfigDialog;

namespace acceptance {

// The program as it is assembled (app/Composition), without its event loop.
// Made before Form_Load, so the start-up sees every port set.
class SoakProgram {
public:
    SoakProgram();
    ~SoakProgram();
    SoakProgram(const SoakProgram&) = delete;
    SoakProgram& operator=(const SoakProgram&) = delete;

    FrmMain& Window();
    PlaybackControl& Playback();
    ButtonGridPorts& Grid();
    PlayListControl& Lists();
    RemoteControl& Remote();
    ConfigDialog& Config();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace acceptance
