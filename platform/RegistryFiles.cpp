#include "platform/RegistryFiles.h"

#include "platform/AsciiCase.h"
#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/FileTypes.h"
#include "platform/Files.h"
#include "platform/RegistryKeyDocument.h"
#include "platform/base/AppIdentity.h"

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

constexpr std::string_view KeyFileExtension = ".conf";

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "/tmp";
}

// The folder of a key's sub-keys: its file without the extension.
std::string SubKeyFolder(const std::string& keyFile)
{
    return keyFile.substr(0, keyFile.size() - KeyFileExtension.size());
}

bool HasSubKeys(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    if (!files::ListFolder(folder, entries)) {
        return false;
    }
    for (const FolderEntry& entry : entries) {
        if (entry.kind == FileKind::Folder || entry.name.ends_with(KeyFileExtension)) {
            return true;
        }
    }
    return false;
}

FileUpdate Failed(std::string failure)
{
    FileUpdate update;
    update.failure = std::move(failure);
    return update;
}

FileUpdate NoSuchKey(std::string_view keyPath)
{
    return Failed("registry key \"" + std::string(keyPath) + "\" names no key");
}

} // namespace

std::string RegistryFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    const std::string base = config != nullptr && config[0] == '/' ? std::string(config) : HomeFolder() + "/.config";
    return base + "/" + App::CompanyName + "-registry";
}

std::optional<std::string> RegistryKeyFile(std::string_view keyPath)
{
    std::string file;
    std::size_t start = 0;
    while (start <= keyPath.size()) {
        std::size_t end = keyPath.find_first_of("\\/", start);
        if (end == std::string_view::npos) {
            end = keyPath.size();
        }
        const std::string_view part = keyPath.substr(start, end - start);
        start = end + 1;
        if (part.empty()) {
            continue;
        }
        if (part == "." || part == ".." || part.find('\0') != std::string_view::npos) {
            return std::nullopt;
        }
        file += "/" + AsciiLower(part);
    }
    if (file.empty()) {
        return std::nullopt;
    }
    return RegistryFolder() + file + std::string(KeyFileExtension);
}

std::optional<std::string> ReadRegistryValue(std::string_view keyPath, std::string_view name)
{
    try {
        const std::optional<std::string> file = RegistryKeyFile(keyPath);
        if (!file) {
            return std::nullopt;
        }
        const FileContents contents = ReadSettingsFile(*file);
        if (contents.state != FileContents::State::Read) {
            return std::nullopt;
        }
        return RegistryKeyDocument(contents.bytes).Find(name);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

FileUpdate WriteRegistryValue(std::string_view keyPath, std::string_view name, std::string_view value)
{
    const std::optional<std::string> file = RegistryKeyFile(keyPath);
    if (!file) {
        return NoSuchKey(keyPath);
    }
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(*file).parent_path();
    std::filesystem::create_directories(folder, error);
    if (error) {
        return Failed(CallFailure("mkdir", folder.string(), error.value()));
    }
    return UpdateDocumentUnderLock<RegistryKeyDocument>(
        *file, [&](RegistryKeyDocument& document) { return document.Set(name, value); });
}

FileUpdate DeleteRegistryValue(std::string_view keyPath, std::string_view name)
{
    const std::optional<std::string> file = RegistryKeyFile(keyPath);
    if (!file) {
        return NoSuchKey(keyPath);
    }
    return UpdateDocumentUnderLock<RegistryKeyDocument>(
        *file, [&](RegistryKeyDocument& document) { return document.Remove(name); });
}

FileUpdate DeleteRegistryKey(std::string_view keyPath)
{
    try {
        const std::optional<std::string> file = RegistryKeyFile(keyPath);
        if (!file) {
            return NoSuchKey(keyPath);
        }
        const std::string subKeys = SubKeyFolder(*file);
        if (HasSubKeys(subKeys)) {
            return Failed("registry key \"" + std::string(keyPath) + "\" still has sub-keys");
        }
        const FileLock lock(*file);
        if (!lock.Held()) {
            return Failed(lock.Failure());
        }
        if (!files::Unlink(*file) && errno != ENOENT) {
            return Failed(CallFailure("unlink", *file, errno));
        }
        // An empty sub-key folder goes too; one that is not empty stays.
        files::RemoveFolder(subKeys);
        FileUpdate update;
        update.ok = true;
        update.changed = true;
        return update;
    } catch (const std::exception& error) {
        return Failed(error.what());
    }
}

} // namespace platform
