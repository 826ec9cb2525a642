#include "dialogs/TimerWindow.h"

#include "dialogs/FrmTimer.h"
#include "foundation/Parms.h"
#include "platform/TextBox.h"

TimerWindow::~TimerWindow()
{
    Unload();
}

void TimerWindow::Show(QWidget* owner)
{
    const int output = parms::TimerEditOutput;
    if (output < 0 || output >= parms::OutputCount) {
        return;
    }
    if (window_ != nullptr) {
        if (window_->Output() != output) {
            window_->Retarget(output);
        }
        window_->raise();
        window_->activateWindow();
        return;
    }
    auto* form = new FrmTimer(host_, owner);
    window_ = form;
    form->AfterUnload = [this, form] {
        window_ = nullptr;
        form->deleteLater();
    };
    form->Form_Load(output);
    form->show();
    form->TextTimer().setFocus();
}

void TimerWindow::Unload()
{
    if (window_ != nullptr) {
        window_->Cancel();
    }
}
