#pragma once

#include "cache/TemporaryNames.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class IoFile;
} // namespace platform

namespace cache {

// What the file transfer operations show while they run: the face of the
// control in the program, recording fakes in tests.
struct FileHandHooks {
    // A message on the face ("" clears it); flag 1 left-aligned, 0 centred.
    std::function<void(std::string_view text, int flag)> ShowMessage;
    // Moves the progress display (0..1).
    std::function<void(float rate)> SetProgress;
    // The MirrorProg event: the share of the file copied so far (0..1), once
    // per pass. A handler may cancel (ProcCancel).
    std::function<void(float rate)> MirrorProg;
    // The HikakuProg event: the share of the files compared so far (0..1),
    // once per pass.
    std::function<void(float rate)> HikakuProg;
};

// The operations of the file transfer control without its face: the chunked
// copy, the safe transfer and the sweep of left-over temporary files, with
// the cancel flag and the error code they share. Everything runs on the
// user-interface thread, which waits for the reads and writes (made on an I/O
// thread, at most 1 MiB at a time) dispatching window events and feeding the
// players, so the cancel button, the engine tick and the sound go on.
//
// Always held by a shared pointer: an operation keeps its engine alive while
// window events run inside it, even when the control that owns it goes away.
class FileHandEngine : public std::enable_shared_from_this<FileHandEngine> {
    struct Private {};

public:
    // Bytes of a pass when the caller gives no chunk size.
    static constexpr std::int64_t DefaultChunkBytes = 8388608;
    // The most one read or write on the I/O thread moves.
    static constexpr std::int64_t PieceBytes = 1 << 20;
    // Temporary names drawn before a transfer gives up.
    static constexpr int TemporaryNameDraws = 501;
    // Entries of one folder that a sweep looks at.
    static constexpr std::size_t ListingLimit = 1000001;

    static std::shared_ptr<FileHandEngine> Create();
    explicit FileHandEngine(Private) {}

    FileHandHooks Hooks;
    // Where the numbers of temporary names come from (tests choose them).
    filehand::NumberSource DrawNumber = filehand::SeededNumberSource();

    std::int32_t Canceled() const { return canceled_; }
    // Asks the running operation to stop, as the cancel button does.
    void ProcCancel() { canceled_ = 1; }
    std::int32_t ErrorCode() const { return errorCode_; }
    std::string ErrorCodeText() const;
    // An operation runs: a further call from outside is refused.
    bool Busy() const { return depth_ > 0; }
    // How the copy message names the file: 0 a fixed text, 1 the source
    // path, 2 the source's file name.
    std::int32_t DispFN() const { return dispFN_; }
    void SetDispFN(std::int32_t mode) { dispFN_ = mode; }

    // pSaiki 0 for a call from outside the control (clears Canceled and
    // ErrorCode first), 1 for a call of one operation from another. pInt is
    // the pause after each read in ms (0: 1 ms); pSize the bytes of a pass
    // (below 1: 8 MiB).

    // Copies sFilename over tFilename in passes, keeping the source's
    // modification time. 1 success, 0 failure with ErrorCode set.
    std::int32_t MirrorFile(std::string_view sFilename, std::string_view tFilename, std::int32_t pInt = 0,
                            std::int64_t pSize = 0, std::int32_t pSaiki = 0);
    // Copies sFilename under a temporary name beside tFilename and only then
    // gives the copy the target's name, in one rename over an existing target
    // (KillTarget not 0) or never over one (KillTarget 0: code 10). A failed or
    // cancelled transfer leaves the target as it was and no temporary file.
    // KillSource 1 then deletes the source. 1 success, 0 failure.
    std::int32_t TranspFile(std::string_view sFilename, std::string_view tFilename, std::int32_t KillTarget,
                            std::int32_t KillSource, std::int64_t pSize = 0, std::int32_t pInt = 0,
                            std::int32_t pSaiki = 0);
    // Deletes the control's temporary files older than one day in pFolder and
    // its sub-folders (symbolic links are neither entered nor deleted); pSlow
    // not 0 waits 150 ms per entry. 1 when the folder was walked to its end.
    std::int32_t DelAllTempfile(std::string_view pFolder, std::int32_t pSlow = 0, std::int32_t pSaiki = 0);

private:
    // The folder mirror and the file compare share this engine's state.
    friend class FolderMirror;
    friend class FileCompare;

    // One running operation: keeps the engine alive and marks it busy.
    class Operation {
    public:
        explicit Operation(FileHandEngine& engine) : keepAlive_(engine.shared_from_this()) { ++keepAlive_->depth_; }
        ~Operation() { --keepAlive_->depth_; }
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        std::shared_ptr<FileHandEngine> keepAlive_;
    };

    bool Refused(std::int32_t pSaiki, std::string_view operation, std::string_view path) const;
    void Start(std::int32_t pSaiki);
    std::int32_t Fail(std::int32_t code);
    void Message(std::string_view text, int flag) const;
    void Progress(float rate) const;

    // The copy behind MirrorFile and TranspFile. With a reserved target (the
    // transfer's own temporary file, opened) the copy goes into it.
    std::int32_t Copy(std::string_view sFilename, std::string_view tFilename, std::int32_t pInt, std::int64_t pSize,
                      platform::IoFile* reservedTarget);
    std::int32_t CopyPasses(platform::IoFile& source, platform::IoFile& target, std::int64_t size, std::int64_t chunk,
                            int pause);
    void ShowCopyMessage(std::string_view sFilename) const;
    std::int32_t SweepFolder(const std::string& folder, std::int32_t pSlow);
    // Deletes a transfer's temporary file; one that cannot go now (its share
    // does not answer) is kept in mind and deleted by the next transfer into
    // its folder.
    void RemoveTemporary(const std::string& name);
    void RemoveLeftoversIn(std::string_view folder);

    std::int32_t canceled_ = 0;
    std::int32_t errorCode_ = 0;
    std::int32_t dispFN_ = 0;
    int depth_ = 0;
    std::vector<std::string> leftovers_;
};

} // namespace cache
