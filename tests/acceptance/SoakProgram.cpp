#include "SoakProgram.h"

#include "app/Composition.h"

namespace acceptance {

// The soak drives the program exactly as it is assembled.
struct SoakProgram::Parts {
    Composition program;
};

SoakProgram::SoakProgram() : parts_(std::make_unique<Parts>()) {}
SoakProgram::~SoakProgram() = default;

FrmMain& SoakProgram::Window()
{
    return parts_->program.Window;
}
PlaybackControl& SoakProgram::Playback()
{
    return parts_->program.Playback;
}
ButtonGridPorts& SoakProgram::Grid()
{
    return parts_->program.Grid;
}
PlayListControl& SoakProgram::Lists()
{
    return parts_->program.Lists;
}
RemoteControl& SoakProgram::Remote()
{
    return parts_->program.Remote;
}
ConfigDialog& SoakProgram::Config()
{
    return parts_->program.Config;
}

} // namespace acceptance
