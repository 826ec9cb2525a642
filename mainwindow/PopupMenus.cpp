// The right-click menus: captions, visibility, check marks and the pending
// menus shown at the next safe moment.
#include "mainwindow/PopupMenus.h"

#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/MenuCaptions.h"
#include "platform/PopupMenu.h"

#include <QMenu>

#include <algorithm>
#include <array>

namespace {

using MenuCaptions::Caption;
using MenuCaptions::CaptionItems;
using MenuCaptions::Text;

void SetVisible(const MenuArray& array, int index, bool visible)
{
    if (QAction* item = array.At(index)) {
        item->setVisible(visible);
    }
}

} // namespace

namespace PopupMenus {

void ApplyCaptions(FrmMain& window)
{
    CaptionItems(*window.MenuRCButtonFile, {{"ファイル指定", "Assign File"}, {"ファイル指定解除", "Remove"}});
    CaptionItems(
        *window.MenuRCButtonFCT,
        {{"開始位置", "Start ms"}, {"素材編集", "Edit"}, {"素材検聴", "Preview"}, {"素材情報", "Show File Info"}});
    window.MenuRCButtonModeP->setTitle(Text({"ボタンモード", "Button Mode"}));
    // The full play-mode names, as the settings apply took them for the run's
    // language (before it, the same names).
    static constexpr std::array<Caption, 4> modeNames{
        {{"ノーマル", "Normal"}, {"モメンタリー", "Momentary"}, {"ラッチ", "Latch"}, {"トグル", "Toggle"}}};
    for (int mode = 0; mode < 4; ++mode) {
        const std::string& name = parms::ModeCaption[static_cast<std::size_t>(mode)][1];
        if (QAction* item = window.MenuRCButtonMode->At(mode)) {
            item->setText(name.empty() ? Text(modeNames[static_cast<std::size_t>(mode)])
                                       : QString::fromStdString(name));
        }
    }
    window.MenuRCButtonColorP->setTitle(Text({"色指定", "Set Color"}));
    CaptionItems(*window.MenuRCButtonColor, {{"文字色", "Text Color"}, {"背景色", "BG Color"}, {"色解除", "Default"}});

    // The sequence item is the sequence mark followed by "On/Off".
    CaptionItems(*window.MenuRCList, {{"削除", "Delete"},
                                      {"クリア", "Delete All"},
                                      {"", ""},
                                      {"開始位置", "Start ms"},
                                      {"素材編集", "Edit"},
                                      {"素材検聴", "Preview"},
                                      {"素材情報", "Show File Info"}});
    if (QAction* sequence = window.MenuRCList->At(2)) {
        const std::string mark = parms::SeqMarkText.empty() ? basic::LangText("▲", "S") : parms::SeqMarkText;
        sequence->setText(QString::fromStdString(mark + "On/Off"));
    }
    CaptionItems(*window.MenuRCPage, {{"ページをコピー", "Copy Page"}, {"ページを貼り付け", "Paste Page"}});
}

void ApplyVisibility(FrmMain& window)
{
    const bool editor = !parms::EditApp.empty();
    SetVisible(*window.MenuRCButtonFCT, 1, editor);
    SetVisible(*window.MenuRCList, 2, window.State.SeqRC == 1);
    SetVisible(*window.MenuRCList, 3, parms::UseListStartMS != 0);
    SetVisible(*window.MenuRCList, 4, editor);
}

int PlayModeOfButton(const FrmMain& window, int controlIndex)
{
    const MainState& state = window.State;
    if (controlIndex < 0 || state.ButtonsPerOutput <= 0) {
        return -1;
    }
    const int output = controlIndex / state.ButtonsPerOutput;
    const int button = controlIndex % state.ButtonsPerOutput;
    if (output >= MainState::Outputs || button >= AssignButtons) {
        return -1;
    }
    const int page = state.CurrentPage[static_cast<std::size_t>(output)];
    if (page < 0 || page >= AssignPages) {
        return -1;
    }
    const auto element = static_cast<std::size_t>(ButtonTableIndex(output, page, button));
    return element < state.ButtonTable.size() ? state.ButtonTable[element].PlayMode : -1;
}

} // namespace PopupMenus

void FrmMain::CheckButtonModeItems(int playMode)
{
    for (int mode = 0; mode < 4; ++mode) {
        if (QAction* item = MenuRCButtonMode->At(mode)) {
            item->setChecked(mode == playMode);
        }
    }
}

void FrmMain::ShowPendingPopup()
{
    // Each flag goes before its menu opens: the menu's own event loop runs
    // the timers, and a nested call must not open the same menu again.
    if (State.PendingButtonMenu == 1) {
        State.PendingButtonMenu = 0;
        // The marks of the button as it is now, whatever changed since the click.
        CheckButtonModeItems(PopupMenus::PlayModeOfButton(*this, State.RCButtonIndex));
        platform::ShowPopupMenu(*MenuRCButtonP);
    } else if (State.PendingPageMenu == 1) {
        State.PendingPageMenu = 0;
        platform::ShowPopupMenu(*MenuRCPageP);
    } else if (State.PendingListMenu == 1) {
        State.PendingListMenu = 0;
        platform::ShowPopupMenu(*MenuRCListP);
    }
}

void FrmMain::KeptInputDone()
{
    // The moment the tick or TimerRC would have shown the menu, come early.
    const bool pressRuns =
        std::any_of(State.PonBusy.begin(), State.PonBusy.end(), [](std::int32_t busy) { return busy != 0; });
    if (State.Running != 0 && !pressRuns) {
        ShowPendingPopup();
    }
}

// While an output plays or is paused the tick shows no menus; this timer does.
void FrmMain::TimerRC_Timer()
{
    if (State.Running == 0 || TimerUpdate.Interval() == 0 || !TimerUpdate.Enabled() || State.SomethingPlays != 1) {
        return;
    }
    ShowPendingPopup();
}
