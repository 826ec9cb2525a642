#include "dialogs/FadeWindow.h"

#include "dialogs/FrmFade.h"

FadeWindow::~FadeWindow()
{
    Unload();
}

void FadeWindow::Show(QWidget* owner)
{
    if (window_ != nullptr) {
        return;
    }
    auto* form = new FrmFade(host_, owner);
    window_ = form;
    form->AfterUnload = [this, form] {
        // The window is inside its own close handling: delete it afterwards.
        window_ = nullptr;
        form->deleteLater();
    };
    form->Form_Load();
    form->show();
}

void FadeWindow::Toggle(QWidget* owner)
{
    if (IsOpen()) {
        Unload();
    } else {
        Show(owner);
    }
}

void FadeWindow::Unload()
{
    if (window_ != nullptr) {
        window_->Unload();
    }
}
