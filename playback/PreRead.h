#pragma once

#include "mainwindow/AssignTables.h"

#include <cstdint>
#include <string_view>

struct MainState;

// After a file was read: every assignment's validity, cache flag and length
// refreshed, and the sound files brought into the system's file cache.
namespace playback {

// Bytes read of a sound to warm the file cache.
inline constexpr std::int64_t PreReadBytes = 576000;

// Clears InvalidIncluded; then every assigned button of the button outputs and
// every list item of the list outputs (outputs below NumOut, pages below
// PageNum) gets ReadItemCue, and with allowSoundPreRead and PreReadSound on
// PreReadSoundFile too.
void PreReadAll(MainState& state, int allowSoundPreRead);
// Cached 0 when no cache copy exists; Invalid from the host check and the
// wave header (or the file's existence on other back-ends); LengthMS from the
// cue labels of the copy that will play.
void ReadItemCue(MainState& state, AssignRecord& record);
// Reads the first 576,000 bytes (or the whole file when shorter) of the copy
// that will play and drops them; 1 when read.
int PreReadSoundFile(std::string_view path);

} // namespace playback
