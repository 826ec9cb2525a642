#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "platform/ProfileDocument.h"

#include <exception>

namespace platform {

std::optional<std::string> ReadProfileString(const std::string& file, std::string_view section, std::string_view key)
{
    try {
        const FileContents contents = ReadSettingsFile(file);
        if (contents.state != FileContents::State::Read) {
            return std::nullopt;
        }
        return ProfileDocument(contents.bytes).Find(section, key);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

FileUpdate WriteProfileString(const std::string& file, std::string_view section, std::string_view key,
                              std::string_view value)
{
    bool wentOverToUtf8 = false;
    FileUpdate update = UpdateFileUnderLock(file, [&](std::string_view bytes) -> std::optional<std::string> {
        ProfileDocument document(bytes);
        if (!document.Set(section, key, value)) {
            return std::nullopt;
        }
        wentOverToUtf8 = document.WentOverToUtf8();
        return document.Bytes();
    });
    update.nowUtf8 = update.changed && wentOverToUtf8;
    return update;
}

} // namespace platform
