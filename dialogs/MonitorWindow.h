#pragma once

#include "dialogs/FrmMon.h"
#include "mainwindow/ports/MonitorWindowPort.h"

#include <QPointer>

class MonitorWindowHost;
class QWidget;

// The one monitor window of the program: loaded on first use (or hidden by
// the settings apply), hidden rather than closed by the operator, unloaded by
// the program.
class MonitorWindow final : public MonitorWindowPort {
public:
    explicit MonitorWindow(MonitorWindowHost& host) : host_(host) {}
    ~MonitorWindow() override;
    MonitorWindow(const MonitorWindow&) = delete;
    MonitorWindow& operator=(const MonitorWindow&) = delete;

    bool IsLoaded() override { return window_ != nullptr; }
    bool IsVisible() override { return window_ != nullptr && window_->isVisible(); }
    void Unload() override;
    void LoadHidden(platform::Form& owner) override;
    void StartMon(platform::Form& owner, const MonitorItem& item, int autoPlay) override;
    // The window while it is loaded, else null.
    FrmMon* Window() const { return window_; }

private:
    // Loads and shows the window; false when the load did not complete.
    bool Load(QWidget* owner);

    MonitorWindowHost& host_;
    QPointer<FrmMon> window_;
};
