#include "platform/audio/FileStampProbe.h"

#include <sys/stat.h>

#include <chrono>
#include <thread>

namespace platform::audio {

namespace {

FileStamp Stat(const std::string& path)
{
    struct stat info {};
    FileStamp stamp;
    if (::stat(path.c_str(), &info) == 0) {
        stamp.exists = true;
        stamp.inode = info.st_ino;
        stamp.size = info.st_size;
        stamp.changedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    }
    return stamp;
}

std::mutex lookMutex;
FileStampProbe::Look installedLook;

} // namespace

void FileStampProbe::SetLook(Look look)
{
    std::lock_guard lock(lookMutex);
    installedLook = std::move(look);
}

std::shared_ptr<FileStampProbe> FileStampProbe::Start(std::string path)
{
    auto probe = std::make_shared<FileStampProbe>();
    Look look;
    {
        std::lock_guard lock(lookMutex);
        look = installedLook ? installedLook : Look(&Stat);
    }
    // Detached: a stat() that never returns keeps only this thread.
    std::thread([probe, path = std::move(path), look = std::move(look)] {
        const FileStamp stamp = look(path);
        {
            std::lock_guard lock(probe->mutex_);
            probe->stamp_ = stamp;
        }
        probe->answered_.notify_all();
    }).detach();
    return probe;
}

std::optional<FileStamp> FileStampProbe::Wait(int timeoutMs)
{
    std::unique_lock lock(mutex_);
    answered_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return stamp_.has_value(); });
    return stamp_;
}

bool FileStampProbe::Answered()
{
    std::lock_guard lock(mutex_);
    return stamp_.has_value();
}

} // namespace platform::audio
