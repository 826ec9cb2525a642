#pragma once

#include "cache/TipTexts.h"
#include "mainwindow/ports/CachePort.h"

#include <functional>
#include <string>
#include <string_view>

struct MainState;
class FileTransferPort;

namespace cache {

// The cache procedures behind the cache port: the tip texts of buttons and
// list rows (read once per sound and kept for the run, never from a server
// while something plays); the Cache menu waits while a transfer runs.
class CacheService final : public CachePort {
public:
    CacheService(const MainState& state, FileTransferPort& transfer);

    void MenuCache_Click(int index) override;
    // Copying into the cache comes with the local cache; until then nothing
    // is copied and every record keeps its Cached flag.
    void CacheAll(int) override {}
    void ShowCacheProgress(std::string_view, bool) override {}
    int GetTipInfo(std::string_view path, std::vector<std::string>& texts, int mode) override;

    // The cache name of a sound (the playback side's mapping of server paths
    // into the cache folder); without it tips are read where the sound lies.
    std::function<std::string(std::string_view path)> LocalFilename;

private:
    const MainState& state_;
    FileTransferPort& transfer_;
    TipTexts tips_;
};

} // namespace cache
