#include "platform/KeptOriginal.h"

#include "platform/AtomicFile.h"
#include "platform/FileTypes.h"
#include "platform/Files.h"
#include "platform/base/LogSink.h"

namespace platform {

std::string KeptOriginalPath(const std::string& path)
{
    return ResolveWriteTarget(path) + ".cp932";
}

KeptOriginal KeepOriginalOnce(const std::string& path, std::string_view bytes)
{
    KeptOriginal kept;
    kept.path = KeptOriginalPath(path);
    FileStatus status;
    const auto keptAlready = [&] { return files::Stat(kept.path, status, false) && status.kind == FileKind::File; };
    if (keptAlready()) {
        kept.ok = true;
        Log(path + " goes over to UTF-8; " + kept.path + " already holds it as it was before, and stays", 0);
        return kept;
    }
    if (status.kind != FileKind::Missing) {
        kept.failure = kept.path + " is there and is no file";
        return kept;
    }
    kept.failure = WriteFileAtomically(kept.path, bytes, false);
    // A failed rename may be another session keeping it at the same moment.
    kept.ok = kept.failure.empty() || keptAlready();
    if (kept.failure.empty()) {
        Log(path + " goes over to UTF-8; its code page 932 bytes are kept in " + kept.path +
                ": put that file back in its place to undo",
            0);
    }
    return kept;
}

std::string NotKeptNote(const KeptOriginal& kept)
{
    return "it would go over to UTF-8, but its code page 932 bytes could not be kept in " + kept.path + " (" +
           kept.failure + "); not saved";
}

} // namespace platform
