#pragma once

#include "platform/LockedFileUpdate.h"

#include <optional>
#include <string>
#include <string_view>

// Our INI engine, in place of the old private-profile functions. Reads take no
// lock (files are only ever replaced whole); writes go through the locked,
// atomic update and leave every other line of the file as it was.
namespace platform {

// The value of key in section of the INI file, or nothing when the file, the
// section or the key is missing or the file cannot be read.
std::optional<std::string> ReadProfileString(const std::string& file, std::string_view section, std::string_view key);

// Sets key in section, creating the file, the section and the key as needed.
FileUpdate WriteProfileString(const std::string& file, std::string_view section, std::string_view key,
                              std::string_view value);

} // namespace platform
