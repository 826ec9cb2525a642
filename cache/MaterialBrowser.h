#pragma once

#include "mainwindow/ports/MaterialBrowserPort.h"

#include <QPointer>

namespace cache {

class FrmSozai;

// The material browser as the main window reaches it: one window, loaded at
// its first opening and kept (hidden when the operator closes it) until the
// program ends. Its load takes the stored place of its output; moving a
// loaded browser between outputs is the main window's (it keeps each
// output's place through Window()).
class MaterialBrowser final : public MaterialBrowserPort {
public:
    MaterialBrowser() = default;
    // Unloads a window still loaded, so its folder is kept.
    ~MaterialBrowser() override;
    MaterialBrowser(const MaterialBrowser&) = delete;
    MaterialBrowser& operator=(const MaterialBrowser&) = delete;

    bool IsLoaded() override;
    int Output() override;
    // Loads and shows the browser owned by owner for output, at the place
    // stored for it; a loaded browser becomes output's and shows where it
    // stands.
    void Show(platform::Form& owner, int output) override;
    void Unload() override;

    // The window while it is loaded, else null.
    FrmSozai* Browser() const;
    platform::Form* Window() override;

private:
    QPointer<FrmSozai> window_;
};

} // namespace cache
