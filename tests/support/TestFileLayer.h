#pragma once

#include "platform/FileSystem.h"
#include "platform/IoThread.h"
#include "platform/PosixFileSystem.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace testsupport {

// The real file system with faults a test chooses: installed for the life of
// the object, it fails renames or listings, reports a fixed disk size, and
// holds calls made on the I/O threads (server files) until the test releases
// them, so a test sees what the program does while a server is slow.
// (Header only: the support library is linked below the platform layer.)
class TestFileLayer : public platform::FileSystem {
public:
    TestFileLayer() { platform::SetRawFileSystem(this); }
    ~TestFileLayer() override
    {
        Release();
        platform::io::WaitUntilIdle();
        platform::SetRawFileSystem(nullptr);
    }
    TestFileLayer(const TestFileLayer&) = delete;
    TestFileLayer& operator=(const TestFileLayer&) = delete;

    // Returns 0 to let the call through, or -errno to fail it.
    std::function<int(const char* from, const char* to)> renameFault;
    std::function<int(const char* path)> listFault;
    std::function<int(int fd)> readFault;
    std::optional<platform::DiskSpace> diskSpace;
    // Refuses permission changes, as FAT sticks and many shares do.
    std::atomic<bool> refuseModes{false};
    std::atomic<int> renameCalls{0};
    // Calls that came from another thread than the test's.
    std::atomic<int> offThreadCalls{0};
    // Calls being held right now.
    std::atomic<int> heldCalls{0};

    // True while every call from another thread that has not returned yet is
    // held (and when there is none): then nothing real is working on a call a
    // caller times, so a test may move virtual time. A released call counts as
    // real work again until it returns.
    bool OnlyHeldCallsRun() const
    {
        std::lock_guard lock(mutex_);
        return inFlight_ == heldCalls;
    }

    // Holds calls from other threads on paths containing pathPart, and with
    // handles set, every call through a handle from another thread.
    void Hold(std::string pathPart, bool handles)
    {
        std::lock_guard lock(mutex_);
        heldPart_ = std::move(pathPart);
        holdHandles_ = handles;
        holding_ = true;
    }
    void Release()
    {
        {
            std::lock_guard lock(mutex_);
            holding_ = false;
            ReleaseWaiting();
        }
        released_.notify_all();
    }
    // Lets the calls held now go on and keeps holding the ones that come
    // after, so a test can give every call the same delay without a window
    // in which a call slips through unheld.
    void ReleaseHeld()
    {
        {
            std::lock_guard lock(mutex_);
            ReleaseWaiting();
        }
        released_.notify_all();
    }

    int Open(const char* path, platform::OpenMode mode) override { return Gate(path), real.Open(path, mode); }
    int Close(int fd) override { return Gate(nullptr), real.Close(fd); }
    std::int64_t Read(int fd, std::span<std::uint8_t> buffer) override
    {
        const InFlight inFlight = Gate(nullptr);
        if (readFault) {
            if (const int fault = readFault(fd); fault != 0) {
                return fault;
            }
        }
        return real.Read(fd, buffer);
    }
    std::int64_t Write(int fd, std::span<const std::uint8_t> data) override
    {
        return Gate(nullptr), real.Write(fd, data);
    }
    std::int64_t Seek(int fd, std::int64_t position) override { return Gate(nullptr), real.Seek(fd, position); }
    int StatHandle(int fd, platform::FileStatus& status) override { return Gate(nullptr), real.StatHandle(fd, status); }
    int Sync(int fd) override { return Gate(nullptr), real.Sync(fd); }
    int SetHandleTimes(int fd, platform::FileTime accessed, platform::FileTime modified) override
    {
        return Gate(nullptr), real.SetHandleTimes(fd, accessed, modified);
    }
    int SetHandleMode(int fd, unsigned mode) override
    {
        return Gate(nullptr), refuseModes ? -EPERM : real.SetHandleMode(fd, mode);
    }
    int Stat(const char* path, platform::FileStatus& status, bool followLinks) override
    {
        return Gate(path), real.Stat(path, status, followLinks);
    }
    int Rename(const char* from, const char* to, bool replace) override
    {
        const InFlight inFlight = Gate(from);
        ++renameCalls;
        if (renameFault) {
            if (const int fault = renameFault(from, to); fault != 0) {
                return fault;
            }
        }
        return real.Rename(from, to, replace);
    }
    int Unlink(const char* path) override { return Gate(path), real.Unlink(path); }
    int MakeFolder(const char* path) override { return Gate(path), real.MakeFolder(path); }
    int RemoveFolder(const char* path) override { return Gate(path), real.RemoveFolder(path); }
    int SetMode(const char* path, unsigned mode) override
    {
        return Gate(path), refuseModes ? -EPERM : real.SetMode(path, mode);
    }
    int SetTimes(const char* path, platform::FileTime accessed, platform::FileTime modified) override
    {
        return Gate(path), real.SetTimes(path, accessed, modified);
    }
    int ListFolder(const char* path, std::vector<platform::FolderEntry>& entries) override
    {
        const InFlight inFlight = Gate(path);
        if (listFault) {
            if (const int fault = listFault(path); fault != 0) {
                return fault;
            }
        }
        return real.ListFolder(path, entries);
    }
    int GetDiskSpace(const char* path, platform::DiskSpace& space) override
    {
        const InFlight inFlight = Gate(path);
        if (diskSpace) {
            space = *diskSpace;
            return 0;
        }
        return real.GetDiskSpace(path, space);
    }
    int ResolvePath(const char* path, std::string& resolved) override
    {
        return Gate(path), real.ResolvePath(path, resolved);
    }

protected:
    platform::PosixFileSystem real;

private:
    // Counts an off-thread call as in flight from the gate until the call
    // returns (the end of the full expression or the enclosing block).
    class InFlight {
    public:
        explicit InFlight(TestFileLayer* layer) : layer_(layer) {}
        ~InFlight()
        {
            if (layer_ != nullptr) {
                std::lock_guard lock(layer_->mutex_);
                --layer_->inFlight_;
            }
        }
        InFlight(const InFlight&) = delete;
        InFlight& operator=(const InFlight&) = delete;

    private:
        TestFileLayer* layer_;
    };

    // path null: a call through a handle.
    InFlight Gate(const char* path)
    {
        if (std::this_thread::get_id() == owner_) {
            return InFlight(nullptr);
        }
        ++offThreadCalls;
        std::unique_lock lock(mutex_);
        ++inFlight_;
        const auto held = [&] {
            return holding_ &&
                   (path == nullptr ? holdHandles_ : std::string(path).find(heldPart_) != std::string::npos);
        };
        if (held()) {
            ++heldCalls;
            const std::uint64_t generation = generation_;
            released_.wait(lock, [&] { return !held() || generation_ != generation; });
            if (generation_ == generation) {
                // Let go by a new Hold(), not by a release that cleared the count.
                --heldCalls;
            }
        }
        return InFlight(this);
    }
    // Called with the mutex held: the waiting calls are no longer counted
    // from here on, so the next count a test reads is of new calls only.
    void ReleaseWaiting()
    {
        ++generation_;
        heldCalls = 0;
    }

    const std::thread::id owner_ = std::this_thread::get_id();
    mutable std::mutex mutex_;
    // Off-thread calls between the gate and their return.
    int inFlight_ = 0;
    std::condition_variable released_;
    bool holding_ = false;
    std::uint64_t generation_ = 0;
    bool holdHandles_ = false;
    std::string heldPart_;
};

} // namespace testsupport
