#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace platform::audio {

// What tells one version of a file from another.
struct FileStamp {
    bool exists = false;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// A file's stamp, learnt on a thread of its own: on a share that stops
// answering stat() blocks for as long as the share likes, and the program's
// thread never waits for it beyond a bound.
class FileStampProbe {
public:
    static std::shared_ptr<FileStampProbe> Start(std::string path);

    // The stamp once stat() has answered (a missing file too); nothing while
    // it has not, after waiting up to timeoutMs.
    std::optional<FileStamp> Wait(int timeoutMs);
    bool Answered();

    // How a probe learns a stamp, on its own thread: stat() unless a test put
    // a look of its own in place (null restores stat()).
    using Look = std::function<FileStamp(const std::string& path)>;
    static void SetLook(Look look);

private:
    std::mutex mutex_;
    std::condition_variable answered_;
    std::optional<FileStamp> stamp_;
};

} // namespace platform::audio
