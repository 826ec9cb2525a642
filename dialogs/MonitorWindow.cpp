#include "dialogs/MonitorWindow.h"

#include "foundation/Parms.h"
#include "platform/Form.h"

MonitorWindow::~MonitorWindow()
{
    Unload();
}

bool MonitorWindow::Load(QWidget* owner)
{
    if (window_ == nullptr) {
        auto* form = new FrmMon(host_, owner);
        window_ = form;
        form->AfterUnload = [this, form] {
            // The window is inside its own close handling: delete it afterwards.
            window_ = nullptr;
            form->deleteLater();
        };
        form->Form_Load();
        form->show();
    }
    return parms::MonitorExchange.MonitorOpen != 0;
}

void MonitorWindow::LoadHidden(platform::Form& owner)
{
    if (Load(&owner) && window_ != nullptr) {
        window_->hide();
    }
}

void MonitorWindow::StartMon(platform::Form& owner, const MonitorItem& item, int autoPlay)
{
    if (!Load(&owner) || window_ == nullptr) {
        return;
    }
    window_->StartMon(item, autoPlay);
    window_->show();
}

void MonitorWindow::Unload()
{
    if (window_ != nullptr) {
        window_->Unload();
    }
}
