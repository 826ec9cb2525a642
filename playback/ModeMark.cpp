#include "playback/ModeMark.h"

#include "foundation/Parms.h"

namespace {

constexpr int WaveOutPlayer = 3;

} // namespace

namespace playback {

std::string ModeMark(int playMode)
{
    if (parms::PlayerType != WaveOutPlayer || playMode < 0 || playMode > 3) {
        return {};
    }
    return parms::ModeCaption[static_cast<std::size_t>(playMode)][0];
}

} // namespace playback
