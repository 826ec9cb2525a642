#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class QWidget;

// The folder browser, the open and save dialogs and the colour chooser.
namespace basic {

// The chosen folder with a trailing separator, "" when cancelled. The browser
// opens on startFolder (the current folder when empty); an empty title
// becomes "フォルダを選択してください".
std::string BrowseForFolder(std::string_view startFolder, std::string_view title, QWidget* owner);

// The chosen file's full path, "" when cancelled. isSave non-zero shows the
// save dialog. filter holds description and pattern pairs separated by "|"
// ("Wave|*.wav|All|*.*"). flags -1 takes the defaults: a save dialog of
// isSave 1 asks before replacing a file; an open dialog takes existing files
// only. Other flags: 2 asks before replacing, 0x1000 only existing files.
std::string FileDialog(QWidget* owner, int isSave, std::string_view filter, std::string_view initialFolder,
                       std::string_view fileName, int flags);

} // namespace basic

namespace FCT_GetColor {

// The chosen colour (&HBBGGRR), or initialColour when cancelled. The dialog
// offers initialColour as its first custom colour.
std::int32_t GetColor(std::int32_t initialColour, QWidget* owner);

} // namespace FCT_GetColor
