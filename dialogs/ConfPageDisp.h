#pragma once

#include "dialogs/ConfPage.h"

#include <array>
#include <string>

// Page 6 "Disp": language, font, window size factors, state and output
// colours, the close box's action, what the main window shows, and the mixer
// and editor programs. The language and the size factors show the values the
// program runs with, and OK changes them at once.
class ConfPageDisp final : public ConfPage {
public:
    using ConfPage::ConfPage;

    platform::ComboBox& ComboLang() { return *comboLang_; }
    // Box 0: the normal window, 1: the big one.
    platform::TextBox& TextSize(int index) { return *textSize_.at(static_cast<std::size_t>(index)); }
    // A size factor the window cannot be drawn at is refused with a box.
    bool Validate() override;
    void Write() override;

    // A size factor as the page shows and stores it: two decimals, rounded
    // half away from zero from the factor's shortest decimal text (1.255 is
    // "1.26" although the nearest float lies below 1.255).
    static std::string FormatFactor(float factor);

protected:
    void BuildControls() override;

private:
    class SizeFactorBinding;

    platform::ComboBox* comboLang_ = nullptr;
    std::array<platform::TextBox*, 2> textSize_{};
    std::array<SizeFactorBinding*, 2> sizeBindings_{};
};
