#include "dialogs/ConfPageDisp.h"

#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "mainwindow/SettingReaders.h"
#include "platform/ComboBox.h"
#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/TextBox.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace {

// Layout, twips.
constexpr double Controls = 1900;
constexpr double ComboWidth = 1900;
constexpr double SizeWidth = 600;
constexpr double ColourPitch = 800;
constexpr double ColourWidth = 420;
constexpr double ChecksLeft = 4500;
constexpr double ChecksPitch = 2280;
constexpr double PathWidth = 6900;

} // namespace

// One size factor box: shows the factor the program runs with; OK takes a
// numeric text as the new factor at once and stores the factor formatted,
// also when the text was not taken.
class ConfPageDisp::SizeFactorBinding final : public BoxBinding<platform::TextBox> {
public:
    SizeFactorBinding(platform::TextBox& box, int index)
        : BoxBinding(box, "SizeRate_" + std::to_string(index + 1), 0), index_(index)
    {
    }

    void Load() override
    {
        loaded_ = FormatFactor(Factor());
        box_.SetText(loaded_);
    }

    // A number the window cannot be drawn at; a text that is no number is
    // not refused (it keeps the factor).
    bool Refused() const
    {
        const std::optional<double> number = numeric::ParseNumber(box_.Text());
        return number && !(*number >= MainSettings::SmallestSizeFactor && *number <= MainSettings::LargestSizeFactor);
    }

    void Write() override
    {
        if (const std::optional<double> number = numeric::ParseNumber(box_.Text()); number && !Refused()) {
            Factor() = static_cast<float>(*number);
        }
        Save(FormatFactor(Factor()));
    }

private:
    float& Factor() { return parms::SizeRate.at(static_cast<std::size_t>(index_)); }

    int index_;
};

std::string ConfPageDisp::FormatFactor(float factor)
{
    std::array<char, 64> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), factor, std::chars_format::fixed);
    if (written.ec != std::errc() || !std::isfinite(factor)) {
        return "0.00";
    }
    std::string text(buffer.data(), written.ptr);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        text.erase(0, 1);
    }
    const std::size_t point = text.find('.');
    std::string whole = text.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    fraction.resize(std::max<std::size_t>(fraction.size(), 3), '0');
    // The hundredths as one digit string, rounded on the third decimal.
    std::string digits = whole + fraction.substr(0, 2);
    if (fraction[2] >= '5') {
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i - 1];
        }
    }
    std::string result = digits.substr(0, digits.size() - 2);
    const std::size_t firstDigit = result.find_first_not_of('0');
    result = firstDigit == std::string::npos ? "0" : result.substr(firstDigit);
    result += "." + digits.substr(digits.size() - 2);
    const bool zero = result.find_first_not_of("0.") == std::string::npos;
    return negative && !zero ? "-" + result : result;
}

void ConfPageDisp::BuildControls()
{
    using basic::LangText;
    comboLang_ = &NewCombo(Controls, RowTop(0), ComboWidth);
    auto language =
        std::make_unique<ComboIndexBinding>(*comboLang_, "LangMode", std::vector<std::string>{"Japanese", "English"});
    language->Running([] { return basic::LangMode; });
    Bind(std::move(language));
    Label("Language", *comboLang_);
    Label(LangText("表示フォント", "Font Face"),
          IndexCombo("AltFont", {"ＭＳ Ｐゴシック", "メイリオ"}, Controls, RowTop(1), ComboWidth));

    for (int k = 0; k < 2; ++k) {
        platform::TextBox& size = NewText(Controls + k * (SizeWidth + 420), RowTop(2), SizeWidth);
        textSize_.at(static_cast<std::size_t>(k)) = &size;
        auto binding = std::make_unique<SizeFactorBinding>(size, k);
        sizeBindings_.at(static_cast<std::size_t>(k)) = binding.get();
        Bind(std::move(binding));
        Label(k == 0 ? LangText("画面サイズ小", "Window Size S") : LangText("大", "L"), size);
    }

    const std::vector<std::string> colours{LangText("緑", "Green"), LangText("燈", "Orange"), LangText("赤", "Red"),
                                           LangText("青", "Blue")};
    const std::array<std::string, 3> stateLabels{LangText("再生色", "Play"), LangText("スタンバイ色", "STBY"),
                                                 LangText("警告色", "Alert")};
    for (int k = 0; k < 3; ++k) {
        Label(stateLabels.at(static_cast<std::size_t>(k)),
              IndexCombo("PlayColor_" + std::to_string(k + 1), colours, Controls, RowTop(3 + k), ComboWidth));
    }
    Label(LangText("Xボタン動作", "X Button"),
          IndexCombo("CloseButtonAction",
                     {LangText("終了", "Close"), LangText("最小化", "Minimize"), LangText("何もしない", "None")},
                     Controls, RowTop(6), ComboWidth));
    for (int n = 0; n < 4; ++n) {
        platform::PictureBox& colour = Colour("PlayerColor_" + std::to_string(n + 1), Controls + n * ColourPitch,
                                              RowTop(7) + 22, ColourWidth, CheckHeight);
        Label(n == 0 ? LangText("枠色", "Frame Color") + " 1" : std::to_string(n + 1), colour);
    }

    // The session's own start-up reads this one from the store all sessions
    // share, so it is kept there.
    Bind(std::make_unique<CheckBinding>(
        NewCheck(LangText("複数起動", "Multi Instance"), ChecksLeft, RowTop(0) + 22, ChecksPitch - 60),
        "UseMultiSession", 1));
    constexpr std::array<Switch, 11> switches{{
        {"UsePan", "パン表示", "Show Pan Slider"},
        {"UseSpeed", "速度変更を表示", "Show Speed Slider"},
        {"UseVol", "フェーダーを表示", "Show Fader Slider"},
        {"UseMixer", "カーネルミキサー", "Use Kernel Mixer"},
        {"DispBarTime", "バーにタイム", "Disp Bar Time"},
        {"ColorBar", "バーに色", "Colorful Bar"},
        {"HiColor", "ハイコントラスト", "High Color"},
        {"UseLineOutLock", "LineOut機能", "Use LineOut Lock"},
        {"DispTool", "ツールメニュー表示", "Show Tool Menu"},
        {"DispDispBig", "でかくメニュー表示", "Show Big"},
        {"ShowObservation", "監視メッセージ", "Show Observation"},
    }};
    SwitchColumns(switches, 1, 6, ChecksLeft, ChecksPitch);

    Label(LangText("ミキサー", "Mixer"), Program("MixerApp", Controls, RowTop(9), PathWidth));
    Label(LangText("編集アプリ", "Editor"), Program("EditApp", Controls, RowTop(10), PathWidth));
}

bool ConfPageDisp::Validate()
{
    for (const SizeFactorBinding* size : sizeBindings_) {
        if (size != nullptr && size->Refused()) {
            const std::string low = FormatFactor(MainSettings::SmallestSizeFactor);
            const std::string high = FormatFactor(MainSettings::LargestSizeFactor);
            basic::ShowMessage(basic::LangText("画面サイズは" + low + "から" + high + "です",
                                               "Window Size: " + low + " to " + high),
                               platform::IconExclamation, App::Title, dynamic_cast<platform::Form*>(window()));
            return false;
        }
    }
    return true;
}

void ConfPageDisp::Write()
{
    // The language changes at once, before anything is written.
    if (comboLang_->ListIndex() >= 0) {
        basic::LangMode = comboLang_->ListIndex();
    }
    ConfPage::Write();
}
