#pragma once

#include "dialogs/ConfPage.h"

// Page 7 "Button": the sound-button size, the grid of every output, the
// default play mode and how the buttons behave. Its sizes and counts are
// checked before any page is written.
class ConfPageButton final : public ConfPage {
public:
    using ConfPage::ConfPage;

    // Sizes numeric, columns and rows of every output at least 1 and at most
    // 100 buttons an output; otherwise tells the operator why and refuses.
    bool Validate() override;

    // The largest grid of one output.
    static constexpr int MaxButtons = 100;

protected:
    void BuildControls() override;

private:
    void Refuse(const std::string& message);
};
