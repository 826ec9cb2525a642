#include "audio/FileVersion.h"

#include "platform/Files.h"

std::optional<FileVersion> FileVersion::Of(std::string_view path)
{
    platform::FileStatus status;
    if (path.empty() || !platform::files::Stat(path, status, true)) {
        return std::nullopt;
    }
    return FileVersion{status.size, status.modified.seconds, status.modified.nanoseconds};
}

bool StillLoaded(std::string_view path, const std::optional<FileVersion>& loaded)
{
    const std::optional<FileVersion> now = FileVersion::Of(path);
    return !now || now == loaded;
}
