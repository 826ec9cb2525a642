#pragma once

#include <cstdint>
#include <string_view>

// The sweep of cached sounds whose time is over: a sound's ".tip" side file
// may name the end of its use (EndText), after which its copy in the cache is
// removed together with the tip, before the cache is filled again. The
// caller checks that the cache folder may be swept (CacheFolderUsable).
namespace cache {

// Looks at the tips directly in the cache folder and directly in each of its
// sub-folders (not deeper), skipping the server configuration's "conf",
// "command", "sched" and "log" and the recycle bin. The number of pairs
// removed.
int KillOldCache(std::string_view cacheFolder);

// When the tip at tipPath reads, names an end, and that end lies before the
// present moment of the broadcast day (yyyymmddhhmmss, the day beginning
// HourAdjust seconds after midnight, compared as text so that an end of
// eight digits ends at the start of its day): deletes the tip and the sound
// named like it without its final ".tip". 1 when it removed the pair.
std::int32_t KillOldCacheFile(std::string_view tipPath, std::string_view cacheFolder);

} // namespace cache
