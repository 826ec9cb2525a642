#pragma once

#include "dialogs/ConfPage.h"

// Page 4 "Tip": reading ".tip" side files, their type colours, old cache
// entries, and which tip fields and reference fields the lists show.
class ConfPageTip final : public ConfPage {
public:
    using ConfPage::ConfPage;

protected:
    void BuildControls() override;
};
