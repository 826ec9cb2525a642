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
    return UpdateDocumentUnderLock<ProfileDocument>(
        file, [&](ProfileDocument& document) { return document.Set(section, key, value); });
}

} // namespace platform
