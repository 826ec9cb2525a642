#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Windows shortcut files (".lnk") read by our own reader of their public
// binary layout: a fixed header, an optional item list, and the link
// information that names the target by its network share or by its drive.
// Nothing of a shortcut is ever run or followed; only its target is read.
namespace cache::shortcut {

// The most a shortcut file may hold; a larger ".lnk" is not a shortcut.
inline constexpr std::int64_t MaxShortcutBytes = 1 << 20;

// The target as the shortcut stores it ("\\host\share\folder\a.wav" or
// "C:\sounds\a.wav"); nothing when the bytes are not a shortcut, or it names
// its target only in ways this reader does not take (an item list alone).
std::optional<std::string> ReadTarget(std::span<const std::uint8_t> bytes);

// The stored target as a path of this program: a network target becomes a
// server path ("//host/share/folder/a.wav"); a drive letter has no meaning
// here and gives "", as does anything else, and a target that leaves its
// share through ".." (logged).
std::string MapTarget(std::string_view storedTarget);

// The target of the shortcut file at path, mapped; "" when the file cannot be
// read or resolved.
std::string ResolveShortcut(std::string_view path);

} // namespace cache::shortcut
