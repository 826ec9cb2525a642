#include "playback/Pages.h"

#include "foundation/DayLog.h"
#include "foundation/FileLists.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "mainwindow/FrmMain.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "playback/ButtonGrid.h"
#include "playback/PagesRules.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

#include <algorithm>

namespace {

constexpr int PageOnFunction = 1;
constexpr int PageOffFunction = 2;

bool IsListOutput(int output)
{
    return parms::IsList[playback::At(output)] != 0;
}

} // namespace

FrmMain& Pages::Window()
{
    return control_.Window();
}

std::string& Pages::CaptionOf(int output, int page)
{
    MainState& state = Window().State;
    const auto element = playback::At(PageNameIndex(output, page));
    return IsListOutput(output) ? state.ListName[element] : state.BankName[element];
}

std::vector<basic::DriveEntry> Pages::DriveList()
{
    if (Drives) {
        return Drives();
    }
    basic::BuildDriveTable();
    return basic::DriveTable;
}

int Pages::RemovableChanged()
{
    MainState& state = Window().State;
    const std::vector<basic::DriveEntry> drives = DriveList();
    if (drives.empty()) {
        return 0;
    }
    const int old = state.RemovableDrive;
    state.RemovableDrive = playback::HighestRemovable(drives);
    return state.RemovableDrive > old ? 1 : 0;
}

void Pages::ChangePage(int output, int page, int all)
{
    FrmMain& window = Window();
    MainState& state = window.State;
    if (page < 0 || page >= std::min(state.PageNum, AssignPages) || !playback::ValidOutput(state, output)) {
        return;
    }
    if (IsListOutput(output)) {
        control_.DisarmTimer(output);
    }
    if (state.OpenRemovable == 1 && RemovableChanged() == 1) {
        const playback::RemovableScan scan =
            playback::ScanRemovableDrives(DriveList(), [this](const basic::DriveEntry& drive) {
                if (FirstAssignFile) {
                    return FirstAssignFile(drive);
                }
                std::vector<std::string> files;
                const int count =
                    basic::ListFiles(basic::FixTrailingSeparator(drive.drive, 0), Window().State.TlvExtention, files,
                                     basic::ListFilesOnly, 0, 1, 0, 1);
                return count > 0 ? files.front() : std::string();
            });
        // A refused open keeps the file in use and its name.
        if (!scan.found.empty() && scan.found != state.CurrentFilePath && window.Ports.AssignFile != nullptr) {
            int ok = 0;
            window.Ports.AssignFile->OpenSaveAssignFile(0, scan.found, ok);
        }
    }
    if (state.BankSync != 0 || all != 0) {
        for (int o = 0; o < std::min(state.NumOut, MainState::Outputs); ++o) {
            LoadPage(o, page);
        }
    } else {
        LoadPage(output, page);
    }
    if (state.CheckCacheLite == 0 && window.Ports.Cache != nullptr) {
        window.Ports.Cache->CacheAll(1);
    }
}

void Pages::LoadPage(int output, int page)
{
    FrmMain& window = Window();
    MainState& state = window.State;
    if (!playback::ValidOutput(state, output) || page < 0 || page >= AssignPages) {
        return;
    }
    const auto o = playback::At(output);
    if (state.CurrentPage[o] != page) {
        window.Ports.Remote->SendRemoteCommand(output, PageOffFunction, state.CurrentPage[o]);
    }
    window.Ports.Remote->SendRemoteCommand(output, PageOnFunction, page);
    if (IsListOutput(output)) {
        if (LoadListPage) {
            LoadListPage(output, page);
        }
    } else {
        const int readCue = state.SomethingPlays == 0 && state.CheckCacheLite == 0 ? 1 : 0;
        const int buttons = std::min(state.ButtonsPerPage[o], AssignButtons);
        for (int button = 0; button < buttons; ++button) {
            grid_.DrawButton(output, page, button, readCue);
        }
    }
    state.CurrentPage[o] = page;
    if (state.ShowPage[o] != 0) {
        if (controls::UC_Buttons* row = window.PageButtons.At(output); row != nullptr) {
            row->SetSelectedButton(page);
        }
    }
    ShowPageTitle(output);
    if (!IsListOutput(output)) {
        control_.RefreshButtons(output, 0);
    }
}

void Pages::ShowPageTitle(int output)
{
    FrmMain& window = Window();
    MainState& state = window.State;
    if (!playback::ValidOutput(state, output) || state.ShowPage[playback::At(output)] == 0) {
        return;
    }
    const int page = state.CurrentPage[playback::At(output)];
    if (page < 0 || page >= AssignPages) {
        return;
    }
    if (controls::UC_TextPicture* title = window.TextPage.At(output); title != nullptr) {
        title->DispMes(0, playback::PageTitle(state.CurrentFileTitle, CaptionOf(output, page)), 0);
    }
}

void Pages::TextPage_MouseUD(int index, int, bool isDown, int)
{
    FrmMain& window = Window();
    MainState& state = window.State;
    if (state.Running == 0 || state.SomethingPlays == 1 || isDown || !playback::ValidOutput(state, index)) {
        return;
    }
    const int page = state.CurrentPage[playback::At(index)];
    if (page < 0 || page >= AssignPages) {
        return;
    }
    platform::InputBoxRequest request;
    request.owner = &window;
    request.prompt = IsListOutput(index) ? basic::LangText("リスト名称", "New List Name")
                                         : basic::LangText("バンク名称", "New Bank Name");
    request.defaultText = CaptionOf(index, page);
    const std::optional<std::string> answer = platform::ShowInputBox(request);
    if (!answer || answer->empty()) {
        return;
    }
    CaptionOf(index, page) = *answer;
    ShowPageTitle(index);
}

void Pages::PageButtons_ButtonClicked(int index, int clickedIndex)
{
    if (Window().State.Running != 0) {
        ChangePage(index, clickedIndex, 0);
    }
}

void Pages::PageButtons_RightClicked(int index, int clickedIndex)
{
    MainState& state = Window().State;
    if (state.Running == 0 || state.SomethingPlays != 0) {
        return;
    }
    state.PendingPageMenu = 1;
    state.PendingPageOutput = index;
    state.PendingPagePage = clickedIndex;
}

void Pages::MenuRCPage_Click(int index)
{
    FrmMain& window = Window();
    MainState& state = window.State;
    if (state.SomethingPlays != 0) {
        return;
    }
    if (index == 0) {
        state.CopiedPage = {state.PendingPageOutput, state.PendingPagePage};
        return;
    }
    if (index != 1) {
        return;
    }
    const auto [fromOutput, fromPage] = state.CopiedPage;
    const int toOutput = state.PendingPageOutput;
    const int toPage = state.PendingPagePage;
    if (fromOutput < 0 || fromPage < 0 || fromOutput >= MainState::Outputs || fromPage >= AssignPages ||
        !playback::ValidOutput(state, toOutput) || toPage < 0 || toPage >= std::min(state.PageNum, AssignPages)) {
        return;
    }
    if (IsListOutput(fromOutput) != IsListOutput(toOutput)) {
        basic::ShowMessage(basic::LangText("ここに貼り付けはできません", "Can Not Paste To This Page."),
                           platform::IconStop, "", &window);
        return;
    }
    ChangePage(toOutput, toPage, 0);
    const std::string caption =
        "[" + playback::CopiedPageName(CaptionOf(fromOutput, fromPage), fromPage, basic::LangText("ページ", "Page")) +
        "]";
    const std::string question =
        basic::LangText(caption + "をこのページに貼り付けます", "Paste " + caption + " To This Page.");
    if (basic::ShowMessage(question, platform::BoxYesNo + platform::IconQuestion, "", &window) != platform::IdYes) {
        return;
    }
    if (IsListOutput(toOutput)) {
        state.ListTable[playback::At(ListTableIndex(toOutput, toPage))] =
            state.ListTable[playback::At(ListTableIndex(fromOutput, fromPage))];
    } else {
        const int buttons = std::min(state.ButtonsPerOutput, AssignButtons);
        for (int button = 0; button < buttons; ++button) {
            state.ButtonTable[playback::At(ButtonTableIndex(toOutput, toPage, button))] =
                state.ButtonTable[playback::At(ButtonTableIndex(fromOutput, fromPage, button))];
        }
        // The cue of a button whose sound was replaced is gone.
        const auto o = playback::At(toOutput);
        if (state.StandbySet[o] != 0 && state.StandbyPage[o] == toPage) {
            state.StandbySet[o] = 0;
        }
    }
    ChangePage(toOutput, toPage, 0);
}
