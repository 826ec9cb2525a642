#include "platform/LockedFileUpdate.h"

#include "platform/AtomicFile.h"
#include "platform/FileLock.h"

#include <exception>

namespace platform {

FileUpdate UpdateFileUnderLock(const std::string& requestedPath, const FileEdit& edit)
{
    FileUpdate update;
    try {
        const std::string path = ResolveWriteTarget(requestedPath);
        // Without the lock (a folder we may not write) the file is still read:
        // when the edit changes nothing, there is nothing to fail.
        const FileLock lock(path);
        const FileContents contents = ReadSettingsFile(path);
        if (contents.state == FileContents::State::Failed) {
            update.failure = contents.failure;
            return update;
        }
        const std::optional<std::string> edited = edit(contents.bytes);
        if (!edited) {
            update.failure = "\"" + path + "\": the change was refused";
            return update;
        }
        if (*edited == contents.bytes) {
            update.ok = true;
            return update;
        }
        if (!lock.Held()) {
            update.failure = lock.Failure();
            return update;
        }
        update.failure = WriteFileAtomically(path, *edited);
        update.ok = update.failure.empty();
        update.changed = update.ok;
    } catch (const std::exception& error) {
        update.ok = false;
        update.failure = std::string("\"") + requestedPath + "\": " + error.what();
    }
    return update;
}

} // namespace platform
