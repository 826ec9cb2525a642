#pragma once

#include <string_view>

// The cache commands of the Cache menu and the progress they show.
class CachePort {
public:
    virtual ~CachePort() = default;
    // 0 cache every assigned sound, 1 delete unused cache files, 2 clear the cache.
    virtual void MenuCache_Click(int index) = 0;
    // Progress text in the page title; highlighted selects its lit colours.
    virtual void ShowCacheProgress(std::string_view text, bool highlighted) = 0;
};
