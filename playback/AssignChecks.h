#pragma once

#include "audio/WaveInfoRecord.h"

#include <cstdint>
#include <string_view>

struct MainState;
namespace platform {
class Form;
}

// Checks shared by the sound buttons, the play lists and the assign table
// file, and the playing length of a sound between its cue labels.
namespace playback {

// refused 1 (after telling the operator) when another file of the same name
// (exact case) with another path is assigned on a button of the grid or in a
// list, pages below PageNum; else 0.
void CheckDuplicateTitle(const MainState& state, std::string_view path, std::int32_t& refused, platform::Form* owner);

// allowed 1 when the path begins (any case) with one of the allowed sound
// locations, or none is set; else 0, telling the operator when showMessage.
void CheckSoundPath(const MainState& state, std::string_view path, int showMessage, std::int32_t& allowed,
                    platform::Form* owner);

// refused 1 (after telling the operator which file, and logging why) when the
// path is no UTF-8 text, as a name from an older share with a byte of another
// code page is: the assign table could not hold it (its text would give back
// another name, and the sound would be lost), so it is never assigned; else 0.
void CheckNameIsText(const MainState& state, std::string_view path, std::int32_t& refused, platform::Form* owner);

// Whether the back-end in use (PlayerType) can play the file at path: the
// DirectSound (0) and waveOut (3) back-ends play PCM wave files only, as the
// wave reader judges the header (waveOut also an extensible one with PCM
// samples); the graph back-ends may decode anything, so the file existing is
// enough. The host of path is not asked here.
bool BackEndPlays(std::string_view path);

// length: ms between the start cue and the end (or stop) cue, or to the end
// of the file; the information reader's length when no cue switch is on or the
// back-end does not read sample positions. info is used when Valid is 1, else
// read from the file. 0 for a file that cannot be read.
void ReadCueMarkers(std::string_view path, WaveInfoRecord& info, std::int32_t& length);

} // namespace playback
