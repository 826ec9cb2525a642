#include "dialogs/ConfPagePage.h"

#include "controls/UC_Check.h"
#include "foundation/Language.h"
#include "platform/TextBox.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

// Layout, twips.
constexpr double Controls = 2100;
constexpr double OutputPitch = 1200;

} // namespace

void ConfPagePage::BuildControls()
{
    using basic::LangText;
    Label(LangText("ページ数", "Num Page"),
          Number("PageNum", Controls, RowTop(0), 600, NumberBinding::AbsoluteAtMost(0)));
    Label(LangText("ボタン幅", "Button Width"),
          Number("PageButtonWidth", Controls, RowTop(1), 600, [](std::int64_t value) {
              return std::clamp<std::int64_t>(value < 0 ? -value : value, MinButtonWidth, MaxButtonWidth);
          }));
    Check("BankSync", LangText("ページ同期", "Sync Page"), Controls, RowTop(2) + 22, 2400);
    for (int n = 1; n <= 4; ++n) {
        UC_Check& shown = Check("ShowPage_" + std::to_string(n), LangText("出力", "Output") + std::to_string(n),
                                Controls + (n - 1) * OutputPitch, RowTop(3) + 22, OutputPitch - 60);
        if (n == 1) {
            Label(LangText("ページボタン表示", "Show Page Buttons"), shown);
        }
    }
}
