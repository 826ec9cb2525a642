#pragma once

#include <string_view>

namespace platform::audio {

// GStreamer, which decodes for the media graphs, started once per process.
// False (logged once) when it cannot start; every media graph then fails to
// build, as a graph without the codecs would.
bool StartMediaFramework();

// True when an element of that factory can be made (its plug-in is installed).
bool HasElementFactory(std::string_view factory);

} // namespace platform::audio
