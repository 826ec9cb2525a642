#pragma once

#include "dialogs/ConfPage.h"

// Page 9 "Page": the number of pages, the page selector buttons' width, page
// sync and which outputs show page buttons.
class ConfPagePage final : public ConfPage {
public:
    using ConfPage::ConfPage;

    // The narrowest and widest page selector button, pixels.
    static constexpr int MinButtonWidth = 15;
    static constexpr int MaxButtonWidth = 500;

protected:
    void BuildControls() override;
};
