// The menu bar: its design, captions, visibility and enabling, and the
// commands that need no rebuild of the window (Tool, Editor, Help).
#include "mainwindow/MainMenu.h"

#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Programs.h"
#include "foundation/VersionInfo.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/MenuCaptions.h"
#include "mainwindow/PopupMenus.h"
#include "mainwindow/SettingReaders.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/TextCodec.h"

#include <QMenu>
#include <QMenuBar>

using MenuCaptions::CaptionItems;
using MenuCaptions::Text;

namespace MainMenu {

std::string HelpFileName()
{
    return basic::LangMode == 1 ? std::string(App::Title) + "_help_eng.txt" : std::string(App::Title) + ".pdf";
}

void ApplyCaptions(FrmMain& window)
{
    window.MenuFileP->setTitle(Text({"ファイル", "File"}, "(&F)"));
    CaptionItems(*window.MenuFile, {{"開く", "Open"}, {"保存", "Save"}, {"バックアップ", "BackUp"}});
    window.MenuToolP->setTitle(Text({"ツール", "Tool"}, "(&T)"));
    CaptionItems(*window.MenuTool, {{"全タイトルクリア", "Clear All"}, {"ミキサー表示", "Show Mixer"}});
    window.MenuCacheP->setTitle(Text({"キャッシュ", "Cache"}, "(&A)"));
    CaptionItems(*window.MenuCache, {{"キャッシュを更新", "Cache Soundfile"},
                                     {"不要キャッシュを削除 ", "Delete unused Cache"},
                                     {"キャッシュをクリア", "Clear Cache Folder"}});
    window.MenuConf->setText(Text({"設定(&C)", "Configuration(&C)"}));
    window.MenuEditor->setText(Text({"録音編集", "Editor"}, "(&E)"));
    window.MenuHelpP->setTitle(Text({"ヘルプ", "Help"}, "(&H)"));
    CaptionItems(*window.MenuHelp,
                 {{"ヘルプ", "Show Help"}, {"アンインストール", "Uninstall"}, {"情報", "Infomation"}});
    window.MenuClose->setText(Text({"終了", "Close"}, "(&X)"));
}

void ApplyVisibility(FrmMain& window)
{
    window.MenuToolP->menuAction()->setVisible(MainSettings::Long("DispTool", 1) == 1);
    window.MenuCacheP->menuAction()->setVisible(MainSettings::Long("ShowCacheMenu", 1) == 1);
    window.MenuEditor->setVisible(!parms::EditApp.empty());
    if (QAction* showHelp = window.MenuHelp->At(0)) {
        showHelp->setVisible(basic::FileExists(basic::AppPath() + HelpFileName()) != 0);
    }
}

} // namespace MainMenu

void FrmMain::BuildMenus()
{
    MenuBar = new QMenuBar(this);
    // In the window on every desktop, where the layout expects it.
    MenuBar->setNativeMenuBar(false);
    // Captions follow the language once it is known (the settings apply).
    MenuFileP = MenuBar->addMenu("ファイル(&F)");
    MenuFile = std::make_unique<MenuArray>(*MenuFileP, "開く");
    MenuToolP = MenuBar->addMenu("ツール(&T)");
    MenuTool = std::make_unique<MenuArray>(*MenuToolP, "全タイトルクリア");
    MenuCacheP = MenuBar->addMenu("キャッシュ(&A)");
    MenuCache = std::make_unique<MenuArray>(*MenuCacheP, "キャッシュを更新");
    MenuDispBig = MenuBar->addAction("でかく(&B)");
    MenuConf = MenuBar->addAction("設定(&C)");
    MenuEditor = MenuBar->addAction("録音編集(&E)");
    MenuHelpP = MenuBar->addMenu("ヘルプ(&H)");
    MenuHelp = std::make_unique<MenuArray>(*MenuHelpP, "ヘルプ");
    MenuClose = MenuBar->addAction("終了(&X)");

    MenuRCListP = new QMenu(this);
    MenuRCList = std::make_unique<MenuArray>(*MenuRCListP, "削除");

    MenuRCButtonP = new QMenu(this);
    MenuRCButtonFile = std::make_unique<MenuArray>(*MenuRCButtonP, "ファイル指定");
    MenuRCButtonFile->Load(1);
    MenuRCButtonB1 = MenuRCButtonP->addSeparator();
    MenuRCButtonFCT = std::make_unique<MenuArray>(*MenuRCButtonP, "開始位置");
    for (int i = 1; i <= 3; ++i) {
        MenuRCButtonFCT->Load(i);
    }
    MenuRCButtonB2 = MenuRCButtonP->addSeparator();
    MenuRCButtonModeP = MenuRCButtonP->addMenu("ボタンモード");
    MenuRCButtonMode = std::make_unique<MenuArray>(*MenuRCButtonModeP, "ノーマル");
    for (int i = 1; i <= 3; ++i) {
        MenuRCButtonMode->Load(i);
    }
    for (int i = 0; i <= 3; ++i) {
        MenuRCButtonMode->At(i)->setCheckable(true);
    }
    MenuRCButtonB3 = MenuRCButtonP->addSeparator();
    MenuRCButtonColorP = MenuRCButtonP->addMenu("色指定");
    MenuRCButtonColor = std::make_unique<MenuArray>(*MenuRCButtonColorP, "文字色");
    MenuRCButtonColor->Load(1);
    MenuRCButtonColor->Load(2);

    MenuRCPageP = new QMenu(this);
    MenuRCPage = std::make_unique<MenuArray>(*MenuRCPageP, "ページをコピー");
    // The button menu's items all stand in the design; the list and page
    // menus get their further items at start-up.
    PopupMenus::ApplyCaptions(*this);

    WireMenuCommands();
}

// The bar's own commands, the pending-menu timer and the shell panels. The
// items whose work lies in other subsystems are wired with the other events.
void FrmMain::WireMenuCommands()
{
    MenuTool->Click = [this](int index) { MenuTool_Click(index); };
    MenuHelp->Click = [this](int index) { MenuHelp_Click(index); };
    QObject::connect(MenuDispBig, &QAction::triggered, this, [this] { MenuDispBig_Click(); });
    QObject::connect(MenuConf, &QAction::triggered, this, [this] { MenuConf_Click(); });
    QObject::connect(MenuEditor, &QAction::triggered, this, [this] { MenuEditor_Click(); });
    TimerRC.OnTimer = [this] { TimerRC_Timer(); };
    OnEveryElement<controls::UC_TextPicture>(TextShell, [this](controls::UC_TextPicture& panel, int index) {
        panel.MouseUD = [this, index](int& button, bool& isDown, int& pIndex) {
            TextShell_MouseUD(index, button, isDown, pIndex);
        };
    });
}

void FrmMain::EnableMenuBar(bool enabled)
{
    for (QAction* entry : {MenuDispBig, MenuToolP->menuAction(), MenuCacheP->menuAction(), MenuConf,
                           MenuFileP->menuAction(), MenuEditor, MenuHelpP->menuAction(), MenuClose}) {
        entry->setEnabled(enabled);
    }
}

void FrmMain::MenuTool_Click(int index)
{
    if (index == 0) {
        platform::DoEvents();
        if (State.SomethingPlays == 1) {
            return;
        }
        const std::string question = "[" + textcodec::ShowingStrayBytes(State.CurrentFileTitle) + "]" +
                                     basic::LangText("の内容をクリアしますか？", " : Clear all list/button assign?");
        if (basic::ShowMessage(question, platform::BoxYesNo + platform::IconQuestion, "", this) == platform::IdYes) {
            for (int output = 0; output < State.NumOut; ++output) {
                if (State.OutputState[static_cast<std::size_t>(output)] != 0) {
                    Ports.Playback->StopOutput(output);
                }
                Ports.Playback->ClearOutput(output);
            }
            Ports.Playback->NewAssign();
        }
        platform::DoEvents();
    } else if (index == 1) {
        platform::DoEvents();
        basic::OpenVolumeMixer();
        platform::DoEvents();
    }
}

void FrmMain::MenuEditor_Click()
{
    if (basic::RunProgram(parms::EditApp, "", 0, "") <= 0) {
        basic::WriteLog("The editor program \"" + parms::EditApp + "\" could not be started", 1, 0);
    }
}

void FrmMain::MenuHelp_Click(int index)
{
    switch (index) {
    case 0:
        platform::DoEvents();
        basic::ShellOpen(basic::AppPath() + MainMenu::HelpFileName());
        platform::DoEvents();
        break;
    case 1:
        platform::DoEvents();
        Uninstall();
        break;
    case 2:
        platform::DoEvents();
        basic::ShowVersionInfo(this, "");
        platform::DoEvents();
        break;
    default:
        break;
    }
}
