#include "platform/UnlistedNames.h"

#include "platform/CommonDialogs.h"
#include "platform/Files.h"
#include "platform/base/TextCodec.h"

#include <QString>
#include <QStringList>

#include <fnmatch.h>

#include <algorithm>

namespace platform {

namespace {

bool Matches(const std::string& name, const std::vector<std::string>& patterns)
{
    return patterns.empty() || std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
               return fnmatch(CaseBlindPattern(pattern).c_str(), name.c_str(), 0) == 0;
           });
}

// The one name in folder that Qt shows as shown, else nothing.
std::optional<std::string> OnlyNameShownAs(const std::string& folder, const QString& shown)
{
    std::vector<FolderEntry> entries;
    if (!files::ListFolder(folder.empty() ? std::string("/") : folder, entries)) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    for (const FolderEntry& entry : entries) {
        if (QString::fromUtf8(entry.name.data(), static_cast<qsizetype>(entry.name.size())) == shown) {
            if (found) {
                return std::nullopt; // two names look alike: which one was meant cannot be told
            }
            found = entry.name;
        }
    }
    return found;
}

} // namespace

std::vector<std::string> UnlistedNames(const std::string& folder, const std::vector<std::string>& patterns,
                                       bool foldersOnly)
{
    std::vector<FolderEntry> entries;
    std::vector<std::string> names;
    if (!files::ListFolder(folder, entries)) {
        return names;
    }
    for (const FolderEntry& entry : entries) {
        if (textcodec::IsValidUtf8(entry.name) || entry.name.starts_with('.')) {
            continue;
        }
        const bool folderEntry = entry.kind == FileKind::Folder;
        if (folderEntry || (!foldersOnly && entry.kind == FileKind::File && Matches(entry.name, patterns))) {
            names.push_back(entry.name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ShownNames(const std::vector<std::string>& names, std::size_t most)
{
    std::string shown;
    for (std::size_t i = 0; i < names.size() && i < most; ++i) {
        shown += (i == 0 ? "" : ", ") + textcodec::ShowingStrayBytes(names[i]);
    }
    if (names.size() > most) {
        shown += ", ... (" + std::to_string(names.size()) + ")";
    }
    return shown;
}

std::optional<std::string> PathOnDisk(const QString& chosen)
{
    const QChar replacement(0xFFFD);
    if (!chosen.contains(replacement)) {
        return chosen.toStdString();
    }
    std::string path;
    for (const QString& part : chosen.split('/', Qt::SkipEmptyParts)) {
        const std::string text = part.toStdString();
        FileStatus status;
        if (!part.contains(replacement) || files::Stat(path + "/" + text, status, false)) {
            path += "/" + text;
            continue;
        }
        const std::optional<std::string> name = OnlyNameShownAs(path, part);
        if (!name) {
            return std::nullopt;
        }
        path += "/" + *name;
    }
    return path.empty() ? std::string("/") : path;
}

} // namespace platform
