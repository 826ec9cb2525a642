#include "dialogs/ConfigDialog.h"

#include "dialogs/FrmConf.h"

#include <memory>

void ConfigDialog::ShowModal(platform::Form& owner)
{
    if (window_ != nullptr) {
        return;
    }
    auto dialog = std::make_unique<FrmConf>(&owner);
    window_ = dialog.get();
    dialog->Form_Load();
    dialog->ShowModal();
    window_ = nullptr;
}
