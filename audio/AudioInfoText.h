#pragma once

#include "audio/AudioInfo.h"

#include <string_view>

// Length and format text of any sound file the program plays, for lists,
// tips, the sound information message and the monitor window: wave files by
// their header (wav(44.1kHz/16bit/St)), MPEG audio by its frame header
// (mp3(44.1kHz/128kb/JS)), every other playable type by asking a player.
namespace FCT_AudioInf {

// mode 1: several lines (name, type name, format text, length); any other
// mode: the one-line text. longForm 1: the long wording of the format text.
// With handle 0 the file is opened here and closed before returning.
AudioInfo GetAudioInfoText(std::string_view fileName, int handle, int mode, int longForm);

} // namespace FCT_AudioInf
