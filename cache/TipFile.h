#pragma once

#include "cache/TipInfo.h"

#include <cstdint>
#include <string_view>

// The reader of ".tip" side files: "jingle.wav.tip" beside "jingle.wav",
// written by outside tools and only ever read here.
namespace FCT_Quind {

// Empties every field; Refs gets NumRef empty entries.
void ClearTipInfo(TipInfo& tip);

// Fills tip from the side file of a sound. path is the sound's path or the
// side file's own (ending ".tip" in any case). baseFolder is the folder that
// Folder counts from (the cache folder for a cached copy), or "" for a sound
// on a server folder: then the server must keep tips (SaveTip), else nothing
// is read. 1 when the side file held at least one line; 0 when it is missing,
// empty or unreadable, and when a number line does not fit 32 bits (the
// fields read before it stay). A side file larger than 1 MiB is not read at
// all (0, logged once per file); every other failure is left to the caller.
std::int32_t ReadTipFile(std::string_view path, TipInfo& tip, std::string_view baseFolder);

} // namespace FCT_Quind
