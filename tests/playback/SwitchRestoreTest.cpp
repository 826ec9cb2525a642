#include "foundation/CommandLine.h"
#include "foundation/Fonts.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "foundation/SubClass.h"
#include "mainwindow/FrmMain.h"
#include "platform/MessageBox.h"
#include "platform/SessionEndpoint.h"
#include "platform/base/LogSink.h"
#include "playback/Fades.h"
#include "playback/StartTimers.h"
#include "playback/FadeLabels.h"
#include "playback/WindowFaders.h"
#include "support/ClockFixture.h"
#include "support/FakePorts.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// The FADE and TIMER labels as the main window reaches them.
class Labels final : public StatusLabelsPort {
public:
    Labels(FadeLabels& fade, StartTimers& timers) : fade_(fade), timers_(timers) {}
    void TextFade_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        fade_.TextFade_MouseUD(index, button, isDown, pIndex);
    }
    void TextSTBY_MouseUD(int, int, bool, int) override {}
    void TextTimer_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        timers_.TextTimer_MouseUD(index, button, isDown, pIndex);
    }

private:
    FadeLabels& fade_;
    StartTimers& timers_;
};

// The start-up of the main window with the real FADE and TIMER labels and
// every other service faked.
class SwitchRestore : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        SetNow(Date(2026, 3, 10), At(10, 0, 0));
        const char* config = std::getenv("XDG_CONFIG_HOME");
        previousConfig_ = config != nullptr ? config : "";
        setenv("XDG_CONFIG_HOME", (registry.Path() + "config").c_str(), 1);
        basic::SetAppPath(program.Path());
        basic::SetProgramCommandLine("");
        const std::string common = registry.Path() + "config/Quorvant-registry/software/quorvant/";
        std::filesystem::create_directories(common);
        std::ofstream(common + "common.conf") << "DebugLogPath=" << logs.Path() << "\n";
        platform::SetMessageBoxAnswer([](const platform::MessageBoxRequest&) { return platform::IdYes; });
        window = std::make_unique<FrmMain>();
        window->Ports = ports.Wire();
        faders = std::make_unique<WindowFaders>(*window);
        fades = std::make_unique<Fades>(window->State, *faders);
        timers = std::make_unique<StartTimers>(*window);
        fadeLabels = std::make_unique<FadeLabels>(*window, *fades);
        labels = std::make_unique<Labels>(*fadeLabels, *timers);
        window->Ports.StatusLabels = labels.get();
    }
    void TearDown() override
    {
        labels.reset();
        fadeLabels.reset();
        timers.reset();
        fades.reset();
        faders.reset();
        FCT_SubClass::UnsubclassWindow(window.get());
        window.reset();
        platform::ReleaseProcessSession();
        platform::SetMessageBoxAnswer(nullptr);
        platform::SetLogSink(nullptr);
        basic::SetAppPath("");
        basic::SettingsIniPath.clear();
        basic::SettingsStoreName.clear();
        basic::ErrorCatch = 0;
        basic::LogError = 1;
        basic::LogFolder.clear();
        basic::DailyLogNames = 0;
        basic::SessionIndex = 0;
        basic::UIFontFace.clear();
        parms::IsList = {0, 0, 0, 0};
        parms::StartTimer = {};
        parms::PlayerType = 3;
        setenv("XDG_CONFIG_HOME", previousConfig_.c_str(), 1);
    }
    static void Store(const std::string& key, const std::string& value) { basic::RegWrite(key, value, "tolv"); }

    testsupport::ScratchFolder program;
    testsupport::ScratchFolder logs;
    testsupport::ScratchFolder registry;
    testsupport::FakePorts ports;
    std::unique_ptr<FrmMain> window;
    std::unique_ptr<WindowFaders> faders;
    std::unique_ptr<Fades> fades;
    std::unique_ptr<StartTimers> timers;
    std::unique_ptr<FadeLabels> fadeLabels;
    std::unique_ptr<Labels> labels;

private:
    std::string previousConfig_;
};

} // namespace

TEST_F(SwitchRestore, FadeModeAndTheTimerOfTheLastRunAreOnAgain)
{
    Store("PlayerType", "1");
    Store("UseVol", "1");
    Store("FadeOn_1", "1");
    Store("DispTimer_1", "1");
    Store("TimerActive_1", "1");
    Store("TimerTime_1", "12:00:00");
    ASSERT_EQ(window->Form_Load(), FrmMain::StartOutcome::Running);
    EXPECT_EQ(window->State.FadeOn[0], 1);
    EXPECT_EQ(parms::StartTimer[0].TimerArmed, 1);
}

TEST_F(SwitchRestore, FadeModeStaysOffOnABackEndWithOnePlayerPerOutput)
{
    Store("PlayerType", "3");
    Store("UseVol", "1");
    Store("FadeOn_1", "1");
    ASSERT_EQ(window->Form_Load(), FrmMain::StartOutcome::Running);
    EXPECT_EQ(window->State.FadeOn[0], 0);
}

TEST_F(SwitchRestore, ATimerWithoutItsLabelIsNotArmed)
{
    Store("TimerActive_1", "1");
    ASSERT_EQ(window->Form_Load(), FrmMain::StartOutcome::Running);
    EXPECT_EQ(parms::StartTimer[0].TimerArmed, 0);
}
