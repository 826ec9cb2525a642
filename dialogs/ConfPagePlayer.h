#pragma once

#include "dialogs/ConfPage.h"

#include <array>
#include <functional>

namespace controls {
class UC_Buttons;
}

// Page 0 "Player": back-end, output count, output and monitor devices,
// play-list outputs, player timing, cue use and the engine tick interval. The
// device boxes list the devices of the chosen back-end and follow the
// back-end and output-count boxes.
class ConfPagePlayer final : public ConfPage {
public:
    using ConfPage::ConfPage;

    platform::ComboBox& ComboNumOut() { return *comboNumOut_; }
    platform::ComboBox& ComboType() { return *comboType_; }
    platform::ComboBox& ComboDev(int index) { return *comboDev_.at(static_cast<std::size_t>(index)); }
    platform::ComboBox& ComboDevMon() { return *comboDevMon_; }
    UC_Check& CheckUseExtensible() { return *checkUseExtensible_; }
    controls::UC_Buttons& SurroundButton() { return *surroundButton_; }

    // Enables the output count for the back-ends with one player per output
    // and refills the device boxes.
    void ComboType_Click();
    void ComboNumOut_Click();
    void FillDeviceCombos();
    void CheckUseExtensible_Click();

    // Replaces opening the surround device dialog (tests).
    std::function<void()> SurroundButtonClicked;

    static const std::array<const char*, 6> BackEndNames;

protected:
    void BuildControls() override;

private:
    class DeviceBinding;

    platform::ComboBox* comboNumOut_ = nullptr;
    platform::ComboBox* comboType_ = nullptr;
    std::array<platform::ComboBox*, 4> comboDev_{};
    platform::ComboBox* comboDevMon_ = nullptr;
    std::array<DeviceBinding*, 5> devices_{};
    UC_Check* checkUseExtensible_ = nullptr;
    controls::UC_Buttons* surroundButton_ = nullptr;
    bool built_ = false;
};
