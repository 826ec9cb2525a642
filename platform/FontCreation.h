#pragma once

#include "platform/Font.h"

#include <string>
#include <string_view>

namespace platform {

// Creates the font a request describes; null (with a log line) when the
// request cannot be met. The face's design ascent plus descent is scaled to
// the requested cell height.
FontHandle CreateFontIndirect(const LogicalFont& request);

// The installed family that stands for a face name the program uses: the
// Japanese interface faces map to the installed CJK face, "Impact" to a
// condensed bold face; any other name is passed on as it is.
std::string InstalledFamily(std::string_view faceName);

} // namespace platform
