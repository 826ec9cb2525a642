#pragma once

#include "dialogs/ConfPage.h"

// Page 5 "User": the log-on requirement and the owner lock of the assign
// table file.
class ConfPageUser final : public ConfPage {
public:
    using ConfPage::ConfPage;

protected:
    void BuildControls() override;
};
