#pragma once

namespace platform {
class Form;
}

// The material browser window of one output.
class MaterialBrowserPort {
public:
    virtual ~MaterialBrowserPort() = default;
    virtual bool IsLoaded() = 0;
    // The output whose browser it is.
    virtual int Output() = 0;
    // Shows the browser of an output, modeless and owned by owner.
    virtual void Show(platform::Form& owner, int output) = 0;
    virtual void Unload() = 0;
    // The browser's window while it is loaded, so the main window can keep
    // its place per output when it moves it; null when it has none.
    virtual platform::Form* Window() { return nullptr; }
};
