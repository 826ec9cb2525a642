#pragma once

#include <string_view>

// The splash window shown during the start-up.
class SplashWindowPort {
public:
    virtual ~SplashWindowPort() = default;
    // Shows the picture file without waiting (modeless).
    virtual void Show(std::string_view picturePath) = 0;
    virtual void Unload() = 0;
};
