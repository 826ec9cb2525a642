#include "cache/SozaiListing.h"

#include "foundation/FileLists.h"
#include "foundation/Paths.h"

#include <array>

namespace cache::sozai {

namespace {

constexpr std::string_view FolderOpen = "【";
constexpr std::string_view FolderClose = "】";
constexpr std::string_view ShortcutMark = "■";
constexpr std::string_view ShortcutExtension = "lnk";
constexpr std::string_view WaveExtension = "wav";
// Played only by the players that decode compressed files.
constexpr std::array<std::string_view, 7> DecodedExtensions = {"mp2", "mp3", "mp4", "wma", "m4a", "aif", "aiff"};

std::string NameOf(std::string_view path)
{
    const std::size_t at = path.find_last_of("/\\");
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string LowerExtension(std::string_view name)
{
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string() : basic::LowerAscii(name.substr(dot + 1));
}

std::string WithoutExtension(std::string_view name)
{
    const std::size_t dot = name.find_last_of('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

// The folder's own entries of one kind, sorted by name, ".tip" files left out.
std::vector<std::string> Entries(const std::string& folder, int what)
{
    std::vector<std::string> paths;
    basic::ListFiles(folder, "!.tip", paths, what, 0, 1, 0, 0);
    std::erase_if(paths, [](const std::string& path) { return path.empty(); });
    return paths;
}

} // namespace

bool IsListedSound(std::string_view fileName, int playerType)
{
    const std::string extension = LowerExtension(fileName);
    if (extension == WaveExtension) {
        return true;
    }
    const bool samplePositionPlayer = playerType == 0 || playerType == 3;
    if (samplePositionPlayer) {
        return false;
    }
    for (const std::string_view decoded : DecodedExtensions) {
        if (extension == decoded) {
            return true;
        }
    }
    return false;
}

std::vector<Cell> ListCells(std::string_view folder, int playerType, const ShortcutResolver& resolve)
{
    const std::string base = basic::FixTrailingSeparator(folder, 0);
    std::vector<Cell> cells;
    cells.push_back({std::string(FolderOpen) + ".." + std::string(FolderClose), std::string(WayUp)});
    for (const std::string& path : Entries(base, basic::ListFoldersOnly)) {
        cells.push_back({std::string(FolderOpen) + NameOf(path) + std::string(FolderClose), path});
    }
    const std::vector<std::string> files = Entries(base, basic::ListFilesOnly);
    for (const std::string& path : files) {
        const std::string name = NameOf(path);
        if (LowerExtension(name) == ShortcutExtension) {
            // One that cannot be resolved shows with an empty target and enters nothing.
            cells.push_back({WithoutExtension(name) + std::string(ShortcutMark), resolve ? resolve(path) : ""});
        }
    }
    for (const std::string& path : files) {
        const std::string name = NameOf(path);
        if (IsListedSound(name, playerType)) {
            cells.push_back({name, path});
        }
    }
    return cells;
}

std::string ParentFolder(std::string_view folder)
{
    const std::string trimmed = basic::FixTrailingSeparator(folder, 1);
    const std::size_t at = trimmed.find_last_of("/\\");
    if (at == std::string::npos) {
        return {};
    }
    return trimmed.substr(0, at + 1);
}

} // namespace cache::sozai
