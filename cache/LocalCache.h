#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct MainState;
class FileTransferPort;
namespace platform {
class Form;
}

namespace cache {

// The local cache of sound files: server sounds are copied into LocalPath
// (mirroring the current server's sub-folders) before they are needed, so
// that a sound starts even when its server is slow or gone. Every copy goes
// through the one transfer control FH1, which replaces a cached copy only by
// a complete one. Runs on the user-interface thread; the copies let window
// events run, so clicks, drops and the engine tick come in between.
class LocalCache {
public:
    // What CacheFile returns when the operator cancelled the copy.
    static constexpr std::string_view Canceled = "CANCELED";

    LocalCache(MainState& state, FileTransferPort& transfer);

    // Centres the messages; null: no owner.
    platform::Form* Owner = nullptr;
    // Selects colour set 0 or 1 of an output's page caption panel.
    std::function<void(int output, int colourSet)> PageCaptionColour;

    // 0 cache every assigned sound, 1 delete unused cache files (after a
    // question) and check again, 2 clear the cache folder (after a question),
    // check again and re-create the local folders.
    void MenuCache_Click(int index);
    // Mode 0 copies what needs it (after sweeping expired sounds when the
    // setting KillOldCache is 1); mode 1 only checks and sets every record's
    // Cached flag. AllCached becomes 1 only when nothing is left to copy: a
    // sound gone from its answering server (a server folder that vanished)
    // and not in the cache counts as not cached, and the copying pass logs it.
    void CacheAll(int mode);
    // The cache name when the file (tipFlag 1: its ".tip") must be copied now,
    // else "": no cache folder set, a local fixed disk while the setting
    // CacheAll is 0, a host that does not answer, a missing file, or a cached
    // copy of the same size and last-write time (2 s tolerance).
    std::string IsCached(std::string_view path, int tipFlag);
    // Copies the file (and with GetTip its ".tip") into the cache: the cache
    // name when copied, "CANCELED" when the operator cancelled, else "" (a
    // failure shows the transfer's error text; while the transfer control is
    // busy nothing is copied and nothing shown). showFlag 1 shows FH1.
    std::string CacheFile(std::string_view path, int showFlag);
    // 1 when the cache folder's disk has 5 % or more free, else 0 after the
    // message.
    int CheckCacheDiskSpace();
    // The page captions in colour set 1 while something is not cached, else 0.
    void ShowCacheState();
    // The page captions of the shown outputs in colour set 1 (highlighted) or 0.
    void ShowCacheProgress(std::string_view text, bool highlighted);

private:
    // What a file needs: nothing, a copy into the cache, or a copy it cannot
    // get because it is gone from an answering host while the cache holds no
    // copy of it either.
    enum class Need { Nothing, Copy, Unavailable };
    Need Assess(std::string_view path, int tipFlag, std::string& name);
    enum class CopyOutcome { NotNeeded, Copied, Failed, Cancelled, Unavailable };
    CopyOutcome CopyIntoCache(std::string_view path, int showFlag, std::string& name);
    // The pass over every assignment; false when it stopped early.
    bool Pass(int mode, bool& missing);
    bool CheckRecord(std::string_view path, int mode, std::int32_t& cached, bool& missing);
    void SweepExpired();
    void CleanUnused();
    void ClearAll();
    int Message(std::string_view text, int style);
    void ShowTransfer(bool visible);

    MainState& state_;
    FileTransferPort& transfer_;
    // A copying pass runs; another copying pass or menu command must wait.
    bool copyingPass_ = false;
    bool sweepRefusalLogged_ = false;
};

} // namespace cache
