#pragma once

#include "platform/FileTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A file whose every call runs on an I/O thread, local or not, while the
// caller waits dispatching window events and feeding the players (io::Run):
// long copies stay off the user-interface thread, and a stalled disk or share
// never stalls the sound. Buffers are shared with the I/O thread, so a call
// that the caller gives up on (after io::WaitLimitMs) still writes into live
// memory; the file is then "lost": the late call closes the descriptor when it
// finally returns, and every further call through this object fails.
class IoFile {
public:
    using Buffer = std::shared_ptr<std::vector<std::uint8_t>>;

    IoFile() = default;
    ~IoFile();
    IoFile(const IoFile&) = delete;
    IoFile& operator=(const IoFile&) = delete;

    // A path of the program ("\" read as "/", server paths under the unc
    // root). false with errno set on failure.
    bool Open(std::string_view path, OpenMode mode);
    bool IsOpen() const { return descriptor_ != nullptr; }
    // A call timed out and was given up on.
    bool Lost() const { return lost_; }

    // Reads count bytes into the start of buffer, asking again until they are
    // all there or the file ends: the bytes read, -1 on failure.
    std::int64_t Read(const Buffer& buffer, std::size_t count);
    // Writes the first count bytes of buffer: the bytes written, -1 on failure.
    std::int64_t Write(const Buffer& buffer, std::size_t count);
    bool Stat(FileStatus& status);
    bool Sync();
    bool SetTimes(FileTime accessed, FileTime modified);
    // Closes the file; true when it was open and closed cleanly.
    bool Close();

private:
    struct Descriptor;
    using FileCall = std::function<std::int64_t(int fd)>;

    // Runs call on the I/O thread with the descriptor: its result, or -1 with
    // errno set.
    std::int64_t RunOnFile(FileCall call, std::string_view what);

    std::shared_ptr<Descriptor> descriptor_;
    std::string nativePath_;
    bool lost_ = false;
};

} // namespace platform
