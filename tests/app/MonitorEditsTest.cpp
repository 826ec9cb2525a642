// What the monitor window's OK and Delete do to a sound button in the
// assembled program: Delete is the button menu's Remove (lamp, off code,
// cue), a refused new file still takes the edit on the old one, and the
// mode mark shows only where play modes take effect.
#include "AssembledInput.h"

#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "controls/UC_TextPicture.h"
#include "controls/UC_TolvButton.h"
#include "dialogs/FrmMon.h"
#include "foundation/Parms.h"
#include "mainwindow/ports/RemotePort.h"
#include "platform/CommonDialogs.h"
#include "platform/TextBox.h"

#include <QMenu>

#include <gmock/gmock.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using apptest::AssembledFixture;
using testing::Contains;

constexpr int ButtonOffFunction = 4;

// Passes everything on to the program's remote service and keeps the
// status functions sent, as "output function index".
class WatchedRemote final : public RemotePort {
public:
    explicit WatchedRemote(RemotePort& real) : real_(real) {}
    void InitRemoteDevices() override { real_.InitRemoteDevices(); }
    void SendRemoteCommand(int output, int function, int index) override
    {
        Sent.push_back(std::to_string(output) + " " + std::to_string(function) + " " + std::to_string(index));
        real_.SendRemoteCommand(output, function, index);
    }
    void SendRemoteListStatus(int output, int force) override { real_.SendRemoteListStatus(output, force); }
    void SetOutputLock(int output) override { real_.SetOutputLock(output); }
    HidBoxState HidBox(int box) override { return real_.HidBox(box); }

    std::vector<std::string> Sent;

private:
    RemotePort& real_;
};

class MonitorEdits : public AssembledFixture {
protected:
    void TearDown() override
    {
        if (program && real_ != nullptr) {
            Window().Ports.Remote = real_;
        }
        AssembledFixture::TearDown();
    }

    // The monitor window opened for button of output 1 through its right
    // click menu's "Start ms".
    FrmMon& OpenMonitor(int button)
    {
        QMenu* menu = Window().MenuRCButtonP;
        QAction* entry = Window().MenuRCButtonFCT->At(0);
        ChooseInMenu = [menu, entry](QMenu& shown) -> QAction* { return &shown == menu ? entry : nullptr; };
        Click(Face(Button(0, button)), Qt::RightButton);
        Run(parms::TimerInt);
        EXPECT_TRUE(program->Monitor.IsVisible());
        return *program->Monitor.Window();
    }

    // The play-mode option boxes: one ticked.
    static void ChooseMode(FrmMon& monitor, int mode)
    {
        for (int i = 0; i < 4; ++i) {
            monitor.CheckButtonOption(i).SetValue(i == mode ? 1 : 0);
        }
    }

    WatchedRemote& WatchRemote()
    {
        real_ = Window().Ports.Remote;
        watched_ = std::make_unique<WatchedRemote>(*real_);
        Window().Ports.Remote = watched_.get();
        return *watched_;
    }

private:
    RemotePort* real_ = nullptr;
    std::unique_ptr<WatchedRemote> watched_;
};

TEST_F(MonitorEdits, DeleteOfACuedButtonClearsItAsTheMenusRemoveDoes)
{
    ASSERT_TRUE(Start());
    const std::string sound = RampWave("cued.wav", Rate);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 3, sound));
    Click(Face(*Window().TextSTBY(0)), Qt::LeftButton);
    ASSERT_NE(State().STBYActive[0], 0) << "standby armed from its label";
    Click(Face(Button(0, 3)), Qt::LeftButton);
    Run(parms::TimerInt);
    ASSERT_NE(State().StandbySet[0], 0) << "the press cued the button";
    ASSERT_NE(Button(0, 3).Activated(), 0) << "the cued lamp is lit";

    FrmMon& monitor = OpenMonitor(3);
    WatchedRemote& remote = WatchRemote();
    monitor.Delete();

    EXPECT_EQ(Record(0, 0, 3).FileName, "");
    EXPECT_EQ(Button(0, 3).Text(0), "");
    EXPECT_EQ(State().StandbySet[0], 0) << "the cue is dropped with its button";
    EXPECT_EQ(Button(0, 3).Activated(), 0) << "the lamp is off";
    EXPECT_THAT(remote.Sent, Contains("0 " + std::to_string(ButtonOffFunction) + " 3"))
        << "the boxes hear the lamp go off";
}

TEST_F(MonitorEdits, ARefusedFileStillLeavesTheStartModeAndColoursOnTheOldOne)
{
    ASSERT_TRUE(Start());
    const std::string kept = RampWave("kept.wav", 2 * Rate);
    const std::string taken = RampWave("taken/same title.wav", Rate);
    const std::string refused = RampWave("other/same title.wav", Rate);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 3, kept));
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 6, taken));

    FrmMon& monitor = OpenMonitor(3);
    platform::SetFileDialogAnswer([&refused](const platform::FileDialogRequest&) { return refused; });
    monitor.TextFilename().SelectButtonClick();
    platform::SetFileDialogAnswer(nullptr);
    monitor.TextMonStartMS().SetText("0.5");
    ChooseMode(monitor, 2);
    messages.clear();
    monitor.OK();

    EXPECT_THAT(messages, Contains(testing::HasSubstr("同一タイトルの素材は使用できません")))
        << "the operator is told why the file was refused";
    EXPECT_EQ(Record(0, 0, 3).FileName, kept);
    EXPECT_EQ(Record(0, 0, 3).StartMS, 500);
    EXPECT_EQ(Record(0, 0, 3).PlayMode, 2);
    EXPECT_EQ(Button(0, 3).Text(3), "L") << "Latch";
}

// Play modes take effect on the waveOut back-end only, so only there does a
// button show its mode after an edit, as after the menu's mode commands.
class MonitorModeMark : public MonitorEdits, public testing::WithParamInterface<int> {};

TEST_P(MonitorModeMark, ShowsOnlyWherePlayModesTakeEffect)
{
    const int playerType = GetParam();
    Store("PlayerType", std::to_string(playerType));
    ASSERT_TRUE(Start());
    ASSERT_EQ(parms::PlayerType, playerType);
    const std::string sound = RampWave("mode.wav", Rate);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 2, sound));
    FrmMon& monitor = OpenMonitor(2);
    ChooseMode(monitor, 1);
    monitor.OK();
    EXPECT_EQ(Record(0, 0, 2).PlayMode, 1);
    EXPECT_EQ(Button(0, 2).Text(3), playerType == 3 ? "M" : "");
}

INSTANTIATE_TEST_SUITE_P(BackEnds, MonitorModeMark, testing::Values(3, 0),
                         [](const testing::TestParamInfo<int>& param) {
                             return "PlayerType" + std::to_string(param.param);
                         });

} // namespace
