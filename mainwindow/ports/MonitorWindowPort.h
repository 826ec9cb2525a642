#pragma once

#include <string>

namespace platform {
class Form;
}

// The item the monitor window was opened for: a sound button (output, page,
// button) or a play-list row (output, page, row), with the file it held then.
// The edit goes back to exactly this item, whatever page is shown by then,
// and only while the item still holds that file.
struct MonitorItem {
    bool IsList = false;
    int Output = 0;
    int Page = 0;
    int Button = 0; // sound button 0..99 of the page (button kind)
    int Row = 0;    // row 0.. of the page's list (list kind)
    std::string File;
};

// The monitor window that previews one sound with its own player.
class MonitorWindowPort {
public:
    virtual ~MonitorWindowPort() = default;
    virtual bool IsLoaded() = 0;
    // Loaded and shown: right clicks on buttons and rows are ignored then.
    virtual bool IsVisible() = 0;
    virtual void Unload() = 0;
    // Loads the window owned by owner, shows it and hides it again at once,
    // so it exists before the first preview.
    virtual void LoadHidden(platform::Form& owner) = 0;
    // Opens the window for item with the values of parms::MonitorExchange
    // (loading it first, owned by owner, when it is not loaded), plays it at
    // once with autoPlay 1, and shows it.
    virtual void StartMon(platform::Form& owner, const MonitorItem& item, int autoPlay) = 0;
};
