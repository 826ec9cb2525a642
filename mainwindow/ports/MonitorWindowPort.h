#pragma once

namespace platform {
class Form;
}

// The monitor window that previews one sound with its own player.
class MonitorWindowPort {
public:
    virtual ~MonitorWindowPort() = default;
    virtual bool IsLoaded() = 0;
    virtual void Unload() = 0;
    // Loads the window owned by owner, shows it and hides it again at once,
    // so it exists before the first preview.
    virtual void LoadHidden(platform::Form& owner) = 0;
};
