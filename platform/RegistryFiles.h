#pragma once

#include "platform/LockedFileUpdate.h"

#include <optional>
#include <string>
#include <string_view>

// The per-user registry, kept as files: every key is one file under
// RegistryFolder(), at its lower-case key path with "/" between the parts and
// ".conf" appended (HKEY_CURRENT_USER\Software\Quorvant\common is
// "<folder>/software/quorvant/common.conf"); its sub-keys lie in the folder of
// the same name without ".conf". Writes are locked and atomic like INI files.
namespace platform {

// "${XDG_CONFIG_HOME:-~/.config}/<company>-registry".
std::string RegistryFolder();

// The file of a key path ("\" or "/" between the parts), or nothing for a path
// that names no key (empty, or with a "." or ".." part).
std::optional<std::string> RegistryKeyFile(std::string_view keyPath);

// The whole value, or nothing when the key or the value is missing.
std::optional<std::string> ReadRegistryValue(std::string_view keyPath, std::string_view name);

// Creates the key (and the keys above it) when missing and sets the value.
FileUpdate WriteRegistryValue(std::string_view keyPath, std::string_view name, std::string_view value);

// Removes the value; a missing key or value is left as it is.
FileUpdate DeleteRegistryValue(std::string_view keyPath, std::string_view name);

// Removes the key with its values; a key that still has sub-keys stays, and so
// does every other key.
FileUpdate DeleteRegistryKey(std::string_view keyPath);

} // namespace platform
