// The menu bar: captions by language, what the settings show, the enabling
// while sound plays, and the commands Clear All, Configuration and Uninstall.
#include "ApplyFixture.h"

#include "audio/InertPlayer.h"
#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/ServerFolders.h"
#include "foundation/SessionValues.h"
#include "mainwindow/OutputPlayers.h"
#include "support/LargeWorkArea.h"

#include <QMenu>
#include <QMenuBar>

#include <gmock/gmock.h>

namespace {

using shelltest::ApplyFixture;
using shelltest::ShellFixture;
using testing::ElementsAre;
using Outcome = FrmMain::StartOutcome;

std::string Caption(const QAction* action)
{
    return action->text().toStdString();
}

std::string Title(const QMenu* menu)
{
    return menu->title().toStdString();
}

class MainMenuTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        languageBefore_ = basic::LangMode;
    }
    void TearDown() override
    {
        basic::LangMode = languageBefore_;
        parms::EditApp.clear();
        parms::ConfigConfirmed = 0;
        FCT_Quind::LocalPath.clear();
        ShellFixture::TearDown();
    }
    // A full apply in the given language, as after the configuration dialog.
    void ApplyIn(int language)
    {
        basic::LangMode = language;
        window->ApplySettings(0);
    }

private:
    std::int32_t languageBefore_ = 0;
};

TEST_F(MainMenuTest, CaptionsFollowTheLanguageOfTheRun)
{
    ASSERT_EQ(Start(), Outcome::Running);
    ApplyIn(1);
    EXPECT_EQ(Title(window->MenuFileP), "File(&F)");
    EXPECT_EQ(Caption(window->MenuFile->At(2)), "BackUp");
    EXPECT_EQ(Title(window->MenuToolP), "Tool(&T)");
    EXPECT_EQ(Caption(window->MenuTool->At(1)), "Show Mixer");
    EXPECT_EQ(Title(window->MenuCacheP), "Cache(&A)");
    EXPECT_EQ(Caption(window->MenuCache->At(1)), "Delete unused Cache");
    EXPECT_EQ(Caption(window->MenuDispBig), "Large(&B)");
    EXPECT_EQ(Caption(window->MenuConf), "Configuration(&C)");
    EXPECT_EQ(Caption(window->MenuEditor), "Editor(&E)");
    EXPECT_EQ(Caption(window->MenuHelp->At(2)), "Infomation");
    EXPECT_EQ(Caption(window->MenuClose), "Close(&X)");

    ApplyIn(0);
    EXPECT_EQ(Title(window->MenuFileP), "ファイル(&F)");
    EXPECT_EQ(Caption(window->MenuTool->At(0)), "全タイトルクリア");
    // The item keeps its trailing blank.
    EXPECT_EQ(Caption(window->MenuCache->At(1)), "不要キャッシュを削除 ");
    EXPECT_EQ(Caption(window->MenuDispBig), "でかく(&B)");
    EXPECT_EQ(Caption(window->MenuConf), "設定(&C)");
    EXPECT_EQ(Caption(window->MenuHelp->At(1)), "アンインストール");
    EXPECT_EQ(Caption(window->MenuClose), "終了(&X)");
}

TEST_F(MainMenuTest, OnlyDispToolOneShowsTheToolMenu)
{
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_TRUE(window->MenuToolP->menuAction()->isVisible());
    for (const char* value : {"0", "2"}) {
        Store("DispTool", value);
        window->ApplySettings(0);
        EXPECT_FALSE(window->MenuToolP->menuAction()->isVisible()) << value;
    }
    Store("DispTool", "1");
    window->ApplySettings(0);
    EXPECT_TRUE(window->MenuToolP->menuAction()->isVisible());
}

TEST_F(MainMenuTest, TheCacheMenuNeedsShowCacheMenuAndALocalFolder)
{
    ASSERT_EQ(Start(), Outcome::Running);
    // Without a local cache folder the whole menu is gone.
    EXPECT_FALSE(window->MenuCacheP->menuAction()->isVisible());

    testsupport::ScratchFolder local;
    Store("LocalPath", local.Path());
    window->ApplySettings(0);
    ASSERT_FALSE(FCT_Quind::LocalPath.empty());
    EXPECT_TRUE(window->MenuCacheP->menuAction()->isVisible());
    // An empty folder of assign tables hides only "Delete unused Cache".
    EXPECT_FALSE(window->MenuCache->At(1)->isVisible());
    EXPECT_TRUE(window->MenuCache->At(2)->isVisible());

    Store("ShowCacheMenu", "0");
    window->ApplySettings(0);
    EXPECT_FALSE(window->MenuCacheP->menuAction()->isVisible());
}

TEST_F(MainMenuTest, GroupZeroKeepsItsReducedMenusThroughEveryApply)
{
    Store("NeedLogOn", "1");
    SetCommon({{"CurrentQuorUser", "aiko"}, {"CurrentQuorUserGroup", "0"}});
    testsupport::ScratchFolder local;
    Store("LocalPath", local.Path());
    Store("TlvTxtPath", "/srv/tables");
    ASSERT_EQ(Start(), Outcome::Running);
    for (int apply = 0; apply < 2; ++apply) {
        SCOPED_TRACE(apply);
        EXPECT_FALSE(window->MenuConf->isVisible());
        EXPECT_FALSE(window->MenuHelp->At(1)->isVisible());
        EXPECT_FALSE(window->MenuCache->At(2)->isVisible());
        // What the settings decide still shows.
        EXPECT_TRUE(window->MenuCacheP->menuAction()->isVisible());
        EXPECT_TRUE(window->MenuCache->At(1)->isVisible());
        EXPECT_TRUE(window->MenuHelp->At(2)->isVisible());
        window->ApplySettings(0);
    }
}

TEST_F(MainMenuTest, EditorAndShowHelpNeedTheirFiles)
{
    program.Write("tolv.pdf", "%PDF");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_FALSE(window->MenuEditor->isVisible());
    Store("EditApp", "/usr/bin/audacity");
    ApplyIn(0);
    EXPECT_TRUE(window->MenuEditor->isVisible());
    EXPECT_TRUE(window->MenuHelp->At(0)->isVisible());
    // English looks for its own help file only.
    ApplyIn(1);
    EXPECT_FALSE(window->MenuHelp->At(0)->isVisible());
    EXPECT_TRUE(window->MenuHelp->At(1)->isVisible());
    program.Write("tolv_help_eng.txt", "help");
    ApplyIn(1);
    EXPECT_TRUE(window->MenuHelp->At(0)->isVisible());
}

TEST_F(MainMenuTest, WhileSoundPlaysEveryBarEntryIsDisabled)
{
    // Every entry shown (a hidden one never counts as enabled).
    testsupport::ScratchFolder local;
    Store("LocalPath", local.Path());
    Store("EditApp", "/usr/bin/audacity");
    ASSERT_EQ(Start(), Outcome::Running);
    const std::vector<QAction*> entries{window->MenuFileP->menuAction(),
                                        window->MenuToolP->menuAction(),
                                        window->MenuCacheP->menuAction(),
                                        window->MenuDispBig,
                                        window->MenuConf,
                                        window->MenuEditor,
                                        window->MenuHelpP->menuAction(),
                                        window->MenuClose};
    window->EnableMenuBar(false);
    for (const QAction* entry : entries) {
        EXPECT_FALSE(entry->isEnabled()) << Caption(entry);
    }
    window->EnableMenuBar(true);
    for (const QAction* entry : entries) {
        EXPECT_TRUE(entry->isEnabled()) << Caption(entry);
    }
}

TEST_F(MainMenuTest, ClearAllAsksWithTheFileNameAndClearsEveryOutput)
{
    Store("NumOut", "2");
    ASSERT_EQ(Start(), Outcome::Running);
    basic::LangMode = 1;
    window->State.CurrentFileTitle.clear();
    window->State.OutputState = {0, 1, 0, 0};
    ports.Log.Clear();
    answers = {platform::IdNo};
    window->MenuTool->At(0)->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    // Before any file was opened the brackets stay empty.
    EXPECT_EQ(boxes[0].text, "[] : Clear all list/button assign?");
    EXPECT_EQ(boxes[0].style, platform::BoxYesNo + platform::IconQuestion);
    EXPECT_TRUE(ports.Log.Calls().empty());

    basic::LangMode = 0;
    window->State.CurrentFileTitle = "morning";
    answers = {platform::IdYes};
    window->MenuTool->At(0)->trigger();
    EXPECT_EQ(boxes.back().text, "[morning]の内容をクリアしますか？");
    // Only the playing output is stopped first.
    EXPECT_THAT(ports.Log.Calls(), ElementsAre("ClearOutput 0", "StopOutput 1", "ClearOutput 1", "NewAssign"));

    // Not while sound plays.
    ports.Log.Clear();
    window->State.SomethingPlays = 1;
    window->MenuTool->At(0)->trigger();
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(ports.Log.Calls().empty());
}

class MenuRebuildTest : public ApplyFixture {
protected:
    void TearDown() override
    {
        parms::ConfigConfirmed = 0;
        ApplyFixture::TearDown();
    }
    std::vector<const Player*> PlayerObjects() const
    {
        std::vector<const Player*> players;
        for (const auto& player : window->State.Players) {
            players.push_back(player.get());
        }
        return players;
    }
};

// Playback procedures that note whether the window was half-built when the
// display-only apply redrew the counters.
class WatchingPlayback final : public PlaybackPort {
public:
    explicit WatchingPlayback(FrmMain& window) : window_(window) {}
    void UpdateCounter(int, int) override
    {
        runningWhileRedrawn = window_.State.Running;
        barEnabledWhileRedrawn = window_.MenuBar->isEnabled();
    }
    void SetFadeParm() override {}
    void DisarmTimer(int) override {}
    void DrawTimerLabel(int) override {}
    void ChangePage(int, int, int) override {}
    void ShowPageTitle(int) override {}
    void DrawKeyAssign() override {}
    void ShowCurrentItem(int) override {}
    void SetListCursor(int, int, int, int) override {}
    void ClearOutput(int) override {}
    void StopOutput(int) override {}
    void NewAssign() override {}
    int runningWhileRedrawn = -1;
    bool barEnabledWhileRedrawn = true;

private:
    FrmMain& window_;
};

TEST_F(MenuRebuildTest, NothingActsOnTheWindowWhileTheDisplaySwitchRebuildsIt)
{
    ASSERT_EQ(Start(), Outcome::Running);
    WatchingPlayback playback(*window);
    window->Ports.Playback = &playback;
    window->MenuDispBig->trigger();
    EXPECT_EQ(playback.runningWhileRedrawn, 0);
    EXPECT_FALSE(playback.barEnabledWhileRedrawn);
    EXPECT_EQ(window->State.Running, 1);
    EXPECT_TRUE(window->MenuBar->isEnabled());
}

TEST_F(MenuRebuildTest, TheDisplaySwitchKeepsPlayersPagesAndTheListRow)
{
    // A work area that holds the large display's window where it is stored.
    const testsupport::LargeWorkArea area;
    Store("NumOut", "2");
    Store("IsList_2", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    const std::vector<const Player*> before = PlayerObjects();
    ASSERT_EQ(before.size(), 2u);
    window->State.CurrentPage = {3, 1, 0, 0};
    window->State.ListItem[1] = 4;
    window->Move(1500, 1200, 9000, 6000);
    Store("WindowLeft_Big", "300");
    Store("WindowTop_Big", "450");
    ports.Log.Clear();

    window->MenuDispBig->trigger();
    EXPECT_EQ(window->State.DispBig, 1);
    EXPECT_EQ(PlayerObjects(), before);
    EXPECT_EQ(window->State.StoppedByUser[0], 1);
    EXPECT_EQ(window->State.StoppedByUser[1], 1);
    // The place of the normal display is kept, the big one's taken.
    EXPECT_EQ(Stored("WindowLeft"), "1500");
    EXPECT_EQ(window->Left(), 300);
    EXPECT_EQ(window->Top(), 450);
    EXPECT_EQ(Caption(window->MenuDispBig), basic::LangMode == 1 ? "Small(&B)" : "小さく(&B)");
    // Each output shows its own page again, only itself; the list its row.
    EXPECT_THAT(ports.Log.Starting("ChangePage"), ElementsAre("ChangePage 0 3 0", "ChangePage 1 1 0"));
    EXPECT_THAT(ports.Log.Starting("ShowCurrentItem"), ElementsAre("ShowCurrentItem 1"));
    EXPECT_NE(ports.Log.IndexOf("SendRemoteListStatus 1 0"), -1);
    // Nothing of a full apply: no new remote devices, no first pages.
    EXPECT_EQ(ports.Log.IndexOf("InitRemoteDevices"), -1);
    EXPECT_EQ(window->State.Running, 1);
    EXPECT_TRUE(window->MenuBar->isEnabled());
    EXPECT_TRUE(window->TimerUpdate.Enabled());
    EXPECT_TRUE(window->isVisible());

    window->MenuDispBig->trigger();
    EXPECT_EQ(window->State.DispBig, 0);
    EXPECT_EQ(Stored("WindowLeft_Big"), "300");
    EXPECT_EQ(window->Left(), 1500);
}

// A configuration dialog that closes with OK or Cancel and looks at the
// window meanwhile.
class ClosingConfigDialog final : public ConfigDialogPort {
public:
    void ShowModal(platform::Form&) override
    {
        ++shown;
        parms::ConfigConfirmed = ok ? 1 : 0;
    }
    bool ok = true;
    int shown = 0;
};

// Remote devices that note whether the window was half-built when they
// were opened anew.
class WatchingRemote final : public RemotePort {
public:
    explicit WatchingRemote(FrmMain& window) : window_(window) {}
    void InitRemoteDevices() override
    {
        runningWhileOpened = window_.State.Running;
        barEnabledWhileOpened = window_.MenuBar->isEnabled();
        ++opened;
    }
    void SendRemoteCommand(int, int, int) override {}
    void SendRemoteListStatus(int, int) override {}
    void SetOutputLock(int) override {}
    int runningWhileOpened = -1;
    bool barEnabledWhileOpened = true;
    int opened = 0;

private:
    FrmMain& window_;
};

TEST_F(MenuRebuildTest, ConfigurationOkRebuildsOnNewPlayersWithNothingActingMeanwhile)
{
    ClosingConfigDialog dialog;
    WatchingRemote remote(*window);
    window->Ports.ConfigDialog = &dialog;
    window->Ports.Remote = &remote;
    int made = 0;
    OutputPlayers::SetMaker([&made](std::int32_t) {
        ++made;
        return InertPlayer::Make();
    });
    Store("NumOut", "2");
    ASSERT_EQ(Start(), Outcome::Running);
    ASSERT_EQ(made, 2);
    const std::vector<const Player*> before = PlayerObjects();
    ports.MaterialBrowser.loaded = true;
    ports.FadeWindow.open = true;

    dialog.ok = false;
    window->MenuConf->trigger();
    EXPECT_EQ(dialog.shown, 1);
    // The browser and the fade window close for the dialog either way.
    EXPECT_FALSE(ports.MaterialBrowser.loaded);
    EXPECT_FALSE(ports.FadeWindow.open);
    // Cancel: the same players, no rebuild.
    EXPECT_EQ(PlayerObjects(), before);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(remote.opened, 1);
    EXPECT_TRUE(window->MenuConf->isEnabled());
    EXPECT_TRUE(window->TimerUpdate.Enabled());

    dialog.ok = true;
    window->MenuConf->trigger();
    EXPECT_EQ(remote.opened, 2);
    EXPECT_EQ(remote.runningWhileOpened, 0);
    EXPECT_FALSE(remote.barEnabledWhileOpened);
    // Every player is made anew.
    EXPECT_EQ(made, 4);
    EXPECT_EQ(window->State.Running, 1);
    EXPECT_TRUE(window->MenuBar->isEnabled());
    EXPECT_TRUE(window->PictureAll->isVisible());
    EXPECT_TRUE(window->TimerUpdate.Enabled());
}

class UninstallTest : public MainMenuTest {
protected:
    void SetUp() override
    {
        MainMenuTest::SetUp();
        window->OnEnded = [this] { ++ended; };
    }
    int ended = 0;
};

TEST_F(UninstallTest, AnsweringNoChangesNothing)
{
    Store("NumOut", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    answers = {platform::IdNo};
    window->MenuHelp->At(1)->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(window->State.Running, 1);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(Stored("NumOut"), "1");
}

TEST_F(UninstallTest, DeletesTheProgramsKeyAndEndsWithoutWritingBack)
{
    Store("NumOut", "2");
    SetCommon({{"CurrentQuorUserGroup", "3"}});
    Store("LogError", "1", "tolvB");
    ports.RemoteDevices.comOpen = {true, false, false, false};
    ports.RemoteDevices.hidOpen = {false, true, false, false};
    ASSERT_EQ(Start(), Outcome::Running);
    basic::LangMode = 1;
    ports.Log.Clear();
    window->MenuHelp->At(1)->trigger();

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Uninstall the tolv?");
    EXPECT_EQ(boxes[1].text, "all setting has removed from windows registry.delete left files manually.");
    EXPECT_EQ(boxes[1].style, platform::IconInformation);
    EXPECT_EQ(Stored("NumOut"), "(missing)");
    // Other sessions and the outside tools' section stay.
    EXPECT_EQ(Stored("LogError", "tolvB"), "1");
    EXPECT_EQ(Stored("CurrentQuorUserGroup", "common"), "3");
    // The lamps go off before the boxes close.
    EXPECT_LT(ports.Log.IndexOf("SendRemoteCommand 1 11 0"), ports.Log.IndexOf("CloseComm 0"));
    EXPECT_NE(ports.Log.IndexOf("HidClose 1"), -1);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(window->State.Running, 0);
    // No unload follows: nothing is written back.
    window->EndSession();
    EXPECT_EQ(Stored("DispBig"), "(missing)");
    EXPECT_EQ(Stored("NumOut"), "(missing)");
}

TEST_F(UninstallTest, InIniFilesItOnlyNamesThem)
{
    const std::string ini = program.Write("tolv.ini", "[tolv]\nNumOut=1\n");
    ASSERT_EQ(Start(), Outcome::Running);
    ASSERT_EQ(basic::SettingsIniPath, ini);
    basic::LangMode = 0;
    window->MenuHelp->At(1)->trigger();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "アンインストールしますか？");
    EXPECT_THAT(boxes[1].text, testing::HasSubstr("手動で削除してください"));
    EXPECT_THAT(boxes[1].text, testing::EndsWith("\n" + ini));
    EXPECT_TRUE(std::filesystem::exists(ini));
    EXPECT_EQ(ended, 1);
}

} // namespace
