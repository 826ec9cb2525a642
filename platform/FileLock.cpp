#include "platform/FileLock.h"

#include "platform/AtomicFile.h"
#include "platform/FileTypes.h"
#include "platform/Files.h"
#include "platform/base/Hooks.h"

#include <cerrno>
#include <chrono>
#include <sys/file.h>
#include <time.h>
#include <utility>

namespace platform {

namespace {

std::function<void()> lockWaitHook;

bool TryLock(int fd)
{
    int result = 0;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

void SleepOneMillisecond()
{
    const timespec pause{0, 1000000};
    ::nanosleep(&pause, nullptr);
}

} // namespace

FileLock::FileLock(const std::string& targetPath)
{
    const std::string lockPath = LockPathOf(targetPath);
    int lockFd = files::Open(lockPath, OpenMode::ReadWrite);
    if (lockFd == 0 && errno == EACCES) {
        // Another user's lock file: flock needs no write access to it.
        lockFd = files::Open(lockPath, OpenMode::Read);
    }
    if (lockFd == 0) {
        failure = CallFailure("open", lockPath, errno);
        return;
    }
    if (!TryLock(lockFd)) {
        if (errno != EWOULDBLOCK) {
            failure = CallFailure("flock", lockPath, errno);
            files::Close(lockFd);
            return;
        }
        if (lockWaitHook) {
            lockWaitHook();
        }
        // Wall time, not the program's clock: the other session's hold is real.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(LockWaitLimitMs);
        bool locked = false;
        int lastError = EWOULDBLOCK;
        while (std::chrono::steady_clock::now() < giveUp) {
            RefillIfDue();
            SleepOneMillisecond();
            if (TryLock(lockFd)) {
                locked = true;
                break;
            }
            lastError = errno;
            if (lastError != EWOULDBLOCK) {
                break;
            }
        }
        if (!locked) {
            failure = lastError == EWOULDBLOCK ? "\"" + lockPath + "\" stayed locked by another session"
                                               : CallFailure("flock", lockPath, lastError);
            files::Close(lockFd);
            return;
        }
    }
    fd = lockFd;
}

FileLock::~FileLock()
{
    if (fd > 0) {
        // Closing the last descriptor releases the flock.
        files::Close(fd);
    }
}

void SetFileLockWaitHookForTests(std::function<void()> hook)
{
    lockWaitHook = std::move(hook);
}

} // namespace platform
