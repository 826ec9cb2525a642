#include "cache/CacheFolderGuard.h"

#include "foundation/Folders.h"
#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/ServerFolders.h"
#include "mainwindow/MainState.h"
#include "platform/Files.h"
#include "platform/MountTable.h"
#include "platform/ServerPaths.h"

#include <cstdlib>

namespace cache {

namespace {

// The native absolute path without a trailing "/", links resolved where the
// path exists; "" for an unset or relative path. Server paths are only
// mapped, never touched: their host may be away.
std::string Canonical(const std::string& path)
{
    if (path.empty()) {
        return {};
    }
    std::string native = platform::NativePath(path);
    if (native.empty() || native.front() != '/') {
        return {};
    }
    if (!platform::IsServerPath(path)) {
        std::string resolved;
        if (platform::files::ResolvePath(native, resolved) && !resolved.empty()) {
            native = resolved;
        }
    }
    while (native.size() > 1 && native.back() == '/') {
        native.pop_back();
    }
    return native;
}

// inner is folder itself or lies somewhere below it.
bool Holds(const std::string& folder, const std::string& inner)
{
    if (folder.empty() || inner.empty()) {
        return false;
    }
    if (folder == "/") {
        return true;
    }
    return inner == folder ||
           (inner.size() > folder.size() && inner.starts_with(folder) && inner[folder.size()] == '/');
}

std::string FolderOf(const std::string& path)
{
    const std::size_t cut = path.find_last_of('/');
    if (cut == std::string::npos) {
        return {};
    }
    return cut == 0 ? "/" : path.substr(0, cut);
}

bool IsMountPoint(const std::string& folder)
{
    return folder == "/" || platform::MountPointOf(folder, platform::ReadMountTable()) == folder;
}

} // namespace

CacheFolderContext CurrentCacheFolderContext(const MainState& state)
{
    CacheFolderContext context;
    context.CacheFolder = FCT_Quind::LocalPath;
    context.ProgramFolder = basic::AppPath();
    if (const char* home = std::getenv("HOME"); home != nullptr) {
        context.HomeFolder = home;
    }
    context.TxtPath = state.TlvTxtPath;
    context.BackupPath = state.TlvBackupPath;
    context.OpenTable = state.CurrentFilePath;
    return context;
}

bool CacheFolderUsable(const CacheFolderContext& context, CacheDeletion deletion)
{
    if (context.CacheFolder.empty() || basic::FolderExists(context.CacheFolder) == 0) {
        return false;
    }
    const std::string cache = Canonical(context.CacheFolder);
    if (cache.empty() || IsMountPoint(cache)) {
        return false;
    }
    const std::string program = Canonical(context.ProgramFolder);
    const std::string home = Canonical(context.HomeFolder);
    if (cache == program || cache == home) {
        return false;
    }
    const std::string txt = Canonical(context.TxtPath);
    const std::string backup = Canonical(context.BackupPath);
    const std::string table = Canonical(context.OpenTable);
    switch (deletion) {
    case CacheDeletion::Clear:
        return !Holds(cache, program) && !Holds(cache, home) && !Holds(cache, txt) && !Holds(cache, backup) &&
               !Holds(cache, table);
    case CacheDeletion::Clean:
        return cache != txt && cache != backup && cache != FolderOf(table);
    case CacheDeletion::Sweep:
        return true;
    }
    return false;
}

std::string CacheFolderRefusedText()
{
    return basic::LangText("キャッシュフォルダが設定されていないか使用できません",
                           "The cache folder is not set or cannot be used.");
}

} // namespace cache
