#include "foundation/Registry.h"

#include "foundation/Conversions.h"
#include "foundation/DayLog.h"
#include "foundation/Paths.h"
#include "foundation/RefusedSaves.h"
#include "platform/Files.h"
#include "platform/RegistryFiles.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/TextCodec.h"

#include <optional>

namespace basic {

namespace {

constexpr std::string_view EmptyMark = "***";

std::string CompanyKey()
{
    return "Software\\" + LowerAscii(App::CompanyName);
}

// The key path a call names, or nothing for a root the program does not keep.
std::optional<std::string> KeyPathOf(std::string_view section, std::int32_t hKey, std::string_view keyPath)
{
    if (keyPath.empty()) {
        const std::string name = section.empty() ? std::string(App::Title) : std::string(section);
        return "Software\\" + LowerAscii(std::string(App::CompanyName) + "\\" + name);
    }
    if (hKey != 0 && hKey != CurrentUserRoot) {
        return std::nullopt;
    }
    return std::string(keyPath);
}

bool IsSharedSection(const std::string& keyPath)
{
    return platform::RegistryKeyFile(keyPath) ==
           platform::RegistryKeyFile(CompanyKey() + "\\" + std::string(SharedSection));
}

std::string_view TrimSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Where the operator finds a key's values: its file, else the key itself.
std::string KeyFileOf(const std::string& keyPath)
{
    return platform::RegistryKeyFile(keyPath).value_or(keyPath);
}

void LogFailure(std::string_view call, std::string_view key, std::string_view failure)
{
    WriteLog(std::string(call) + " " + std::string(key) + ": " + std::string(failure), 1, 0);
}

// A change that took a code page 932 key file over to UTF-8 is told, in the
// log of the given kind.
void LogWentOverToUtf8(std::string_view call, std::string_view key, const std::string& keyPath,
                       const platform::FileUpdate& update, int kind)
{
    if (update.nowUtf8) {
        WriteLog(std::string(call) + " " + std::string(key) + ": " +
                     textcodec::WentOverToUtf8Note(keyPath, update.whyUtf8),
                 kind, 0);
    }
}

// Writes to the shared section are refused: outside tools own it.
bool RefusedAsShared(std::string_view call, const std::string& keyPath, std::string_view key)
{
    if (!IsSharedSection(keyPath)) {
        return false;
    }
    LogFailure(call, key, "the section \"common\" is read only");
    return true;
}

} // namespace

std::string RegRead(std::string_view key, const VariantText& defaultValue, std::string_view section, std::int32_t hKey,
                    std::string_view keyPath)
{
    std::string result = defaultValue.Text();
    if (const std::optional<std::string> path = KeyPathOf(section, hKey, keyPath)) {
        if (const std::optional<std::string> stored = platform::ReadRegistryValue(*path, key)) {
            result = std::string(TrimSpaces(TrimNul(*stored)));
        }
    }
    return result == EmptyMark ? std::string() : result;
}

int RegWrite(std::string_view key, const VariantText& value, std::string_view section, std::int32_t hKey,
             std::string_view keyPath)
{
    const std::optional<std::string> path = KeyPathOf(section, hKey, keyPath);
    if (!path) {
        LogFailure("RegWrite", key, "root key " + std::to_string(hKey) + " is not kept");
        return 0;
    }
    if (RefusedAsShared("RegWrite", *path, key)) {
        return 0;
    }
    const std::string_view text = value.Text().empty() ? EmptyMark : std::string_view(value.Text());
    if (!textcodec::IsValidUtf8(text)) {
        // A value read from a line with a stray byte and written back as it
        // was: the line already holds it.
        if (platform::ReadRegistryValue(*path, key) == text) {
            return 1;
        }
        LogFailure("RegWrite", key, textcodec::NotUtf8Note(*path, text));
        NoteRefusedSetting(key, text, KeyFileOf(*path), nullptr);
        return 0;
    }
    const platform::FileUpdate update = platform::WriteRegistryValue(*path, key, text);
    if (!update.ok) {
        LogFailure("RegWrite", key, update.failure);
        NoteRefusedSetting(key, text, KeyFileOf(*path), &update);
        return 0;
    }
    LogWentOverToUtf8("RegWrite", key, *path, update, 1);
    return 1;
}

void RegDeleteValue(std::string_view key, std::string_view section, std::int32_t hKey, std::string_view keyPath)
{
    const std::optional<std::string> path = KeyPathOf(section, hKey, keyPath);
    if (!path || RefusedAsShared("RegDeleteValue", *path, key)) {
        return;
    }
    const platform::FileUpdate update = platform::DeleteRegistryValue(*path, key);
    if (!update.ok) {
        LogFailure("RegDeleteValue", key, update.failure);
    }
    // Only what is left can go over, and only because its bytes would read as
    // UTF-8: nothing failed, so the day log tells it, not the error log.
    LogWentOverToUtf8("RegDeleteValue", key, *path, update, 0);
}

int RegDeleteKey(std::string_view section, std::int32_t hKey, std::string_view keyPath)
{
    if (!keyPath.empty() && hKey != 0 && hKey != CurrentUserRoot) {
        return 0;
    }
    const std::string parent = keyPath.empty() ? CompanyKey() : std::string(keyPath);
    const std::string name = LowerAscii(section.empty() ? std::string_view(App::Title) : section);
    const std::string path = parent + "\\" + name;
    if (RefusedAsShared("RegDeleteKey", path, name)) {
        return 0;
    }
    const std::optional<std::string> file = platform::RegistryKeyFile(path);
    platform::FileStatus status;
    const bool existed =
        file && platform::files::Stat(*file, status, false) && status.kind != platform::FileKind::Missing;
    const platform::FileUpdate update = platform::DeleteRegistryKey(path);
    if (!update.ok) {
        LogFailure("RegDeleteKey", name, update.failure);
        return 0;
    }
    return existed ? 1 : 0;
}

} // namespace basic
