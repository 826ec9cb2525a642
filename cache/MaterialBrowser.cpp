#include "cache/MaterialBrowser.h"

#include "cache/FrmSozai.h"

namespace cache {

MaterialBrowser::~MaterialBrowser()
{
    Unload();
}

FrmSozai* MaterialBrowser::Browser() const
{
    return window_ != nullptr && window_->IsOpen() ? window_.data() : nullptr;
}

bool MaterialBrowser::IsLoaded()
{
    return Browser() != nullptr;
}

platform::Form* MaterialBrowser::Window()
{
    return Browser();
}

int MaterialBrowser::Output()
{
    return window_ != nullptr ? window_->Output() : 0;
}

void MaterialBrowser::Show(platform::Form& owner, int output)
{
    if (FrmSozai* window = Browser(); window != nullptr) {
        // The caller has kept its place under the output it showed and moved
        // it to the new output's place: saving here again would store the
        // new place under the old output.
        window->SetOutput(output);
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
