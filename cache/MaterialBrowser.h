#pragma once

#include "mainwindow/ports/MaterialBrowserPort.h"

#include <QPointer>

namespace cache {

class FrmSozai;

// The material browser as the main window reaches it: one window, loaded at
// its first opening and kept (hidden when the operator closes it) until the
// program ends. Opening it for another output while it is loaded moves it to
// that output's stored position.
class MaterialBrowser final : public MaterialBrowserPort {
public:
    MaterialBrowser() = default;
    // Unloads a window still loaded, so its folder is kept.
    ~MaterialBrowser() override;
    MaterialBrowser(const MaterialBrowser&) = delete;
    MaterialBrowser& operator=(const MaterialBrowser&) = delete;

    bool IsLoaded() override;
    int Output() override;
    // Loads and shows the browser owned by owner for output; a loaded browser
    // keeps its position under its present output, moves to the position
    // stored for the new one and shows.
    void Show(platform::Form& owner, int output) override;
    void Unload() override;

    // The window while it is loaded, else null.
    FrmSozai* Window() const;

private:
    QPointer<FrmSozai> window_;
};

} // namespace cache
