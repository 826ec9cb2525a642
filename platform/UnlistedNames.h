#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QString;

// Names the file dialogs cannot show. Qt takes names as Unicode text: it
// leaves a name that is no UTF-8 text (a byte of another code page, as names
// on older shares hold) out of a folder's listing, and where it passes such a
// name on, U+FFFD stands in place of the byte, which names no file.
namespace platform {

// The names in folder (a native path) that are no UTF-8 text and that a
// dialog would list were they text: sub-folders, and files that match one of
// patterns ("*.wav", regardless of case; none: every file) unless
// foldersOnly; hidden names ("." first) left out. Sorted, byte for byte.
std::vector<std::string> UnlistedNames(const std::string& folder, const std::vector<std::string>& patterns,
                                       bool foldersOnly);

// names for a person to read, each byte that is no part of a UTF-8 character
// shown as "\xNN", separated by ", "; past the first most, the count of all.
std::string ShownNames(const std::vector<std::string>& names, std::size_t most);

// The path on disk that a dialog means by chosen (a native path): each part
// of it that holds U+FFFD and does not exist as such is the one name of its
// folder that Qt shows so. Nothing when none, or more than one, is.
std::optional<std::string> PathOnDisk(const QString& chosen);

} // namespace platform
