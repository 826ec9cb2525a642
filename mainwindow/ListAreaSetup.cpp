#include "mainwindow/ListAreaSetup.h"

#include "controls/ListColumnLayout.h"
#include "foundation/ColumnNames.h"
#include "foundation/Fonts.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "foundation/SharedConf.h"
#include "mainwindow/DisplaySizes.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/ListAreaRules.h"
#include "mainwindow/SettingReaders.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QAction>

#include <algorithm>
#include <string>

namespace {

std::size_t Slot(int output)
{
    return static_cast<std::size_t>(output);
}

bool IsListOutput(int output)
{
    return parms::IsList[Slot(output)] != 0;
}

// "LV<n>_": the prefix of the column keys of output n - 1.
std::string ColumnPrefix(int output)
{
    return "LV" + std::to_string(output + 1) + "_";
}

} // namespace

ListAreaSetup::ListAreaSetup(FrmMain& window, int displayOnly) : window_(window), displayOnly_(displayOnly) {}

void ListAreaSetup::SaveColumnLayouts(FrmMain& window)
{
    const MainState& state = window.State;
    for (int output = 0; output < state.NumOut && output < MainState::Outputs; ++output) {
        const UC_ListView* list = window.LV.At(output);
        if (!IsListOutput(output) || list == nullptr) {
            continue;
        }
        basic::SaveListColumnOrder(*list, ColumnPrefix(output), 0);
        basic::SaveListColumnWidths(*list, ColumnPrefix(output), 0, state.SizeFactor);
    }
}

void ListAreaSetup::Run()
{
    const MainState& state = window_.State;
    for (int output = 0; output < state.NumOut && output < MainState::Outputs; ++output) {
        const bool isList = IsListOutput(output);
        if (!isList && output != 0) {
            continue;
        }
        CreateElements(output);
        const int p = basic::TwipsPerPixel;
        if (state.ShowCtrl != 0) {
            if (controls::UC_Buttons* tools = window_.CtrlButton.At(output)) {
                platform::SetWidthTwips(*tools, DisplaySizes::Snap(5100, state.SizeFactor, p));
                platform::SetHeightTwips(*tools, DisplaySizes::Snap(330, state.SizeFactor, p));
                platform::SetLeftTwips(*tools, state.ContentLeft);
                tools->setVisible(isList);
            }
        } else if (output == 0) {
            window_.CtrlButton(0)->hide();
        }
        if (output == 0 || (isList && state.ShowCurrent != 0)) {
            PlaceVertically(output);
        }
        if (isList && state.ShowCurrent != 0) {
            BuildCurrentPanel(output);
        } else if (output == 0) {
            window_.PictureCurrent(0)->hide();
        }
        if (isList) {
            SetUpList(output);
            if (state.ShowCtrl != 0) {
                SetUpToolButtons(output);
            }
        } else {
            // Output 0 shows a grid: its list view has no place.
            window_.LV(0)->hide();
        }
    }
}

// Elements 1..3 exist only for the parts a list output shows.
void ListAreaSetup::CreateElements(int output)
{
    const MainState& state = window_.State;
    if (displayOnly_ != 0 || output == 0) {
        return;
    }
    if (state.ShowCurrent != 0) {
        window_.LoadControlInto(window_.PictureCurrent, output, *window_.PictureAll);
    }
    if (state.ShowCtrl != 0) {
        window_.LoadControlInto(window_.CtrlButton, output, *window_.PictureAll);
    }
    window_.LoadControlInto(window_.LV, output, *window_.PictureAll);
}

// The panel, the tool buttons and the list one below the other; the panel
// of output 0 keeps its place even when hidden, so the parts below start
// under it.
void ListAreaSetup::PlaceVertically(int output)
{
    const MainState& state = window_.State;
    controls::UC_TextPicture* current = window_.PictureCurrent.At(output);
    UC_ListView* list = window_.LV.At(output);
    if (current == nullptr || list == nullptr) {
        return;
    }
    const int pageHeight = platform::HeightTwips(*window_.PicturePage(0));
    platform::SetHeightTwips(*current, pageHeight);
    platform::SetLeftTwips(*current, state.ContentLeft);
    const int below = platform::TopTwips(*current) + platform::HeightTwips(*window_.PictureCurrent(0)) + state.UnitGap;
    if (state.ShowCtrl != 0) {
        controls::UC_Buttons* tools = window_.CtrlButton.At(output);
        if (tools != nullptr) {
            platform::SetTopTwips(*tools, below);
            platform::SetTopTwips(*list, platform::TopTwips(*tools) +
                                             (platform::HeightTwips(*window_.CtrlButton(0)) + state.UnitGap));
        }
    } else {
        platform::SetTopTwips(*list, below);
    }
    platform::SetLeftTwips(*list, state.ContentLeft);
}

void ListAreaSetup::BuildCurrentPanel(int output)
{
    const MainState& state = window_.State;
    controls::UC_TextPicture* panel = window_.PictureCurrent.At(output);
    if (panel == nullptr) {
        return;
    }
    const float factor = state.SizeFactor;
    platform::SetHeightTwips(*panel, platform::HeightTwips(*window_.PicturePage(0)));
    platform::SetLeftTwips(*panel, state.ContentLeft);
    panel->ResetMe();
    const float small = static_cast<float>(DisplaySizes::SmallFont(factor));
    const int valueLeft = DisplaySizes::Scaled(840, factor);
    const int labelLeft = DisplaySizes::Scaled(120, factor);
    const int firstTop = DisplaySizes::Scaled(90, factor);
    const int secondTop = DisplaySizes::Scaled(510, factor);
    panel->AddTextSpace(small * 1.3F, true, false, "", valueLeft, firstTop);
    panel->AddTextSpace(16.0F * factor, true, false, "", valueLeft, secondTop);
    panel->AddTextSpace(small, false, false, "", labelLeft, firstTop);
    panel->AddTextSpace(small, false, false, "", labelLeft, secondTop);
    const platform::Color currentColor = MainSettings::Long("CurrentColor");
    for (const ListAreaRules::PanelColorSet& set :
         ListAreaRules::CurrentPanelColorSets(parms::HiColor != 0, currentColor, parms::StateColor[1])) {
        if (set.Builtin >= 0) {
            panel->AddStdColorSet(set.Builtin);
        } else {
            panel->AddColorSet(set.Fore, set.Back1, set.Back2, 0);
        }
    }
    panel->Init(0, 0);
    panel->DispMes(2, "Time", 1);
    panel->DispMes(3, "Title", 0);
    panel->show();
}

void ListAreaSetup::SetUpList(int output)
{
    const MainState& state = window_.State;
    UC_ListView* list = window_.LV.At(output);
    if (list == nullptr) {
        return;
    }
    if (displayOnly_ == 0) {
        // The columns are the ones made: four, and a tip column per field
        // ticked, so no count read elsewhere can ask for more.
        const std::vector<ListAreaRules::TipColumn> tips =
            parms::DispTip[Slot(output)] != 0
                ? ListAreaRules::TipColumns(parms::DispIt, parms::TipFieldNameIndex, FCT_Quind::ColumnNames,
                                            parms::DispItRef, FCT_Quind::RefNames, FCT_Quind::NumRef)
                : std::vector<ListAreaRules::TipColumn>();
        list->SetNumData(4 + static_cast<int>(tips.size()));
        list->SetNumAux(4);
        list->SetSelectedColor(basic::UIFontFace == "メイリオ" ? 0x333333 : 0x808080);
        list->SetSelectedColorMode(15);
        list->SetSortDisabled(1);
        list->SetUseUCBar(1);
        list->SetUseTabOrder(1);
        list->SetNoAlign4Tab(1);
        list->SetNoMultiSelect(state.ListCtrl);
        list->Init();
        const bool startShown = parms::UseListStartMS != 0;
        list->SetTabHidden(3, startShown ? 0 : 1);
        if (QAction* item = window_.MenuRCList->At(3)) {
            item->setVisible(startShown);
        }
        list->SetTabHidden(2, parms::UseListSeq != 0 ? 0 : 1);
        list->DeleteAll();
        list->SetTabName(0, basic::LangText("再生時間", "Time"));
        list->SetTabName(1, basic::LangText("タイトル", "Title"));
        list->SetTabName(2, parms::SeqMarkText);
        list->SetTabName(3, "開始位置");
        for (std::size_t c = 0; c < tips.size(); ++c) {
            const int column = 4 + static_cast<int>(c);
            list->SetTabName(column, tips[c].Name);
            if (tips[c].Align >= 0) {
                list->SetTabAlign(column, tips[c].Align);
            }
        }
    }
    const std::string prefix = ColumnPrefix(output);
    for (int column = 0; column < list->NumData(); ++column) {
        const std::string n = std::to_string(column + 1);
        list->SetTabOrder(column, MainSettings::Long("TabOrder_" + prefix + n, column));
    }
    for (int column = 0; column < list->NumData(); ++column) {
        const std::string n = std::to_string(column + 1);
        // Stored at size factor 1, as a decimal where a factor divided it;
        // the list keeps it within the widths a column can have.
        const float stored = MainSettings::Single("TabWidth_" + prefix + n, 1200.0F);
        const double scaled = std::clamp(static_cast<double>(stored) * state.SizeFactor, 0.0,
                                         static_cast<double>(listview::MaxTabWidth));
        list->SetTabWidth(column, DisplaySizes::Scaled(scaled, 1.0F));
    }
    list->SetStyle(static_cast<float>(DisplaySizes::LargeFont(state.SizeFactor)), 0, basic::UIFontFace, 0xFFFFFF, 0);
    list->SetOneHeight(0);
    list->InitTab();
    list->ReDrawTab(-1);
    list->Refresh();
    list->show();
}

void ListAreaSetup::SetUpToolButtons(int output)
{
    controls::UC_Buttons* tools = window_.CtrlButton.At(output);
    if (tools == nullptr) {
        return;
    }
    tools->SetDesignType(1);
    tools->SetNumButtons(4);
    tools->SetFontSize(static_cast<float>(DisplaySizes::SmallFont(window_.State.SizeFactor)));
    const std::array<std::string, 4> captions = ListAreaRules::ToolCaptions();
    for (int b = 0; b < 4; ++b) {
        tools->SetButtonChar(b, captions[static_cast<std::size_t>(b)]);
    }
    tools->Init();
    tools->show();
}
