#pragma once

#include <cstdint>

// What saves killed before their rename leave behind (a power cut, a kill):
// the hidden temporary files of the atomic writer beside their targets.
namespace basic {

// Temporary files younger than this may belong to a save that runs now in
// another session, and stay.
inline constexpr std::int64_t InterruptedSaveAgeSeconds = 3600;

// At start-up: removes the atomic writer's temporary files (its own name
// pattern only) older than an hour beside the program (its settings files and
// the session's default assign table), the settings INI file, the assign table
// last opened, and in the registry files; one log line names what went.
// nowSeconds: seconds since 1970. Returns the number removed.
int RemoveInterruptedSaves(std::int64_t nowSeconds);

} // namespace basic
