#pragma once

#include "mainwindow/ports/ConfigDialogPort.h"

class FrmConf;

// The configuration dialog as the main window opens it: a new dialog built
// from the store for every opening, shown modally over the owner and
// released when it closes.
class ConfigDialog final : public ConfigDialogPort {
public:
    void ShowModal(platform::Form& owner) override;
    // The dialog while it is open (null otherwise).
    FrmConf* Window() const { return window_; }

private:
    FrmConf* window_ = nullptr;
};
