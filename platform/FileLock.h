#pragma once

#include <functional>
#include <string>

namespace platform {

// An exclusive lock on a settings file, held through the sidecar file
// "<file>.lock" with flock(2), so that up to four sessions that read, change
// and replace the same INI or registry file never lose each other's changes.
// The kernel drops the lock when a holder dies, so no lock outlives its
// session. A busy lock is tried again every millisecond, feeding the players
// meanwhile; after LockWaitLimitMs the lock counts as failed.
class FileLock {
public:
    static constexpr int LockWaitLimitMs = 10000;

    explicit FileLock(const std::string& targetPath);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool Held() const { return fd > 0; }
    // Why the lock could not be taken.
    const std::string& Failure() const { return failure; }

    // The sidecar lock file of a target.
    static std::string LockPathOf(const std::string& targetPath) { return targetPath + ".lock"; }

private:
    int fd = 0;
    std::string failure;
};

// Test seam: called once whenever a lock is found busy, before the wait
// begins, so a test can see that a writer waits without timing it.
void SetFileLockWaitHookForTests(std::function<void()> hook);

} // namespace platform
