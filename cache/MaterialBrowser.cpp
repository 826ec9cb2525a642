#include "cache/MaterialBrowser.h"

#include "cache/FrmSozai.h"
#include "foundation/WindowPositions.h"

namespace cache {

MaterialBrowser::~MaterialBrowser()
{
    Unload();
}

FrmSozai* MaterialBrowser::Window() const
{
    return window_ != nullptr && window_->IsOpen() ? window_.data() : nullptr;
}

bool MaterialBrowser::IsLoaded()
{
    return Window() != nullptr;
}

int MaterialBrowser::Output()
{
    return window_ != nullptr ? window_->Output() : 0;
}

void MaterialBrowser::Show(platform::Form& owner, int output)
{
    if (FrmSozai* window = Window(); window != nullptr) {
        basic::SaveWindowPos(*window, window->PositionSuffix(), false, true);
        window->hide();
        window->SetOutput(output);
        basic::RestoreWindowPos(*window, window->PositionSuffix(), false, true, false);
        window->show();
        return;
    }
    // Owned by the main window through Qt: it goes at the latest with it.
    window_ = new FrmSozai(&owner);
    window_->Form_Load(output);
    window_->show();
}

void MaterialBrowser::Unload()
{
    if (window_ == nullptr) {
        return;
    }
    FrmSozai* window = window_.data();
    window_.clear();
    window->Unload();
    window->deleteLater();
}

} // namespace cache
