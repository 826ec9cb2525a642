#pragma once

#include <string>
#include <vector>

class QMimeData;

namespace platform {

// Drop effects, combined as bits in the allowed effects of a drag.
inline constexpr int DropEffectNone = 0;
inline constexpr int DropEffectCopy = 1;
inline constexpr int DropEffectMove = 2;
inline constexpr int DropEffectLink = 4;

// The data format number of a file list.
inline constexpr int FormatFiles = 15;

// What a drag carries: a list of files (full paths, byte for byte as the file
// system names them: mostly UTF-8, but a name from an older share may hold a
// byte of another code page, which the target must see to refuse it, not
// U+FFFD in its place). The source fills
// it and says which effects it allows; the target reads it and says which
// effect the drop had.
class DragData {
public:
    void Clear() { files_.clear(); }
    // Only the file-list format exists; setting it keeps the list.
    void SetFormat(int /*format*/) {}
    bool GetFormat(int format) const { return format == FormatFiles && !files_.empty(); }
    void AddFile(std::string path) { files_.push_back(std::move(path)); }
    const std::vector<std::string>& Files() const { return files_; }
    int FileCount() const { return static_cast<int>(files_.size()); }

    // The files as file URLs for other programs (server paths where the
    // shares are mounted).
    void WriteTo(QMimeData& mime) const;
    // The local files among the URLs of a drop (other URLs are left out);
    // files in a mounted share come as server paths ("//host/share/...").
    static DragData ReadFrom(const QMimeData& mime);

private:
    std::vector<std::string> files_;
};

} // namespace platform
