#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
struct FolderEntry;
}

namespace cache {

class FileHandEngine;

// The folder operations of the file transfer control: MirrorFolder makes a
// target tree follow a source tree (new and changed files copied with the
// safe transfer, what the source no longer has deleted), MirrorOnlyFolder
// does the same for the folders alone. They share the engine's cancel flag,
// error code and face, and let window events run at every entry.
//
// What keeps a mirror from destroying data: symbolic links are never entered
// (on either side), the two folders may not be the same or lie one inside the
// other, and a target entry goes only when its source counterpart really does
// not exist (ENOENT) while the source folder itself is still there; any other
// error, or a source that vanished meanwhile, deletes nothing.
class FolderMirror {
public:
    explicit FolderMirror(FileHandEngine& engine) : engine_(engine) {}

    // 1 when the copy pass reached the end of its listing (or the entry
    // limit, code 14), else 0. pNoDel: nothing is deleted; pNoSysFolder:
    // recycle bins and system volume folders are left alone; pFileCheckDate:
    // files older than that many days are neither copied nor deleted;
    // pNoSubFolder: sub-folders are neither mirrored nor deleted;
    // pFileCheckMinute: files younger than that many minutes (else 20 s) are
    // left for a later run; pNoOW: existing target files are never replaced.
    std::int32_t MirrorFolder(std::string_view sFolder, std::string_view tFolder, std::int32_t pNoDel,
                              std::int64_t pSize = 0, std::int32_t pInt = 0, std::int32_t pSaiki = 0,
                              std::int32_t pNoSysFolder = 0, std::int32_t pFileCheckDate = 0,
                              std::int32_t pNoSubFolder = 0, std::int32_t pFileCheckMinute = 0, std::int32_t pNoOW = 0);
    // Creates the source's missing folders in the target (without entering
    // target folders that exist) and deletes target folders the source does
    // not have. 1 when the second pass reached its end, else 0.
    std::int32_t MirrorOnlyFolder(std::string_view sFolder, std::string_view tFolder, std::int32_t pSaiki = 0,
                                  std::int32_t pNoSysFolder = 0);

    // The last-write time (local, yyyy/mm/dd hh:mm:ss) and size of the file at
    // path, its name matched without regard to case; "" and 0 when there is
    // no such file.
    static void FindFileInfo(std::string_view path, std::string& timeText, std::int64_t& size);

private:
    struct Options {
        std::int32_t noDel = 0;
        std::int64_t size = 0;
        std::int32_t pause = 0;
        std::int32_t noSysFolder = 0;
        std::int64_t maxAge = -1; // seconds; -1: no upper limit
        std::int64_t minAge = 0;  // seconds
        std::int32_t noOverwrite = 0;
    };
    enum class Level { Ended, Cancelled, Failed };

    // One pass over a listing, at most ListingLimit entries: window events run
    // and the cancel flag is looked at before each, unnamed entries are
    // skipped, and with file names shown each is announced as shownAs + name
    // (an empty shownAs announces nothing). visit returns false when the
    // cancel came during its work. A longer listing leaves its error code.
    using EntryVisit = std::function<bool(const platform::FolderEntry&)>;
    Level WalkEntries(const std::vector<platform::FolderEntry>& entries, std::string_view shownAs,
                      const EntryVisit& visit);
    bool Admitted(std::int32_t pSaiki, std::string_view operation, std::string_view sFolder,
                  std::string_view tFolder) const;
    Level MirrorLevel(const std::string& source, const std::string& target, const Options& options, bool subFolders);
    Level DeletionPass(const std::string& source, const std::string& target, const Options& options, bool subFolders);
    Level CopyPass(const std::string& source, const std::string& target, const Options& options, bool subFolders);
    Level FoldersLevel(const std::string& source, const std::string& target, std::int32_t noSysFolder);
    void CopyOneFile(const std::string& source, const std::string& target, const Options& options);

    FileHandEngine& engine_;
};

} // namespace cache
