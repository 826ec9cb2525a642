#pragma once

#include "dialogs/ConfPage.h"

// Page 8 "List": the play lists' cursor colour, what they show and how they
// behave.
class ConfPageList final : public ConfPage {
public:
    using ConfPage::ConfPage;

protected:
    void BuildControls() override;
};
