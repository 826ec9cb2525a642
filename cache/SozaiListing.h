#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What the material browser shows of a folder: one cell per entry, in the
// order the operator reads them (the way up, sub-folders, shortcuts, sound
// files), each with its shown text and the hidden text the browser acts on.
namespace cache::sozai {

struct Cell {
    std::string display;
    std::string hidden;
};

// The hidden text of the way-up cell.
inline constexpr std::string_view WayUp = "..";

// Turns the path of a shortcut file into its target ("" when unresolved).
using ShortcutResolver = std::function<std::string(std::string_view path)>;

// The cells of a folder (given with its trailing separator): "【..】"; each
// sub-folder as "【name】"; each ".lnk" file as its name without extension and
// "■", hidden text its target; each sound file by its name. Each group comes
// in name order without regard to case; files ending ".tip" never show.
// Waves always show, the compressed types only on players that decode them
// (playerType other than 0 and 3). Symbolic links show as what they point to.
std::vector<Cell> ListCells(std::string_view folder, int playerType, const ShortcutResolver& resolve);

// True for a file the browser offers on players of this type.
bool IsListedSound(std::string_view fileName, int playerType);

// The parent of a folder ("/a/b/" gives "/a/"); "" when there is none.
std::string ParentFolder(std::string_view folder);

} // namespace cache::sozai
