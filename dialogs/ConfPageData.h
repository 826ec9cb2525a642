#pragma once

#include "dialogs/ConfPage.h"

// Page 1 "Data": assign table file folders, the file extension (shared by
// all sessions, changed only in the first) and opening and saving behaviour.
class ConfPageData final : public ConfPage {
public:
    using ConfPage::ConfPage;

protected:
    void BuildControls() override;
};
