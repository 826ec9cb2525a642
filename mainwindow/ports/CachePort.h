#pragma once

#include <string>
#include <string_view>
#include <vector>

// The cache commands of the Cache menu and the progress they show.
class CachePort {
public:
    virtual ~CachePort() = default;
    // 0 cache every assigned sound, 1 delete unused cache files, 2 clear the cache.
    virtual void MenuCache_Click(int index) = 0;
    // Mode 0 copies every assigned sound that needs it; mode 1 only checks,
    // sets each record's Cached flag and AllCached.
    virtual void CacheAll(int mode) = 0;
    // Progress text in the page title; highlighted selects its lit colours.
    virtual void ShowCacheProgress(std::string_view text, bool highlighted) = 0;
    // The cache name when the file (tipFlag 1: its ".tip" side file) must be
    // copied into the cache now, else "".
    virtual std::string IsCached(std::string_view path, int tipFlag)
    {
        (void)path;
        (void)tipFlag;
        return {};
    }
    // Copies a file (with its tip) into the cache now, as a drop with
    // CacheAtDrop does: the cache name when copied, "CANCELED" when the
    // operator cancelled, else "". showFlag 1 shows the transfer control.
    virtual std::string CacheFile(std::string_view path, int showFlag)
    {
        (void)path;
        (void)showFlag;
        return {};
    }
    // The tip texts of a sound: mode 0 one per shown tip field (list
    // columns), mode 1 all in texts[0] (button captions); the last element is
    // the type colour in decimal digits. 1 when there are texts.
    virtual int GetTipInfo(std::string_view path, std::vector<std::string>& texts, int mode)
    {
        (void)path;
        (void)mode;
        texts.clear();
        return 0;
    }
};
