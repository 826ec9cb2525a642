#pragma once

#include "dialogs/ConfPage.h"

// Page 10 "Indicator": which status labels each output shows, and each
// output's shortcut label with the program it starts.
class ConfPageIndicator final : public ConfPage {
public:
    using ConfPage::ConfPage;

protected:
    void BuildControls() override;
};
