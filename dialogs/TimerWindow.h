#pragma once

#include "dialogs/FrmTimer.h"

#include <QPointer>

class QWidget;
class TimerWindowHost;

// The one start-timer dialog of the program, shown without a modal loop and
// owned by the main window.
class TimerWindow final {
public:
    explicit TimerWindow(TimerWindowHost& host) : host_(host) {}
    ~TimerWindow();
    TimerWindow(const TimerWindow&) = delete;
    TimerWindow& operator=(const TimerWindow&) = delete;

    // Shows the dialog for parms::TimerEditOutput (0..3; anything else
    // opens nothing). When the dialog is already open for another output, it
    // switches to that output's timer.
    void Show(QWidget* owner);
    bool IsOpen() const { return window_ != nullptr; }
    // Closes the dialog as its Cancel does.
    void Unload();
    FrmTimer* Window() const { return window_; }

private:
    TimerWindowHost& host_;
    QPointer<FrmTimer> window_;
};
