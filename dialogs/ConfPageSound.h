#pragma once

#include "dialogs/ConfPage.h"

// Page 2 "Sound": the wave format check with the material's rate and format,
// the allowed sound locations and the read-ahead of sound files.
class ConfPageSound final : public ConfPage {
public:
    using ConfPage::ConfPage;

protected:
    void BuildControls() override;
};
