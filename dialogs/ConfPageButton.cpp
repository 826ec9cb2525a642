#include "dialogs/ConfPageButton.h"

#include "controls/UC_Check.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "platform/ComboBox.h"
#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "platform/TextBox.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/Numbers.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace {

// Layout, twips.
constexpr double Controls = 2100;
constexpr double CountWidth = 600;
constexpr double ChecksLeft = 4400;
constexpr double CheckWidth = 2200;

std::string Numbered(std::string_view stem, int output)
{
    return std::string(stem) + std::to_string(output);
}

} // namespace

void ConfPageButton::BuildControls()
{
    using basic::LangText;
    platform::TextBox& width = Number("ButtonSizeX", Controls, RowTop(0), CountWidth);
    Label(LangText("ボタンサイズ W", "Button Size  W"), width);
    Label("H", Number("ButtonSizeY", Controls + CountWidth + 360, RowTop(0), CountWidth));
    for (int n = 1; n <= 4; ++n) {
        platform::TextBox& columns = Number(Numbered("ModuleX_", n), Controls, RowTop(n), CountWidth);
        Label(LangText("ボタン数", "Num Buttons") + std::to_string(n) + " X", columns);
        Label("Y", Number(Numbered("ModuleY_", n), Controls + CountWidth + 360, RowTop(n), CountWidth));
    }
    Label(LangText("ボタンモード初期値", "Default Button Mode"),
          IndexCombo("DefaultButtonOption",
                     {LangText("ノーマル", "Normal"), LangText("モメンタリー", "Momentary"),
                      LangText("ラッチ", "Latch"), LangText("トグル", "Toggle")},
                     Controls, RowTop(5), 1800));

    constexpr std::array<Switch, 13> switches{{
        {"ButtonType", "ヨコボタン", "Horizontal Button"},
        {"LEDFrame", "枠も光らす", "Light Frame"},
        {"ButtonHorizon", "横置き", "Horizontal Array"},
        {"ButtonOrderHorizon", "横並び", "Horizontal Order"},
        {"AssignSTBY", "アサインSTBY", "STBY Assigned"},
        {"DispButtonTime", "時間表示", "Disp Time"},
        {"DispButtonOption", "ボタンモード", "Disp Button Mode"},
        {"SerialButtonNum", "通し番号", "Serial Num"},
        {"PressToPlay", "ダウンで再生", "Press To Play"},
        {"SwitchLR", "LR入れ替え", "Switch LR"},
        {"UseButtonRCMenu", "右クリックメニュー", "Right Click Menu"},
        {"ShowFmtTolv", "ファイル情報表示", "Show File info"},
        {"BlankToStop", "空ボタンで停止", "Blank To Stop"},
    }};
    SwitchColumns(switches, 0, 7, ChecksLeft, CheckWidth);
}

bool ConfPageButton::Validate()
{
    const auto number = [this](const std::string& key) -> std::optional<std::int32_t> {
        const auto* box = ControlOf<platform::TextBox>(key);
        return box != nullptr ? numeric::ParseLong(box->Text()) : std::nullopt;
    };
    if (!number("ButtonSizeX") || !number("ButtonSizeY")) {
        Refuse(basic::LangText("ボタンサイズが不正です", "Invalid Button Size"));
        return false;
    }
    for (int n = 1; n <= 4; ++n) {
        const std::optional<std::int32_t> columns = number(Numbered("ModuleX_", n));
        const std::optional<std::int32_t> rows = number(Numbered("ModuleY_", n));
        if (!columns || !rows || *columns < 1 || *rows < 1) {
            Refuse(basic::LangText("ボタン数は1から100です", "Buttons: 1 to 100"));
            return false;
        }
        if (std::int64_t{*columns} * *rows > MaxButtons) {
            Refuse(basic::LangText("ボタンは100までです", "Up to 100 buttons"));
            return false;
        }
    }
    return true;
}

void ConfPageButton::Refuse(const std::string& message)
{
    basic::ShowMessage(message, platform::IconExclamation, App::Title, dynamic_cast<platform::Form*>(window()));
}
