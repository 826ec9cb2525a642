// The right-click menus: the order in which pending menus open, what their
// items run, the check marks and captions of the button menu, and what the
// settings show.
#include "ShellFixture.h"

#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "mainwindow/PopupMenus.h"
#include "platform/EventPump.h"
#include "platform/InputCodes.h"
#include "platform/PopupMenu.h"
#include "platform/base/Hooks.h"
#include "support/ProcessUntil.h"

#include <QApplication>
#include <QMenu>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <gmock/gmock.h>

namespace {

using shelltest::ShellFixture;
using testing::ElementsAre;
using Outcome = FrmMain::StartOutcome;
using Queued = QWindowSystemInterface::AsynchronousDelivery;

std::vector<std::string> Captions(const MenuArray& array)
{
    std::vector<std::string> captions;
    for (int i = 0; i <= array.UBound(); ++i) {
        captions.push_back(array.At(i)->text().toStdString());
    }
    return captions;
}

class PopupMenusTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        languageBefore_ = basic::LangMode;
        // Menus are not shown; each one asked for is recorded and dismissed,
        // or answered with the item chosen.
        platform::SetPopupMenuAnswer([this](QMenu& menu) -> QAction* {
            shown.push_back(&menu);
            if (whileShown) {
                whileShown();
            }
            return choose ? choose(menu) : nullptr;
        });
    }
    void TearDown() override
    {
        platform::SetPopupMenuAnswer(nullptr);
        basic::LangMode = languageBefore_;
        parms::EditApp.clear();
        parms::DispButtonOption = 0;
        ShellFixture::TearDown();
    }
    std::vector<QMenu*> shown;
    std::function<void()> whileShown;
    std::function<QAction*(QMenu&)> choose;

private:
    std::int32_t languageBefore_ = 0;
};

TEST_F(PopupMenusTest, PendingMenusOpenOneAtATimeButtonThenPageThenList)
{
    ASSERT_EQ(Start(), Outcome::Running);
    MainState& state = window->State;
    state.PendingListMenu = 1;
    state.PendingPageMenu = 1;
    state.PendingButtonMenu = 1;
    // A tick that runs while the button menu is open finds its flag cleared
    // and opens the next one, never the same menu twice.
    whileShown = [this] {
        whileShown = nullptr;
        window->ShowPendingPopup();
    };
    window->ShowPendingPopup();
    window->ShowPendingPopup();
    window->ShowPendingPopup();
    EXPECT_THAT(shown, ElementsAre(window->MenuRCButtonP, window->MenuRCPageP, window->MenuRCListP));
    EXPECT_EQ(state.PendingButtonMenu + state.PendingPageMenu + state.PendingListMenu, 0);
}

TEST_F(PopupMenusTest, TheChosenItemRunsItsCommand)
{
    ASSERT_EQ(Start(), Outcome::Running);
    const std::pair<int*, QAction*> requests[] = {
        {&window->State.PendingButtonMenu, window->MenuRCButtonFile->At(1)},
        {&window->State.PendingButtonMenu, window->MenuRCButtonFCT->At(3)},
        {&window->State.PendingButtonMenu, window->MenuRCButtonMode->At(2)},
        {&window->State.PendingButtonMenu, window->MenuRCButtonColor->At(2)},
        {&window->State.PendingListMenu, window->MenuRCList->At(6)},
        {&window->State.PendingPageMenu, window->MenuRCPage->At(1)},
    };
    ports.Log.Clear();
    for (const auto& [flag, item] : requests) {
        *flag = 1;
        choose = [item = item](QMenu&) { return item; };
        window->ShowPendingPopup();
    }
    EXPECT_THAT(ports.Log.Calls(), ElementsAre("RCButtonFCT 1", "RCButtonFCT 5", "RCButtonFCT 8", "RCButtonFCT 12",
                                               "RCListFCT 6", "MenuRCPage_Click 1"));
}

TEST_F(PopupMenusTest, TheButtonMenuTicksThePlayModeOfTheClickedButton)
{
    ASSERT_EQ(Start(), Outcome::Running);
    MainState& state = window->State;
    state.ButtonsPerOutput = 12;
    state.CurrentPage[1] = 2;
    // Button 5 of output 1 is a Latch button on the page shown, a Toggle one
    // on another page.
    state.ButtonTable[ButtonTableIndex(1, 2, 5)].PlayMode = 2;
    state.ButtonTable[ButtonTableIndex(1, 0, 5)].PlayMode = 3;
    state.RCButtonIndex = 1 * 12 + 5;
    state.PendingButtonMenu = 1;
    std::vector<bool> checked;
    whileShown = [&] {
        for (int mode = 0; mode < 4; ++mode) {
            checked.push_back(window->MenuRCButtonMode->At(mode)->isChecked());
        }
    };
    window->ShowPendingPopup();
    EXPECT_THAT(checked, ElementsAre(false, false, true, false));
    EXPECT_EQ(PopupMenus::PlayModeOfButton(*window, 1 * 12 + 5), 2);
    EXPECT_EQ(PopupMenus::PlayModeOfButton(*window, -1), -1);
    EXPECT_EQ(PopupMenus::PlayModeOfButton(*window, 4 * 12), -1);
}

TEST_F(PopupMenusTest, CaptionsInBothLanguages)
{
    Store("SeqRC", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    basic::LangMode = 1;
    window->ApplySettings(0);
    EXPECT_THAT(Captions(*window->MenuRCButtonFile), ElementsAre("Assign File", "Remove"));
    EXPECT_THAT(Captions(*window->MenuRCButtonFCT), ElementsAre("Start ms", "Edit", "Preview", "Show File Info"));
    EXPECT_EQ(window->MenuRCButtonModeP->title().toStdString(), "Button Mode");
    EXPECT_THAT(Captions(*window->MenuRCButtonMode), ElementsAre("Normal", "Momentary", "Latch", "Toggle"));
    EXPECT_EQ(window->MenuRCButtonColorP->title().toStdString(), "Set Color");
    EXPECT_THAT(Captions(*window->MenuRCButtonColor), ElementsAre("Text Color", "BG Color", "Default"));
    EXPECT_THAT(Captions(*window->MenuRCList),
                ElementsAre("Delete", "Delete All", "SOn/Off", "Start ms", "Edit", "Preview", "Show File Info"));
    EXPECT_THAT(Captions(*window->MenuRCPage), ElementsAre("Copy Page", "Paste Page"));

    basic::LangMode = 0;
    window->ApplySettings(0);
    EXPECT_THAT(Captions(*window->MenuRCButtonFile), ElementsAre("ファイル指定", "ファイル指定解除"));
    EXPECT_THAT(Captions(*window->MenuRCButtonMode), ElementsAre("ノーマル", "モメンタリー", "ラッチ", "トグル"));
    EXPECT_THAT(Captions(*window->MenuRCButtonColor), ElementsAre("文字色", "背景色", "色解除"));
    EXPECT_EQ(Captions(*window->MenuRCList)[2], "▲On/Off");
    EXPECT_THAT(Captions(*window->MenuRCPage), ElementsAre("ページをコピー", "ページを貼り付け"));
    Store("SeqItemType", "1");
    window->ApplySettings(0);
    EXPECT_EQ(Captions(*window->MenuRCList)[2], "▼On/Off");
}

TEST_F(PopupMenusTest, ItemsFollowTheirSettings)
{
    ASSERT_EQ(Start(), Outcome::Running);
    // Defaults: no editor, no sequence item, "Start ms" shown, no mode menu.
    EXPECT_FALSE(window->MenuRCButtonFCT->At(1)->isVisible());
    EXPECT_FALSE(window->MenuRCList->At(4)->isVisible());
    EXPECT_FALSE(window->MenuRCList->At(2)->isVisible());
    EXPECT_TRUE(window->MenuRCList->At(3)->isVisible());
    EXPECT_FALSE(window->MenuRCButtonModeP->menuAction()->isVisible());
    EXPECT_FALSE(window->MenuRCButtonB2->isVisible());

    Store("EditApp", "/usr/bin/audacity");
    Store("SeqRC", "1");
    Store("UseListStartMS", "0");
    Store("DispButtonOption", "1");
    window->ApplySettings(0);
    EXPECT_TRUE(window->MenuRCButtonFCT->At(1)->isVisible());
    EXPECT_TRUE(window->MenuRCList->At(4)->isVisible());
    EXPECT_TRUE(window->MenuRCList->At(2)->isVisible());
    EXPECT_FALSE(window->MenuRCList->At(3)->isVisible());
    EXPECT_TRUE(window->MenuRCButtonModeP->menuAction()->isVisible());
    EXPECT_TRUE(window->MenuRCButtonB2->isVisible());
}

TEST_F(PopupMenusTest, TimerRCShowsMenusOnlyWhileSoundPlaysAndTheTickRuns)
{
    Store("TimerInt", "50");
    ASSERT_EQ(Start(), Outcome::Running);
    MainState& state = window->State;
    ASSERT_EQ(window->TimerRC.Interval(), 50);
    state.PendingListMenu = 1;
    // Idle: the tick shows it, not this timer.
    clock.Advance(50);
    EXPECT_TRUE(shown.empty());
    // Playing, but the tick is switched off (a rebuild, the dialog).
    state.SomethingPlays = 1;
    window->TimerUpdate.SetEnabled(false);
    clock.Advance(50);
    EXPECT_TRUE(shown.empty());
    window->TimerUpdate.SetEnabled(true);
    clock.Advance(50);
    EXPECT_THAT(shown, ElementsAre(window->MenuRCListP));
    // Its interval is the one of the start, whatever a later apply reads.
    Store("TimerInt", "200");
    window->ApplySettings(0);
    EXPECT_EQ(parms::TimerInt, 200);
    EXPECT_EQ(window->TimerRC.Interval(), 50);
}

} // namespace

// A right-click made during a press, and the keys typed into its menu then:
// after the press the menu opens before the keys are carried out, and they
// choose in it as they would have without the press.
TEST_F(PopupMenusTest, KeysTypedIntoAMenuDuringAPressChooseInItAfterIt)
{
    platform::SetPopupMenuAnswer(nullptr);
    ASSERT_EQ(Start(), Outcome::Running);
    platform::InstallQtEventPump();
    window->show();
    QWindow* handle = window->windowHandle();
    ASSERT_TRUE(testsupport::ProcessUntil([handle] { return handle->isExposed(); }, testsupport::RealWaitMs));
    MainState& state = window->State;
    // As the button grid does with a right-click on a sound button.
    ports.ControlEvents.OnButtonMouse = [&state](int index, int button, bool isDown) {
        if (button == platform::ButtonRight && isDown) {
            state.RCButtonIndex = index;
            state.PendingButtonMenu = 1;
        }
    };
    const QWidget& button = *window->TolvButton(0)->CtrlhWnd();
    const QPointF at = button.mapTo(window.get(), QPointF(5, 5));
    ports.Log.Clear();
    {
        const platform::InputHold press;
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QWindowSystemInterface::handleMouseEvent<Queued>(handle, at, handle->mapToGlobal(at),
                                                             type == QEvent::MouseButtonPress ? Qt::RightButton
                                                                                              : Qt::NoButton,
                                                             Qt::RightButton, type);
        }
        for (int down = 0; down < 5; ++down) {
            QWindowSystemInterface::handleKeyEvent<Queued>(handle, QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QWindowSystemInterface::handleKeyEvent<Queued>(handle, QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
        }
        QWindowSystemInterface::handleKeyEvent<Queued>(handle, QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QWindowSystemInterface::handleKeyEvent<Queued>(handle, QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
        platform::DoEvents();
        EXPECT_TRUE(ports.Log.Calls().empty()) << "nothing is carried out in the press";
    }
    // "Assign File", "Remove", "Start ms", "Preview", "Show File Info".
    EXPECT_TRUE(testsupport::ProcessUntil(
        [this] { return !ports.Log.Starting("RCButtonFCT").empty(); }, testsupport::RealWaitMs));
    EXPECT_THAT(ports.Log.Starting("RCButtonFCT"), ElementsAre("RCButtonFCT 5"));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}
