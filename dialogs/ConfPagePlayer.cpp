#include "dialogs/ConfPagePlayer.h"

#include "audio/DSDeviceList.h"
#include "audio/WaveDeviceList.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "dialogs/FrmConfSurround.h"
#include "foundation/Drawing.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "platform/AsciiCase.h"
#include "platform/ComboBox.h"
#include "platform/TextBox.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Twips.h"

#include <algorithm>
#include <string>

namespace {

// Layout, twips.
constexpr double LeftControls = 1800;
constexpr double FirstRow = 240;
constexpr double ListCheckLeft = 4100;
constexpr double GroupLeft = 4800;
constexpr double GroupControls = 6600;
constexpr double GroupChecks = 5040;

double Row(int row)
{
    return FirstRow + row * 405.0;
}

// Which device list a back-end uses.
enum class DeviceList { None, DirectSound, WaveOut };

DeviceList ListOf(int backEnd)
{
    switch (backEnd) {
    case 0:
    case 5:
        return DeviceList::DirectSound;
    case 3:
    case 4:
        return DeviceList::WaveOut;
    default:
        return DeviceList::None;
    }
}

std::string Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

} // namespace

const std::array<const char*, 6> ConfPagePlayer::BackEndNames{"DirectSound", "DirectShow",   "MCI",
                                                              "WaveOut",     "FilterGraph1", "FilterGraph2"};

// One device box: output n (0..3) or the monitor (4). Its key follows the
// chosen back-end; a stored device that is not present now stays in the box
// as an entry of its own, so OK keeps it.
class ConfPagePlayer::DeviceBinding final : public BoxBinding<platform::ComboBox> {
public:
    DeviceBinding(platform::ComboBox& box, int slot) : BoxBinding(box, "", 0), slot_(slot) {}

    // Filled by Refill once the page exists.
    void Load() override {}

    void Refill(int backEnd, int outputCountIndex)
    {
        box_.Clear();
        list_ = ListOf(backEnd);
        const bool monitor = slot_ == 4;
        const std::string suffix = monitor ? "Mon" : "_" + std::to_string(slot_ + 1);
        shownIndex_ = -1;
        switch (list_) {
        case DeviceList::None:
            deviceKey_.clear();
            box_.setEnabled(false);
            return;
        case DeviceList::DirectSound:
            deviceKey_ = "DeviceDS" + suffix;
            loaded_ = basic::GetSetting(deviceKey_, "");
            FCT_EnumDS::FillDSDeviceCombo(box_, loaded_);
            ChooseDirectSound();
            box_.setEnabled(monitor || slot_ == 0);
            break;
        case DeviceList::WaveOut:
            deviceKey_ = "DeviceWave" + suffix;
            loaded_ = basic::GetSetting(deviceKey_, "");
            WaveMMIO::FillWaveDeviceCombo(box_, 0, loaded_, 0);
            if (box_.ListIndex() < 0 && !Trimmed(loaded_).empty()) {
                ChooseExtra();
            }
            box_.setEnabled(monitor || slot_ <= outputCountIndex);
            break;
        }
        ShowDefaultInUse();
        shownIndex_ = box_.ListIndex();
    }

    void Write() override
    {
        if (deviceKey_.empty()) {
            return;
        }
        const int index = box_.ListIndex();
        basic::SaveSetting(deviceKey_,
                           index == shownIndex_ ? loaded_ : (index >= 0 ? box_.List(index) : std::string()));
    }

private:
    // Without a stored name the output plays on the default device, the
    // list's first entry: an output in use shows it rather than a blank.
    // OK still stores the empty name while the choice stays untouched.
    void ShowDefaultInUse()
    {
        if (box_.isEnabled() && box_.ListIndex() < 0 && box_.ListCount() > 0 && Trimmed(loaded_).empty()) {
            box_.SetListIndex(0);
        }
    }

    // The list's own choice falls back on the first device; only a
    // matching name is chosen here.
    void ChooseDirectSound()
    {
        box_.SetListIndex(-1);
        const std::string wanted = platform::AsciiLower(Trimmed(loaded_));
        if (wanted.empty()) {
            return;
        }
        for (int i = 0; i < box_.ListCount(); ++i) {
            if (platform::AsciiLower(box_.List(i)) == wanted) {
                box_.SetListIndex(i);
                return;
            }
        }
        ChooseExtra();
    }

    void ChooseExtra()
    {
        box_.AddItem(loaded_);
        box_.SetListIndex(box_.ListCount() - 1);
    }

    int slot_;
    DeviceList list_ = DeviceList::None;
    std::string deviceKey_;
    int shownIndex_ = -1;
};

void ConfPagePlayer::BuildControls()
{
    // Output count and back-end.
    comboNumOut_ = &NewCombo(LeftControls, Row(0), 900);
    auto numOut =
        std::make_unique<ComboIndexBinding>(*comboNumOut_, "NumOut", std::vector<std::string>{"1", "2", "3", "4"}, 1);
    numOut->ClampHigh();
    Bind(std::move(numOut));
    Label(basic::LangText("出力数", "Num Out"), *comboNumOut_);
    comboType_ = &NewCombo(LeftControls, Row(1), 1800);
    auto type = std::make_unique<ComboIndexBinding>(*comboType_, "PlayerType",
                                                    std::vector<std::string>(BackEndNames.begin(), BackEndNames.end()));
    type->Running([] { return parms::PlayerType; });
    Bind(std::move(type));
    Label(basic::LangText("プレイモード", "Play Mode"), *comboType_);

    // Devices and play-list outputs.
    for (int n = 0; n < 4; ++n) {
        platform::ComboBox& device = NewCombo(LeftControls, Row(2 + n), 2200);
        comboDev_.at(static_cast<std::size_t>(n)) = &device;
        devices_.at(static_cast<std::size_t>(n)) = &Bind(std::make_unique<DeviceBinding>(device, n));
        Label(basic::LangText("出力", "Output") + std::to_string(n + 1), device);
    }
    comboDevMon_ = &NewCombo(LeftControls, Row(6), 2200);
    devices_[4] = &Bind(std::make_unique<DeviceBinding>(*comboDevMon_, 4));
    Label(basic::LangText("モニター", "Monitor"), *comboDevMon_);
    for (int n = 0; n < 4; ++n) {
        UC_Check& isList = Check("IsList_" + std::to_string(n + 1), "", ListCheckLeft, Row(2 + n) + 22, 270);
        if (n == 0) {
            Label(basic::LangText("プレイリスト", "PlayList"), isList, 3);
        }
    }

    // Cue use, pause, chattering and the tick.
    constexpr std::array<const char*, 3> cues{"STBY", "END", "STOP"};
    for (int k = 0; k < 3; ++k) {
        UC_Check& cue = Check("CueActive_" + std::to_string(k + 1), cues.at(static_cast<std::size_t>(k)),
                              LeftControls + k * 840, Row(7) + 22, 800);
        if (k == 0) {
            Label(basic::LangText("キュー", "Cue"), cue);
        }
    }
    Check("UsePause", basic::LangText("Pauseボタン", "Pause Button"), LeftControls, Row(8) + 22, 2600);
    platform::TextBox& noPlay = Number("NoPlayMS", LeftControls, Row(9), 900, NumberBinding::AbsoluteAtMost(0));
    Label(basic::LangText("チャタリング回避", "Chattering ms"), noPlay);
    Label("ms", noPlay, 7);
    platform::TextBox& interval = Number("TimerInt", LeftControls, Row(10), 900, NumberBinding::AbsoluteAtMost(0));
    Label(basic::LangText("動作間隔", "Interval"), interval);
    Label("ms", interval, 7);

    // What only the waveOut back-end uses, in a group of its own.
    platform::TextBox& mute = Number("MuteMS", GroupControls, Row(1), 900, NumberBinding::AbsoluteAtMost(1000));
    Label(basic::LangText("ミュート長さ", "MuteMS"), mute);
    Label("ms", mute, 7);
    platform::TextBox& delay = Number("DelayMS", GroupControls, Row(2), 900, NumberBinding::AbsoluteAtMost(1000));
    Label(basic::LangText("遅延長さ", "DelayMS"), delay);
    Label("ms", delay, 7);
    Check("NoClose", basic::LangText("NoClose", "Dont Close Device"), GroupChecks, Row(3) + 22, 3000);
    checkUseExtensible_ = &Check("UseExtensible", basic::LangText("サラウンドデバイス使用", "Use Surround Device"),
                                 GroupChecks, Row(4) + 22, 3000);
    surroundButton_ = new controls::UC_Buttons(this);
    surroundButton_->SetNumButtons(1);
    surroundButton_->SetMimiWidth(0);
    platform::MoveTwips(*surroundButton_, GroupChecks, Row(5), 3000, 330);
    surroundButton_->SetButtonChar(0, basic::LangText("サラウンド個別出力選択", "Select Surround Device"));
    surroundButton_->Init();
    surroundButton_->show();
    surroundButton_->ButtonClicked = [this](int&) {
        if (SurroundButtonClicked) {
            SurroundButtonClicked();
        } else {
            FrmConfSurround::ShowModalOver(window());
        }
    };
    const double groupTop = Row(1) - 210;
    const double groupBottom = Row(5) + 330 + 120;
    basic::DrawButtonFace(Picture(), static_cast<float>(GroupLeft), static_cast<float>(groupTop),
                          static_cast<float>(Picture().Width() - 210), static_cast<float>(groupBottom), "WaveOut");
    checkUseExtensible_->Click = [this] { CheckUseExtensible_Click(); };
    CheckUseExtensible_Click();

    comboType_->OnClick = [this] { ComboType_Click(); };
    comboNumOut_->OnClick = [this] { ComboNumOut_Click(); };
    built_ = true;
    ComboType_Click();
}

void ConfPagePlayer::ComboType_Click()
{
    if (!built_) {
        return;
    }
    const int backEnd = comboType_->ListIndex();
    comboNumOut_->setEnabled(backEnd == 3 || backEnd == 4);
    ComboNumOut_Click();
}

void ConfPagePlayer::ComboNumOut_Click()
{
    if (built_) {
        FillDeviceCombos();
    }
}

void ConfPagePlayer::FillDeviceCombos()
{
    const int backEnd = comboType_->ListIndex();
    for (DeviceBinding* device : devices_) {
        device->Refill(backEnd, comboNumOut_->ListIndex());
    }
}

void ConfPagePlayer::CheckUseExtensible_Click()
{
    surroundButton_->SetButtonDisableAll(checkUseExtensible_->Value(), 0);
}
