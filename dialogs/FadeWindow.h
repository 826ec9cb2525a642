#pragma once

#include "dialogs/FrmFade.h"
#include "mainwindow/ports/FadeWindowPort.h"

#include <QPointer>

class FadeWindowHost;
class QWidget;

// The one fade settings window of the program: loaded on request, owned by
// the main window, released when it unloads (by the program or its close box).
class FadeWindow final : public FadeWindowPort {
public:
    explicit FadeWindow(FadeWindowHost& host) : host_(host) {}
    ~FadeWindow() override;
    FadeWindow(const FadeWindow&) = delete;
    FadeWindow& operator=(const FadeWindow&) = delete;

    // Loads and shows the window owned by owner; nothing when it is open.
    void Show(QWidget* owner);
    // What a right click on a fade label does: opens the window when it is
    // closed, unloads it when it is open.
    void Toggle(QWidget* owner);
    bool IsOpen() override { return window_ != nullptr; }
    void Unload() override;
    // The window while it is loaded, else null.
    FrmFade* Window() const { return window_; }

private:
    FadeWindowHost& host_;
    QPointer<FrmFade> window_;
};
