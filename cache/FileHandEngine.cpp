#include "cache/FileHandEngine.h"

#include "cache/FileHandErrors.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Folders.h"
#include "foundation/Paths.h"
#include "foundation/TimeStamps.h"
#include "foundation/Waits.h"
#include "platform/Files.h"
#include "platform/IoFile.h"
#include "platform/base/Hooks.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <cerrno>
#include <vector>

namespace cache {

namespace {

constexpr int PauseAfterDeleteMs = 100;
constexpr int SlowSweepPauseMs = 150;

void LetEventsRun()
{
    platform::Pump();
    platform::RefillIfDue();
}

std::string_view FolderWithSeparator(std::string_view path)
{
    const std::size_t at = path.find_last_of("/\\");
    return at == std::string_view::npos ? std::string_view() : path.substr(0, at + 1);
}

std::string_view FileName(std::string_view path)
{
    const std::size_t at = path.find_last_of("/\\");
    return at == std::string_view::npos ? path : path.substr(at + 1);
}

// The same file by its name: case and the kind of separator do not count.
bool SamePath(std::string_view a, std::string_view b)
{
    std::string left = basic::LowerAscii(a);
    std::string right = basic::LowerAscii(b);
    std::replace(left.begin(), left.end(), '\\', '/');
    std::replace(right.begin(), right.end(), '\\', '/');
    return left == right;
}

bool SameTime(const platform::FileTime& a, const platform::FileTime& b)
{
    return a.seconds == b.seconds && a.nanoseconds == b.nanoseconds;
}

// The file a status describes still has the size and last-write time it had
// at the start, and is still the same file where the system can tell.
bool SameFile(const platform::FileStatus& now, const platform::FileStatus& began)
{
    const bool identified = began.inode != 0 && now.inode != 0;
    return now.kind == platform::FileKind::File && now.size == began.size && SameTime(now.modified, began.modified) &&
           (!identified || (now.inode == began.inode && now.device == began.device));
}

// Asked of the name, not of the open file: a file renamed over the source
// leaves the open one as it was.
bool SourceUnchanged(std::string_view path, const platform::FileStatus& began)
{
    platform::FileStatus named;
    return platform::files::Stat(path, named, true) && SameFile(named, began);
}

// File systems without a flush of their own report these.
bool FlushUnsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// Known to be missing, not just out of reach.
bool Gone(std::string_view path)
{
    platform::FileStatus status;
    return !platform::files::Stat(path, status, false) && errno == ENOENT;
}

} // namespace

std::shared_ptr<FileHandEngine> FileHandEngine::Create()
{
    return std::make_shared<FileHandEngine>(Private{});
}

std::string FileHandEngine::ErrorCodeText() const
{
    return filehand::ErrorCodeText(errorCode_);
}

bool FileHandEngine::Refused(std::int32_t pSaiki, std::string_view operation, std::string_view path) const
{
    if (depth_ == 0 || pSaiki != 0) {
        return false;
    }
    basic::WriteLog("UC_FileHand busy: " + std::string(operation) + " " + std::string(path) + " refused", 1, 0);
    return true;
}

void FileHandEngine::Start(std::int32_t pSaiki)
{
    if (pSaiki == 0) {
        canceled_ = 0;
        errorCode_ = filehand::NoError;
    }
}

std::int32_t FileHandEngine::Fail(std::int32_t code)
{
    errorCode_ = code;
    return 0;
}

// The hooks are called through copies: a handler may end the control, which
// empties them while they run.
void FileHandEngine::Message(std::string_view text, int flag) const
{
    if (const auto show = Hooks.ShowMessage) {
        show(text, flag);
    }
}

void FileHandEngine::Progress(float rate) const
{
    if (const auto event = Hooks.MirrorProg) {
        event(rate);
    }
    if (const auto show = Hooks.SetProgress) {
        show(rate);
    }
}

void FileHandEngine::ShowCopyMessage(std::string_view sFilename) const
{
    switch (dispFN_) {
    case 0:
        Message("ファイルコピー中…", 0);
        break;
    case 1:
        Message("Copying…" + std::string(sFilename), 1);
        break;
    case 2:
        Message("Copying…" + std::string(FileName(sFilename)), 1);
        break;
    default:
        break;
    }
}

std::int32_t FileHandEngine::MirrorFile(std::string_view sFilename, std::string_view tFilename, std::int32_t pInt,
                                        std::int64_t pSize, std::int32_t pSaiki)
{
    if (Refused(pSaiki, "MirrorFile", sFilename)) {
        return 0;
    }
    const Operation running(*this);
    Start(pSaiki);
    return Copy(sFilename, tFilename, pInt, pSize, nullptr);
}

std::int32_t FileHandEngine::Copy(std::string_view sFilename, std::string_view tFilename, std::int32_t pInt,
                                  std::int64_t pSize, platform::IoFile* reservedTarget)
{
    if (dispFN_ > 0) {
        Message("コピー開始", 1);
        LetEventsRun();
    }
    const int pause = pInt == 0 ? 1 : pInt;
    basic::WaitMs(pause, 0);

    platform::IoFile source;
    platform::IoFile ownTarget;
    platform::IoFile& target = reservedTarget != nullptr ? *reservedTarget : ownTarget;
    // Every way out closes both files and clears the message.
    struct Ending {
        platform::IoFile& source;
        platform::IoFile& target;
        const FileHandEngine& engine;
        ~Ending()
        {
            source.Close();
            target.Close();
            engine.Message("", 0);
        }
    } ending{source, target, *this};

    // The source is opened before an old target goes, so that a missing
    // source costs nothing.
    if (!source.Open(sFilename, platform::OpenMode::Read)) {
        return Fail(filehand::SourceMissing);
    }
    if (reservedTarget == nullptr) {
        if (basic::FileExists(tFilename) != 0) {
            if (basic::DeleteFileForce(tFilename) == 0) {
                return Fail(filehand::TargetNotDeleted);
            }
            basic::WaitMs(PauseAfterDeleteMs, 0);
        }
        if (!target.Open(tFilename, platform::OpenMode::ReadWrite)) {
            return Fail(filehand::TargetNotWritten);
        }
    }
    platform::FileStatus began;
    if (!source.Stat(began) || began.kind != platform::FileKind::File) {
        return Fail(filehand::SourceMissing);
    }
    const std::int64_t size = began.size;
    if (size == 0) {
        source.Close();
        target.Close();
        return basic::CopyFileOver(sFilename, tFilename, 1) != 0 ? 1 : Fail(filehand::EmptyCopyFailed);
    }

    const std::int64_t chunk = pSize > 0 ? pSize : DefaultChunkBytes;
    ShowCopyMessage(sFilename);
    LetEventsRun();
    if (CopyPasses(source, target, size, chunk, pause) == 0) {
        return 0;
    }

    // Only a complete copy counts: on the disk, of the size the source had,
    // and of a source that stayed the same file all through. A file written
    // over in place meanwhile (as a copy onto a share does) would leave a copy
    // that is part old, part new, under the new file's time, so no later pass
    // would ever copy it again.
    if (!SourceUnchanged(sFilename, began)) {
        basic::WriteLog("MirrorFile: " + std::string(sFilename) + " changed while it was copied; the copy is dropped",
                        0, 0);
        return Fail(filehand::SourceNotRead);
    }
    platform::FileStatus targetStatus;
    if (!target.Stat(targetStatus) || targetStatus.size != size) {
        return Fail(filehand::TargetNotWritten);
    }
    if (!target.SetTimes(targetStatus.accessed, began.modified)) {
        return Fail(filehand::TargetNotWritten);
    }
    Progress(1.0F);
    return 1;
}

std::int32_t FileHandEngine::CopyPasses(platform::IoFile& source, platform::IoFile& target, std::int64_t size,
                                        std::int64_t chunk, int pause)
{
    // More passes than the file can need: a guard, never a way to succeed.
    std::int64_t budget = numeric::RoundToInt64(static_cast<double>(size) / static_cast<double>(chunk) + 100.0);
    const auto bufferBytes = static_cast<std::size_t>(std::min({chunk, PieceBytes, size}));
    const platform::IoFile::Buffer buffer = std::make_shared<std::vector<std::uint8_t>>(bufferBytes);

    std::int64_t left = size;
    while (true) {
        const std::int64_t pass = std::min(chunk, left);
        Progress(static_cast<float>(static_cast<double>(size - left) / static_cast<double>(size)));
        LetEventsRun();
        // Pieces of at most 1 MiB; a cancel ends the copy before the next one.
        for (std::int64_t passLeft = pass; passLeft > 0;) {
            if (canceled_ != 0) {
                return Fail(filehand::Cancelled);
            }
            const auto piece = static_cast<std::size_t>(std::min<std::int64_t>(passLeft, PieceBytes));
            if (source.Read(buffer, piece) != static_cast<std::int64_t>(piece)) {
                return Fail(filehand::SourceNotRead);
            }
            basic::WaitMs(pause, 0);
            if (target.Write(buffer, piece) != static_cast<std::int64_t>(piece)) {
                return Fail(filehand::TargetNotWritten);
            }
            passLeft -= static_cast<std::int64_t>(piece);
        }
        // Flushed pass by pass, so that no single wait for the disk grows
        // with the size of the file.
        if (!target.Sync() && !FlushUnsupported(errno)) {
            return Fail(filehand::TargetNotWritten);
        }
        left -= pass;
        if (left == 0) {
            return 1;
        }
        if (canceled_ != 0) {
            return Fail(filehand::Cancelled);
        }
        if (--budget <= 0) {
            return Fail(filehand::CopyLoopExhausted);
        }
    }
}

std::int32_t FileHandEngine::TranspFile(std::string_view sFilename, std::string_view tFilename, std::int32_t KillTarget,
                                        std::int32_t KillSource, std::int64_t pSize, std::int32_t pInt,
                                        std::int32_t pSaiki)
{
    if (Refused(pSaiki, "TranspFile", sFilename)) {
        return 0;
    }
    const Operation running(*this);
    Start(pSaiki);
    if (dispFN_ > 0) {
        Message("転送開始", 1);
        LetEventsRun();
    }

    std::int32_t result = 0;
    platform::IoFile temporary;
    std::string temporaryName;
    bool temporaryIsOurs = false;
    [&] {
        const std::string folder(FolderWithSeparator(tFilename));
        if (basic::FolderExists(folder) == 0 && basic::MakeFolderTree(folder) == 0) {
            Fail(filehand::TargetFolderNotMade);
            return;
        }
        RemoveLeftoversIn(folder);
        // Created exclusively: a name another session holds is never taken over.
        for (int draw = 0; draw < TemporaryNameDraws && !temporaryIsOurs; ++draw) {
            temporaryName = filehand::TemporaryName(folder, DrawNumber ? DrawNumber() : 0);
            temporaryIsOurs = temporary.Open(temporaryName, platform::OpenMode::CreateNew);
            if (!temporaryIsOurs && errno != EEXIST) {
                break;
            }
        }
        if (!temporaryIsOurs) {
            Fail(filehand::NoTemporaryName);
            return;
        }
        if (Copy(sFilename, temporaryName, pInt, pSize, &temporary) == 0) {
            return;
        }
        const bool targetExists = basic::FileExists(tFilename) != 0;
        if (targetExists && KillTarget == 0) {
            Fail(filehand::TargetExists);
            return;
        }
        // One rename over the old target: it stays whole until the copy takes
        // its place, and stays whole when the rename fails.
        if (basic::MoveFileOver(temporaryName, tFilename, KillTarget != 0 ? 1 : 0) == 0) {
            Fail(filehand::TemporaryNotRenamed);
            return;
        }
        temporaryIsOurs = false;
        if (KillSource == 1 && !SamePath(sFilename, tFilename) && basic::DeleteFileForce(sFilename) == 0) {
            Fail(filehand::SourceNotDeleted);
            return;
        }
        result = 1;
    }();

    if (result == 0) {
        basic::WriteLog("TranspFile Failed " + std::string(sFilename) + " to " + std::string(tFilename) + " " +
                            ErrorCodeText() + std::to_string(errorCode_),
                        1, 0);
    }
    temporary.Close();
    if (temporaryIsOurs) {
        RemoveTemporary(temporaryName);
    }
    return result;
}

void FileHandEngine::RemoveTemporary(const std::string& name)
{
    if (basic::DeleteFileForce(name) != 0 || Gone(name)) {
        return;
    }
    basic::WriteLog(
        "TranspFile: temporary file " + name + " not deleted yet; the next transfer into its folder deletes it", 1, 0);
    leftovers_.push_back(name);
}

void FileHandEngine::RemoveLeftoversIn(std::string_view folder)
{
    std::erase_if(leftovers_, [&](const std::string& name) {
        return SamePath(FolderWithSeparator(name), folder) && (basic::DeleteFileForce(name) != 0 || Gone(name));
    });
}

std::int32_t FileHandEngine::DelAllTempfile(std::string_view pFolder, std::int32_t pSlow, std::int32_t pSaiki)
{
    if (basic::FolderExists(pFolder) == 0) {
        return 0;
    }
    if (Refused(pSaiki, "DelAllTempfile", pFolder)) {
        return 0;
    }
    const Operation running(*this);
    Start(pSaiki);
    return SweepFolder(basic::FixTrailingSeparator(pFolder, 1), pSlow);
}

std::int32_t FileHandEngine::SweepFolder(const std::string& folder, std::int32_t pSlow)
{
    std::vector<platform::FolderEntry> entries;
    if (!platform::files::ListFolder(folder, entries)) {
        return 0;
    }
    std::sort(entries.begin(), entries.end(),
              [](const platform::FolderEntry& a, const platform::FolderEntry& b) { return a.name < b.name; });
    const std::size_t walked = std::min(entries.size(), ListingLimit);
    for (std::size_t i = 0; i < walked; ++i) {
        LetEventsRun();
        if (canceled_ != 0) {
            return Fail(filehand::Cancelled);
        }
        if (pSlow != 0) {
            basic::WaitMs(SlowSweepPauseMs, 0);
        }
        const platform::FolderEntry& entry = entries[i];
        // A link may lead anywhere, even above the folder: never followed.
        if (entry.name.empty() || entry.isLink) {
            continue;
        }
        const std::string path = folder + "/" + entry.name;
        if (entry.kind == platform::FileKind::Folder) {
            // The sub-folder's walk shares this walk's cancel and error code.
            SweepFolder(path, pSlow);
            continue;
        }
        if (entry.kind != platform::FileKind::File || !filehand::LooksTemporary(entry.name)) {
            continue;
        }
        // Only left-overs: a copy running now is younger than a day.
        const std::string written = basic::FileTimeToText(entry.modified);
        const std::string dayAgo = basic::FormatTimeStamp(0, -1, basic::StampSlashes, 3, 0, 0, 0);
        if (!written.empty() && written < dayAgo) {
            basic::DeleteFileForce(path);
        }
    }
    if (entries.size() > ListingLimit) {
        errorCode_ = filehand::ListingTooLong;
    }
    return 1;
}

} // namespace cache
