#include "cache/LocalCache.h"

#include "cache/CacheClean.h"
#include "cache/CacheFolderGuard.h"
#include "cache/OldCacheSweep.h"
#include "foundation/DayLog.h"
#include "foundation/Drives.h"
#include "foundation/FileAccess.h"
#include "foundation/Folders.h"
#include "foundation/HostReachability.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "foundation/ServerFolders.h"
#include "foundation/Settings.h"
#include "mainwindow/MainState.h"
#include "mainwindow/ports/FileTransferPort.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "platform/ServerPaths.h"
#include "platform/base/Hooks.h"
#include "playback/CacheNames.h"

#include <QWidget>

#include <algorithm>

namespace cache {

namespace {

constexpr int HostTimeoutMs = 1500;
constexpr int HostAnswerAgeSec = 300;
constexpr double LeastFreePercent = 5.0;
constexpr std::string_view TipExtension = ".tip";
constexpr int CancelledByOperator = 1;

bool EndsWithTipAnyCase(std::string_view path)
{
    return path.size() >= TipExtension.size() &&
           basic::LowerAscii(path.substr(path.size() - TipExtension.size())) == TipExtension;
}

// Lets pending window events run and shows the hourglass meanwhile.
class MenuCommandScope {
public:
    MenuCommandScope() { platform::Pump(); }
    ~MenuCommandScope() { platform::Pump(); }
    MenuCommandScope(const MenuCommandScope&) = delete;
    MenuCommandScope& operator=(const MenuCommandScope&) = delete;

private:
    platform::ScopedBusyCursor busy_;
};

} // namespace

LocalCache::LocalCache(MainState& state, FileTransferPort& transfer) : state_(state), transfer_(transfer) {}

int LocalCache::Message(std::string_view text, int style)
{
    return basic::ShowMessage(text, style, "", Owner);
}

void LocalCache::ShowTransfer(bool visible)
{
    if (QWidget* control = transfer_.Control()) {
        control->setVisible(visible);
        // Above the grids and lists of the window that holds it.
        if (visible && control->parentWidget() != nullptr) {
            control->raise();
        }
    }
}

void LocalCache::MenuCache_Click(int index)
{
    // The copies of the cache go through the one transfer control.
    if (transfer_.Busy() || copyingPass_) {
        basic::WriteLog("The Cache menu waits: a transfer runs", 0, 0);
        return;
    }
    const MenuCommandScope scope;
    switch (index) {
    case 0:
        CacheAll(0);
        break;
    case 1:
        CleanUnused();
        break;
    case 2:
        ClearAll();
        break;
    default:
        break;
    }
}

void LocalCache::CleanUnused()
{
    if (!CacheFolderUsable(CurrentCacheFolderContext(state_), CacheDeletion::Clean)) {
        Message(CacheFolderRefusedText(), platform::IconStop);
        return;
    }
    if (Message(basic::LangText("使用していないキャッシュをクリアしますか？", "Delete unused cached files?"),
                platform::BoxYesNo + platform::IconQuestion) != platform::IdYes) {
        return;
    }
    const CleanResult result = CleanCache(state_);
    if (result.Outcome == CleanOutcome::UnreadableTable) {
        Message(basic::LangText("読み込めない割り当てファイルがあるため、キャッシュは削除されませんでした。\n",
                                "An assign table file cannot be read, so no cached file was deleted.\n") +
                    result.Table,
                platform::IconStop);
    }
    CacheAll(1);
}

void LocalCache::ClearAll()
{
    if (!CacheFolderUsable(CurrentCacheFolderContext(state_), CacheDeletion::Clear)) {
        // Nothing was deleted, so nothing is created either.
        Message(CacheFolderRefusedText(), platform::IconStop);
        CacheAll(1);
        return;
    }
    if (Message(basic::LangText("全てのキャッシュをクリアしますか？", "Delete all cached files?"),
                platform::BoxYesNo + platform::IconQuestion) == platform::IdYes) {
        basic::DeleteFolderContents(FCT_Quind::LocalPath, 1, 0, "", 0);
        basic::WriteLog("The cache folder was cleared: " + FCT_Quind::LocalPath, 0, 0);
    }
    CacheAll(1);
    FCT_Quind::CreateLocalFolders();
}

void LocalCache::SweepExpired()
{
    if (!CacheFolderUsable(CurrentCacheFolderContext(state_), CacheDeletion::Sweep)) {
        if (!sweepRefusalLogged_) {
            sweepRefusalLogged_ = true;
            basic::WriteLog("KillOldCache refused: the cache folder is not set or cannot be used (" +
                                FCT_Quind::LocalPath + ")",
                            1, 0);
        }
        return;
    }
    KillOldCache(FCT_Quind::LocalPath);
}

void LocalCache::CacheAll(int mode)
{
    if (mode == 1 && state_.AlertNoCache == 0) {
        return;
    }
    if (state_.SomethingPlays == 1 || FCT_Quind::LocalPath.empty() || basic::FolderExists(FCT_Quind::LocalPath) == 0) {
        return;
    }
    if (mode == 0 && copyingPass_) {
        basic::WriteLog("CacheAll: a copying pass runs already", 0, 0);
        return;
    }
    const platform::ScopedBusyCursor busy;
    if (mode == 0) {
        copyingPass_ = true;
        if (basic::GetSetting("KillOldCache", "0") == "1") {
            SweepExpired();
        }
        ShowTransfer(true);
    }
    bool missing = false;
    if (Pass(mode, missing)) {
        state_.AllCached = missing ? 0 : 1;
        ShowCacheState();
    }
    if (mode == 0) {
        ShowTransfer(false);
        copyingPass_ = false;
    }
}

bool LocalCache::Pass(int mode, bool& missing)
{
    // Window events run during the copies and may change the tables: every
    // record is looked up again by its place, and its path copied.
    const int outputs = std::clamp(state_.NumOut, 0, AssignOutputs);
    for (int output = 0; output < outputs; ++output) {
        const int pages = std::clamp(state_.PageNum, 0, AssignPages);
        for (int page = 0; page < pages; ++page) {
            const std::size_t listIndex = static_cast<std::size_t>(ListTableIndex(output, page));
            if (parms::IsList[static_cast<std::size_t>(output)] == 1) {
                for (std::size_t item = 0; item < state_.ListTable[listIndex].Items.size(); ++item) {
                    const std::string path = state_.ListTable[listIndex].Items[item].FileName;
                    std::int32_t cached = -1;
                    if (!CheckRecord(path, mode, cached, missing)) {
                        return false;
                    }
                    auto& items = state_.ListTable[listIndex].Items;
                    if (cached >= 0 && item < items.size() && items[item].FileName == path) {
                        items[item].Cached = cached;
                    }
                }
                continue;
            }
            const int buttons = std::clamp(state_.ButtonsPerPage[static_cast<std::size_t>(output)], 0, AssignButtons);
            for (int button = 0; button < buttons; ++button) {
                const std::size_t at = static_cast<std::size_t>(ButtonTableIndex(output, page, button));
                if (at >= state_.ButtonTable.size()) {
                    break;
                }
                const std::string path = state_.ButtonTable[at].FileName;
                std::int32_t cached = -1;
                if (!CheckRecord(path, mode, cached, missing)) {
                    return false;
                }
                if (cached >= 0 && at < state_.ButtonTable.size() && state_.ButtonTable[at].FileName == path) {
                    state_.ButtonTable[at].Cached = cached;
                }
            }
        }
    }
    return true;
}

bool LocalCache::CheckRecord(std::string_view path, int mode, std::int32_t& cached, bool& missing)
{
    if (mode == 1) {
        std::string name;
        cached = Assess(path, 0, name) == Need::Nothing ? 0 : 1;
        missing = missing || cached == 1;
        return true;
    }
    if (path.empty()) {
        return true;
    }
    if (CheckCacheDiskSpace() == 0) {
        return false;
    }
    std::string name;
    switch (CopyIntoCache(path, 0, name)) {
    case CopyOutcome::Cancelled:
        return false;
    case CopyOutcome::Unavailable:
        basic::WriteLog("CacheAll: " + std::string(path) + " was not copied: the file is missing", 1, 0);
        cached = 1;
        missing = true;
        return true;
    case CopyOutcome::Failed:
        cached = 1;
        missing = true;
        return true;
    case CopyOutcome::NotNeeded:
    case CopyOutcome::Copied:
        cached = 0;
        return true;
    }
    return true;
}

std::string LocalCache::IsCached(std::string_view path, int tipFlag)
{
    std::string name;
    return Assess(path, tipFlag, name) == Need::Copy ? name : std::string();
}

LocalCache::Need LocalCache::Assess(std::string_view path, int tipFlag, std::string& name)
{
    name.clear();
    std::string file(path);
    if (tipFlag == 1 && !EndsWithTipAnyCase(file)) {
        file += TipExtension;
    }
    // Without a cache folder the cache name would be a bare file name, that
    // is, a copy into whatever the working folder is.
    if (FCT_Quind::LocalPath.empty() || path.size() < 3) {
        return Need::Nothing;
    }
    // A server path is never on a local disk, wherever its share is mounted.
    if (state_.CacheAll == 0 && !platform::IsServerPath(file) && basic::GetDriveKind(file, 0, 0) == 1) {
        return Need::Nothing;
    }
    // A host that does not answer costs no copy: its files count as cached.
    if (FCT_Ping::IsPathHostReachable(file, HostTimeoutMs, HostAnswerAgeSec) == 0) {
        return Need::Nothing;
    }
    if (basic::FileExists(file) == 0) {
        // Gone from an answering host: only a copy already cached still plays.
        const std::string held = playback::GetLocalFilename(file);
        return !held.empty() && basic::FileExists(held) != 0 ? Need::Nothing : Need::Unavailable;
    }
    name = playback::GetLocalFilename(file);
    if (name.empty() || basic::FilesDiffer(file, name, 0, 0, 0) != 1) {
        name.clear();
        return Need::Nothing;
    }
    return Need::Copy;
}

std::string LocalCache::CacheFile(std::string_view path, int showFlag)
{
    std::string name;
    switch (CopyIntoCache(path, showFlag, name)) {
    case CopyOutcome::Copied:
        return name;
    case CopyOutcome::Cancelled:
        return std::string(Canceled);
    case CopyOutcome::NotNeeded:
    case CopyOutcome::Failed:
    case CopyOutcome::Unavailable:
        break;
    }
    return {};
}

LocalCache::CopyOutcome LocalCache::CopyIntoCache(std::string_view path, int showFlag, std::string& name)
{
    if (path.size() < 3) {
        return CopyOutcome::NotNeeded;
    }
    // A drop while a pass copies: the running copy goes on undisturbed and
    // this file stays to be cached later.
    if (transfer_.Busy()) {
        basic::WriteLog("CacheFile: a transfer runs; " + std::string(path) + " is not cached now", 0, 0);
        return CopyOutcome::Failed;
    }
    CopyOutcome outcome = CopyOutcome::NotNeeded;
    const Need need = Assess(path, 0, name);
    if (need == Need::Unavailable) {
        outcome = CopyOutcome::Unavailable;
    }
    if (need == Need::Copy) {
        if (showFlag == 1) {
            ShowTransfer(true);
        }
        if (transfer_.TranspFile(path, name, 1, 0) == 1) {
            outcome = CopyOutcome::Copied;
        } else if (transfer_.ErrorCode() == CancelledByOperator) {
            outcome = CopyOutcome::Cancelled;
        } else {
            outcome = CopyOutcome::Failed;
            Message(transfer_.ErrorCodeText() + "\n" + name, platform::IconStop);
        }
        if (showFlag == 1) {
            ShowTransfer(false);
        }
    }
    // The operator who cancels wants nothing more copied, the tip included.
    if (outcome != CopyOutcome::Cancelled && parms::GetTip == 1) {
        const std::string tipName = IsCached(path, 1);
        if (!tipName.empty() && !transfer_.Busy()) {
            transfer_.TranspFile(std::string(path) + std::string(TipExtension), tipName, 1, 0);
        }
    }
    return outcome;
}

int LocalCache::CheckCacheDiskSpace()
{
    if (basic::GetDiskFreeBytes(FCT_Quind::LocalPath, 3, 0) < LeastFreePercent) {
        Message(basic::LangText("空き容量が少なくなっています。キャッシュのクリアを実行してください",
                                "no disk space.clear cached data."),
                platform::IconStop);
        return 0;
    }
    return 1;
}

void LocalCache::ShowCacheState()
{
    ShowCacheProgress({}, state_.AllCached == 0);
}

void LocalCache::ShowCacheProgress(std::string_view, bool highlighted)
{
    if (!PageCaptionColour) {
        return;
    }
    const int outputs = std::clamp(state_.NumOut, 0, MainState::Outputs);
    for (int output = 0; output < outputs; ++output) {
        if (state_.ShowPage[static_cast<std::size_t>(output)] == 1) {
            PageCaptionColour(output, highlighted ? 1 : 0);
        }
    }
}

} // namespace cache
