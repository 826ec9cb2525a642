#include "cache/FolderMirror.h"

#include "cache/FileHandEngine.h"
#include "cache/FileHandErrors.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Folders.h"
#include "foundation/Paths.h"
#include "foundation/TimeStamps.h"
#include "platform/Files.h"
#include "platform/base/Hooks.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace cache {

namespace {

constexpr std::int64_t SecondsPerDay = 86400;
constexpr std::int64_t SecondsPerMinute = 60;
constexpr std::int64_t DefaultMinAgeSeconds = 20;
// Last-write times this close count as the same (file systems that keep two
// seconds, clocks of two machines).
constexpr int TimeToleranceSeconds = 2;

void LetEventsRun()
{
    platform::Pump();
    platform::RefillIfDue();
}

std::string NowText()
{
    return basic::FormatTimeStamp(0, 0, basic::StampSlashes, 3, 0, 0, 0.0);
}

// Seconds from a time text to now.
std::int64_t AgeOf(const std::string& timeText)
{
    return basic::SecondsBetweenStamps(timeText, NowText());
}

// What the source holds under a name. Unknown: the question could not be
// answered (a share that stopped answering, no permission); such an entry
// must never count as gone.
enum class Counterpart { Missing, File, Folder, Other, Unknown };

Counterpart CounterpartOf(const std::string& path)
{
    platform::FileStatus status;
    if (!platform::files::Stat(path, status, false)) {
        return errno == ENOENT ? Counterpart::Missing : Counterpart::Unknown;
    }
    if (status.isLink && !platform::files::Stat(path, status, true)) {
        // A link that leads nowhere is something, but neither file nor folder.
        return errno == ENOENT ? Counterpart::Other : Counterpart::Unknown;
    }
    switch (status.kind) {
    case platform::FileKind::File:
        return Counterpart::File;
    case platform::FileKind::Folder:
        return Counterpart::Folder;
    default:
        return Counterpart::Other;
    }
}

bool IsFolderNow(const std::string& path)
{
    platform::FileStatus status;
    return platform::files::Stat(path, status, true) && status.kind == platform::FileKind::Folder;
}

// The entries of a folder in name order, so that a run is repeatable.
bool ListSorted(const std::string& folder, std::vector<platform::FolderEntry>& entries)
{
    if (!platform::files::ListFolder(folder, entries)) {
        return false;
    }
    std::sort(entries.begin(), entries.end(),
              [](const platform::FolderEntry& a, const platform::FolderEntry& b) { return a.name < b.name; });
    return true;
}

// The same folder, or one inside the other, after links are resolved.
bool Overlapping(std::string_view a, std::string_view b)
{
    std::string left;
    std::string right;
    if (!platform::files::ResolvePath(a, left) || !platform::files::ResolvePath(b, right)) {
        return true; // what cannot be told apart is not mirrored
    }
    const auto inside = [](const std::string& inner, const std::string& outer) {
        return inner == outer || outer == "/" ||
               (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
                inner[outer.size()] == '/');
    };
    return inside(left, right) || inside(right, left);
}

void LogFailedDeletion(const std::string& path)
{
    basic::WriteLog("MirrorFolder could not delete " + path, 1, 0);
}

} // namespace

bool FolderMirror::Admitted(std::int32_t pSaiki, std::string_view operation, std::string_view sFolder,
                            std::string_view tFolder) const
{
    if (engine_.Refused(pSaiki, operation, sFolder)) {
        return false;
    }
    if (basic::FolderExists(sFolder) != 0 && basic::FolderExists(tFolder) != 0 && Overlapping(sFolder, tFolder)) {
        basic::WriteLog(std::string(operation) + " refused: " + std::string(sFolder) + " and " + std::string(tFolder) +
                            " overlap",
                        1, 0);
        return false;
    }
    return true;
}

std::int32_t FolderMirror::MirrorFolder(std::string_view sFolder, std::string_view tFolder, std::int32_t pNoDel,
                                        std::int64_t pSize, std::int32_t pInt, std::int32_t pSaiki,
                                        std::int32_t pNoSysFolder, std::int32_t pFileCheckDate,
                                        std::int32_t pNoSubFolder, std::int32_t pFileCheckMinute, std::int32_t pNoOW)
{
    if (!Admitted(pSaiki, "MirrorFolder", sFolder, tFolder)) {
        return 0;
    }
    const FileHandEngine::Operation running(engine_);
    engine_.Start(pSaiki);

    Options options;
    options.noDel = pNoDel;
    options.size = pSize;
    options.pause = pInt;
    options.noSysFolder = pNoSysFolder;
    options.maxAge = pFileCheckDate > 0 ? pFileCheckDate * SecondsPerDay : -1;
    options.minAge = pFileCheckMinute > 0 ? pFileCheckMinute * SecondsPerMinute : DefaultMinAgeSeconds;
    options.noOverwrite = pNoOW;

    const Level result = MirrorLevel(std::string(sFolder), std::string(tFolder), options, pNoSubFolder == 0);
    if (engine_.DispFN() > 0) {
        engine_.Message("", 0);
    }
    return result == Level::Ended ? 1 : 0;
}

FolderMirror::Level FolderMirror::WalkEntries(const std::vector<platform::FolderEntry>& entries,
                                              std::string_view shownAs, const EntryVisit& visit)
{
    const std::size_t walked = std::min(entries.size(), FileHandEngine::ListingLimit);
    for (std::size_t i = 0; i < walked; ++i) {
        LetEventsRun();
        if (engine_.canceled_ != 0) {
            engine_.Fail(filehand::Cancelled);
            return Level::Cancelled;
        }
        const platform::FolderEntry& entry = entries[i];
        if (entry.name.empty()) {
            continue;
        }
        if (!shownAs.empty() && engine_.DispFN() > 0) {
            engine_.Message(std::string(shownAs) + entry.name, 1);
            LetEventsRun();
        }
        if (!visit(entry)) {
            engine_.Fail(filehand::Cancelled);
            return Level::Cancelled;
        }
    }
    if (entries.size() > FileHandEngine::ListingLimit) {
        engine_.errorCode_ = filehand::ListingTooLong;
    }
    return Level::Ended;
}

FolderMirror::Level FolderMirror::MirrorLevel(const std::string& source, const std::string& target,
                                              const Options& options, bool subFolders)
{
    if (options.noSysFolder != 0 && basic::IsRecycleBinPath(basic::FixTrailingSeparator(source, 0)) != 0) {
        return Level::Failed;
    }
    if (basic::FolderExists(source) == 0 || basic::FolderExists(target) == 0) {
        return Level::Failed;
    }
    const std::string s = basic::FixTrailingSeparator(source, 1);
    const std::string t = basic::FixTrailingSeparator(target, 1);
    if (options.noDel == 0 && DeletionPass(s, t, options, subFolders) == Level::Cancelled) {
        return Level::Cancelled;
    }
    return CopyPass(s, t, options, subFolders);
}

FolderMirror::Level FolderMirror::DeletionPass(const std::string& source, const std::string& target,
                                               const Options& options, bool subFolders)
{
    std::vector<platform::FolderEntry> entries;
    if (!ListSorted(target, entries)) {
        return Level::Ended;
    }
    bool sourceGone = false;
    return WalkEntries(entries, "Check Del ", [&](const platform::FolderEntry& entry) {
        // A source that went away (a share that dropped out) says nothing
        // about what it held: nothing more is deleted.
        sourceGone = sourceGone || !IsFolderNow(source);
        if (sourceGone) {
            return true;
        }
        const std::string path = target + "/" + entry.name;
        const Counterpart counterpart = CounterpartOf(source + "/" + entry.name);
        if (counterpart == Counterpart::Unknown) {
            return true;
        }
        if (entry.kind == platform::FileKind::File) {
            if (counterpart == Counterpart::File) {
                return true;
            }
            const std::int64_t age = AgeOf(basic::FileTimeToText(entry.modified));
            if (age < options.minAge || (options.maxAge >= 0 && age > options.maxAge)) {
                return true;
            }
            // A link goes as a link; what it leads to stays.
            if (basic::DeleteFileForce(path) == 0) {
                LogFailedDeletion(path);
            }
        } else if (entry.kind == platform::FileKind::Folder && subFolders && counterpart != Counterpart::Folder) {
            const int removed =
                entry.isLink ? basic::RemoveFolder(path) : basic::DeleteFolderContents(path, 0, 0, "", 0);
            if (removed == 0) {
                LogFailedDeletion(path);
            }
        }
        return true;
    });
}

FolderMirror::Level FolderMirror::CopyPass(const std::string& source, const std::string& target, const Options& options,
                                           bool subFolders)
{
    std::vector<platform::FolderEntry> entries;
    if (!ListSorted(source, entries)) {
        return Level::Failed;
    }
    return WalkEntries(entries, "Check ", [&](const platform::FolderEntry& entry) {
        const std::string sourcePath = source + "/" + entry.name;
        const std::string targetPath = target + "/" + entry.name;
        if (entry.kind == platform::FileKind::File) {
            const std::string timeText = basic::FileTimeToText(entry.modified);
            const std::int64_t age = AgeOf(timeText);
            if ((options.maxAge >= 0 && age > options.maxAge) || age < options.minAge) {
                return true; // too old to matter, or still being written: a later run takes it
            }
            if (basic::FileExists(targetPath) != 0) {
                if (options.noOverwrite != 0) {
                    return true;
                }
                std::string targetTime;
                std::int64_t targetSize = 0;
                FindFileInfo(targetPath, targetTime, targetSize);
                if (!targetTime.empty() && targetSize == entry.size &&
                    std::abs(basic::SecondsBetweenStamps(timeText, targetTime)) <= TimeToleranceSeconds) {
                    return true;
                }
            }
            LetEventsRun();
            CopyOneFile(sourcePath, targetPath, options);
            if (engine_.canceled_ != 0) {
                return false;
            }
        } else if (entry.kind == platform::FileKind::Folder && !entry.isLink && subFolders) {
            if (options.noSysFolder != 0 && basic::IsRecycleBinPath(sourcePath + "/") != 0) {
                return true;
            }
            platform::FileStatus existing;
            if (platform::files::Stat(targetPath, existing, false)) {
                if (existing.isLink || existing.kind != platform::FileKind::Folder) {
                    return true; // never entered through a link, never made over a file
                }
            } else if (errno != ENOENT || basic::MakeFolder(targetPath) == 0) {
                return true;
            }
            // Its result is not looked at: a cancel shows at the next entry.
            MirrorLevel(sourcePath, targetPath, options, true);
        }
        return true;
    });
}

void FolderMirror::CopyOneFile(const std::string& source, const std::string& target, const Options& options)
{
    // A file that fails leaves its code and the mirror goes on.
    engine_.TranspFile(source, target, 1, 0, options.size, options.pause, 1);
}

std::int32_t FolderMirror::MirrorOnlyFolder(std::string_view sFolder, std::string_view tFolder, std::int32_t pSaiki,
                                            std::int32_t pNoSysFolder)
{
    if (!Admitted(pSaiki, "MirrorOnlyFolder", sFolder, tFolder)) {
        return 0;
    }
    const FileHandEngine::Operation running(engine_);
    if (pSaiki == 0) {
        engine_.canceled_ = 0;
    }
    return FoldersLevel(std::string(sFolder), std::string(tFolder), pNoSysFolder) == Level::Ended ? 1 : 0;
}

FolderMirror::Level FolderMirror::FoldersLevel(const std::string& source, const std::string& target,
                                               std::int32_t noSysFolder)
{
    if (basic::FolderExists(source) == 0 || basic::FolderExists(target) == 0) {
        return Level::Failed;
    }
    const std::string s = basic::FixTrailingSeparator(source, 1);
    const std::string t = basic::FixTrailingSeparator(target, 1);
    if (noSysFolder != 0 && basic::IsRecycleBinPath(s + "/") != 0) {
        return Level::Failed;
    }

    std::vector<platform::FolderEntry> entries;
    if (ListSorted(s, entries)) {
        const Level made = WalkEntries(entries, "", [&](const platform::FolderEntry& entry) {
            if (entry.isLink || entry.kind != platform::FileKind::Folder) {
                return true;
            }
            const std::string sourcePath = s + "/" + entry.name;
            const std::string targetPath = t + "/" + entry.name;
            // Folders that exist in the target are not entered.
            platform::FileStatus existing;
            if (platform::files::Stat(targetPath, existing, false) || errno != ENOENT) {
                return true;
            }
            if (noSysFolder != 0 && basic::IsRecycleBinPath(sourcePath + "/") != 0) {
                return true;
            }
            if (basic::MakeFolder(targetPath) != 0) {
                FoldersLevel(sourcePath, targetPath, noSysFolder);
            }
            return true;
        });
        if (made == Level::Cancelled) {
            return Level::Cancelled;
        }
    }

    if (!ListSorted(t, entries)) {
        return Level::Failed;
    }
    bool sourceGone = false;
    return WalkEntries(entries, "", [&](const platform::FolderEntry& entry) {
        if (entry.kind != platform::FileKind::Folder) {
            return true;
        }
        sourceGone = sourceGone || !IsFolderNow(s);
        if (sourceGone) {
            return true;
        }
        const Counterpart counterpart = CounterpartOf(s + "/" + entry.name);
        if (counterpart == Counterpart::Folder || counterpart == Counterpart::Unknown) {
            return true;
        }
        const std::string path = t + "/" + entry.name;
        const int removed = entry.isLink ? basic::RemoveFolder(path) : basic::DeleteFolderContents(path, 0, 0, "", 0);
        if (removed == 0) {
            LogFailedDeletion(path);
        }
        return true;
    });
}

void FolderMirror::FindFileInfo(std::string_view path, std::string& timeText, std::int64_t& size)
{
    timeText.clear();
    size = 0;
    const auto take = [&](const platform::FileTime& modified, std::int64_t bytes) {
        timeText = basic::FileTimeToText(modified);
        size = bytes;
    };
    // The name as written first: one look-up instead of a whole listing.
    platform::FileStatus status;
    if (platform::files::Stat(path, status, true) && status.kind != platform::FileKind::Folder) {
        take(status.modified, status.size);
        return;
    }
    const std::string folder = basic::GetPathPart(path, 1, 0, 0, 0, 0, 0);
    const std::string name = basic::LowerAscii(basic::GetPathPart(path, 0, 0, 1, 1, 1, 0));
    std::vector<platform::FolderEntry> entries;
    if (folder.empty() || name.empty() || !platform::files::ListFolder(folder, entries)) {
        return;
    }
    for (const platform::FolderEntry& entry : entries) {
        if (entry.kind != platform::FileKind::Folder && basic::LowerAscii(entry.name) == name) {
            take(entry.modified, entry.size);
            return;
        }
    }
}

} // namespace cache
