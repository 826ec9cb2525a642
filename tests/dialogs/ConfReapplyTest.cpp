// The main window with the configuration dialog wired in: an accepted
// dialog rebuilds the players from the stored settings and restarts the
// tick; a cancelled one leaves them.
#include "audio/C_FGraph.h"
#include "audio/C_WaveOut.h"
#include "controls/UC_Buttons.h"
#include "dialogs/ConfPagePlayer.h"
#include "dialogs/ConfigDialog.h"
#include "dialogs/FrmConf.h"
#include "foundation/CommandLine.h"
#include "foundation/Fonts.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "foundation/SubClass.h"
#include "mainwindow/FrmMain.h"
#include "platform/ComboBox.h"
#include "platform/MessageBox.h"
#include "platform/SessionEndpoint.h"
#include "platform/audio/AudioSystem.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"
#include "support/FakePorts.h"
#include "support/ProgramGlobals.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/TwipsFixture.h"

#include <QTimer>

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using namespace platform::audio;

class ConfReapply : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        SetNow(Date(2026, 3, 10), At(10, 0, 0));
        basic::SetAppPath(program.Path());
        basic::SetProgramCommandLine("");
        registry.AddCommon("DebugLogPath", logs.Path());
        platform::SetMessageBoxAnswer([](const platform::MessageBoxRequest&) { return platform::IdYes; });
        AudioSystem::Install(AudioSystem::WithNullDevices(4, NullTiming::VirtualClock, {}, 1));
        window = std::make_unique<FrmMain>();
        window->Ports = ports.Wire();
        window->Ports.ConfigDialog = &configDialog;
    }
    void TearDown() override
    {
        FCT_SubClass::UnsubclassWindow(window.get());
        window.reset();
        testsupport::ResetProgramGlobals();
    }

    // Opens the dialog from the menu item; once the dialog is built, act
    // does what the operator does in it.
    void Configure(std::function<void(FrmConf&)> act)
    {
        bool acted = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            FrmConf* dialog = configDialog.Window();
            if (dialog == nullptr || acted) {
                return;
            }
            if (!dialog->PageLoaded(0)) {
                clock.Advance(50);
                return;
            }
            acted = true;
            tickWhileOpen = window->TimerUpdate.Enabled();
            act(*dialog);
        });
        poll.start(1);
        window->MenuConf_Click();
        EXPECT_TRUE(acted);
    }

    testsupport::ScratchFolder program;
    testsupport::ScratchFolder logs;
    testsupport::ScratchRegistry registry;
    testsupport::FakePorts ports;
    ConfigDialog configDialog;
    std::unique_ptr<FrmMain> window;
    bool tickWhileOpen = true;
};

TEST_F(ConfReapply, AnAcceptedDialogRebuildsThePlayersAndRestartsTheTick)
{
    basic::RegWrite("PlayerType", "3", "tolv");
    basic::RegWrite("NumOut", "2", "tolv");
    ASSERT_EQ(window->Form_Load(), FrmMain::StartOutcome::Running);
    ASSERT_EQ(window->State.PlayerCount, 2);
    const Player* before = window->State.Players[0].get();
    ASSERT_NE(dynamic_cast<const C_WaveOut*>(before), nullptr);

    Configure([](FrmConf& dialog) {
        auto& player = *dynamic_cast<ConfPagePlayer*>(dialog.Page(0));
        player.ComboType().SetListIndex(4);
        player.ComboNumOut().SetListIndex(2);
        int ok = 1;
        dialog.OKCancelButtons().ButtonClicked(ok);
    });
    EXPECT_FALSE(tickWhileOpen);
    EXPECT_EQ(parms::ConfigConfirmed, 1);
    EXPECT_EQ(parms::PlayerType, 4);
    ASSERT_EQ(window->State.PlayerCount, 3);
    for (const auto& player : window->State.Players) {
        EXPECT_NE(dynamic_cast<const C_FGraph*>(player.get()), nullptr);
    }
    EXPECT_TRUE(window->TimerUpdate.Enabled());
    EXPECT_TRUE(window->MenuConf->isEnabled());
    EXPECT_EQ(window->State.Running, 1);
    EXPECT_EQ(configDialog.Window(), nullptr);
}

TEST_F(ConfReapply, ACancelledDialogKeepsThePlayers)
{
    ASSERT_EQ(window->Form_Load(), FrmMain::StartOutcome::Running);
    const Player* before = window->State.Players[0].get();
    Configure([](FrmConf& dialog) {
        auto& player = *dynamic_cast<ConfPagePlayer*>(dialog.Page(0));
        player.ComboType().SetListIndex(2);
        int cancel = 0;
        dialog.OKCancelButtons().ButtonClicked(cancel);
    });
    EXPECT_EQ(parms::ConfigConfirmed, 0);
    EXPECT_EQ(parms::PlayerType, 3);
    EXPECT_EQ(window->State.Players[0].get(), before);
    EXPECT_TRUE(window->TimerUpdate.Enabled());
}

} // namespace
