#include "dialogs/ConfPageIndicator.h"

#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "foundation/Language.h"
#include "platform/TextBox.h"

#include <array>
#include <string>

namespace {

// Layout, twips.
constexpr double Controls = 1500;
constexpr double ColumnPitch = 900;
constexpr double ShellRowsFrom = 6;
constexpr double NameWidth = 1800;
constexpr double CommandLeft = Controls + NameWidth + 120;
constexpr double CommandWidth = 5400;

struct Indicator {
    const char* stem;
    const char* caption;
};
constexpr std::array<Indicator, 5> Indicators{{
    {"DispONAIR_", "ONAIR"},
    {"DispKEY_", "KEY"},
    {"DispFADE_", "FADE"},
    {"DispSTBY_", "STBY"},
    {"DispTimer_", "Timer"},
}};

} // namespace

void ConfPageIndicator::BuildControls()
{
    const std::string output = basic::LangText("出力", "Output");
    for (int n = 1; n <= 4; ++n) {
        const std::string number = std::to_string(n);
        for (std::size_t k = 0; k < Indicators.size(); ++k) {
            UC_Check& box = Check(Indicators.at(k).stem + number, "", Controls + static_cast<double>(k) * ColumnPitch,
                                  RowTop(n) + 22, 270);
            if (n == 1) {
                Label(Indicators.at(k).caption, box, 3);
            }
            if (k == 0) {
                Label(output + number, box);
            }
        }
        platform::TextBox& name = Text("ShellName_" + number, Controls, RowTop(ShellRowsFrom + n), NameWidth);
        Label(output + number, name);
        if (n == 1) {
            Label("Shell", name, 3);
        }
        Program("ShellCommand_" + number, CommandLeft, RowTop(ShellRowsFrom + n), CommandWidth);
    }
}
