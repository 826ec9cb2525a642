#pragma once

#include "cache/LocalCache.h"
#include "cache/TipTexts.h"
#include "mainwindow/ports/CachePort.h"

#include <functional>
#include <string>
#include <string_view>

struct MainState;
class FileTransferPort;
namespace platform {
class Form;
}

namespace cache {

// The cache procedures behind the cache port: the Cache menu, the passes
// that fill and check the local cache, the copy of one file at a drop, and
// the tip texts of buttons and list rows (read once per sound and kept for
// the run, never from a server while something plays).
class CacheService final : public CachePort {
public:
    CacheService(MainState& state, FileTransferPort& transfer);

    void MenuCache_Click(int index) override { cache_.MenuCache_Click(index); }
    void CacheAll(int mode) override { cache_.CacheAll(mode); }
    void ShowCacheProgress(std::string_view text, bool highlighted) override
    {
        cache_.ShowCacheProgress(text, highlighted);
    }
    std::string IsCached(std::string_view path, int tipFlag) override { return cache_.IsCached(path, tipFlag); }
    std::string CacheFile(std::string_view path, int showFlag) override { return cache_.CacheFile(path, showFlag); }
    int GetTipInfo(std::string_view path, std::vector<std::string>& texts, int mode) override;

    // The cache name of a sound (the playback side's mapping of server paths
    // into the cache folder); without it tips are read where the sound lies.
    std::function<std::string(std::string_view path)> LocalFilename;

    // The window that owns the messages, and its page caption panels.
    void SetOwner(platform::Form* owner) { cache_.Owner = owner; }
    void SetPageCaptionColour(std::function<void(int output, int colourSet)> colour)
    {
        cache_.PageCaptionColour = std::move(colour);
    }
    LocalCache& Cache() { return cache_; }
    const LocalCache& Cache() const { return cache_; }

private:
    const MainState& state_;
    LocalCache cache_;
    TipTexts tips_;
};

} // namespace cache
