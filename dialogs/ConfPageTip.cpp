#include "dialogs/ConfPageTip.h"

#include "controls/UC_Check.h"
#include "foundation/ColumnNames.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/SharedConf.h"

#include <string>

namespace {

constexpr double Controls = 2400;
constexpr double Column = 1320;

double Row(int row)
{
    return 262 + row * 405.0;
}

std::string ColumnCaption(int field)
{
    if (basic::LangMode == 1) {
        return "Column" + std::to_string(field + 1);
    }
    const std::int32_t name = parms::TipFieldNameIndex.at(static_cast<std::size_t>(field));
    return name >= 0 && name < FCT_Quind::ColumnCount ? FCT_Quind::ColumnNames.at(static_cast<std::size_t>(name))
                                                      : std::string();
}

std::string RefCaption(int field)
{
    if (basic::LangMode == 1) {
        return "Ref" + std::to_string(field + 1);
    }
    const auto index = static_cast<std::size_t>(field);
    return index < FCT_Quind::RefNames.size() ? FCT_Quind::RefNames[index] : std::string();
}

} // namespace

void ConfPageTip::BuildControls()
{
    Check("GetTip", basic::LangText("Tip取得", "Get Tip"), Controls, Row(0), 3000);
    Check("KillOldCache", basic::LangText("を過ぎたキャッシュを削除", "Del Old Cache"), Controls, Row(1), 3000);
    Check("ApplyTipColor", basic::LangText("種別色反映", "Apply Type Color"), Controls, Row(2), 3000);
    for (int n = 0; n < 4; ++n) {
        UC_Check& box = Check("DispTip_" + std::to_string(n + 1),
                              basic::LangText("出力", "Output") + std::to_string(n + 1), Controls + n * Column, Row(3),
                              Column - 60);
        if (n == 0) {
            Label(basic::LangText("Tip表示", "Show TipInfo"), box);
        }
    }
    for (int k = 0; k < parms::TipFieldSlots; ++k) {
        UC_Check& box = Check("DispIt_" + std::to_string(k + 1), ColumnCaption(k), Controls + k * Column, Row(4),
                              Column - 60);
        if (k == 0) {
            Label(basic::LangText("表示項目", "ItemToDisp"), box);
        }
    }
    // One box per reference field of the shared configuration, four a row.
    for (int k = 0; k < FCT_Quind::NumRef; ++k) {
        Check("DispItRef_" + std::to_string(k + 1), RefCaption(k), Controls + (k % 4) * Column, Row(5 + k / 4),
              Column - 60);
    }
}
