// The keyboard target with keys from the X server (XTest on the suite's own
// Xvfb, no window manager), on virtual time: Alt+B while a sound plays, when
// the display switch's menu is off, and Alt+B as the display switch, after
// which the KEY lamp still shows the target.
#include "acceptance/SoakProgram.h"

#include "controls/UC_TextPicture.h"
#include "foundation/Registry.h"
#include "mainwindow/FrmMain.h"
#include "platform/audio/AudioSystem.h"
#include "support/ClockFixture.h"
#include "support/FaceClick.h"
#include "support/Gallery.h"
#include "support/NullOutputs.h"
#include "support/ProcessUntil.h"
#include "support/ProgramGlobals.h"
#include "support/ProgramStart.h"
#include "support/RampWave.h"
#include "support/ScratchFolder.h"
#include "support/XTestInput.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

using testsupport::ProcessUntil;

constexpr int Rate = 48000;
constexpr unsigned long AltL = 0xFFE9;
constexpr unsigned long KeyB = 0x62;
constexpr unsigned long KeyOne = 0x31;
constexpr unsigned long KeyEscape = 0xFF1B;
constexpr unsigned long KeyF1 = 0xFFBE;
constexpr unsigned long KeyF2 = 0xFFBF;

class KeyTargetKeys : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        if (const char* why = std::getenv("TOLV_NO_X_SERVER"); why != nullptr) {
            GTEST_SKIP() << why;
        }
        if (!keys.Ready()) {
            GTEST_SKIP() << keys.Why();
        }
        SetNow(Date(2026, 3, 10), At(9, 0, 0));
        testsupport::PrepareProgramStart(program.Path(), Rate);
        const std::string onAir = sounds / "on-air.wav";
        const std::string other = sounds / "other.wav";
        testsupport::WriteRampWave(onAir, Rate, 30 * Rate);
        testsupport::WriteRampWave(other, Rate, Rate);
        // Page 1: button 1 plays 30 s, button 29 (B) is empty; page 2: B
        // plays another sound.
        const std::string table = program / "show.txt";
        std::ofstream(table, std::ios::binary)
            << "\"Button_01-001\",\"" << onAir << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
            << "\"Button_02-029\",\"" << other << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n";
        // The sessions before leave their settings in the same store.
        for (const auto& [key, value] : std::initializer_list<std::pair<const char*, std::string>>{
                 {"PlayerType", "3"},
                 {"NumOut", "1"},
                 {"IsList_1", "0"},
                 {"DeviceWave_1", "Null 1"},
                 {"DeviceWaveMon", "Null 4"},
                 {"ModuleX_1", "8"},
                 {"ModuleY_1", "4"},
                 {"DispKEY_1", "1"},
                 {"DispDispBig", "1"},
                 {"DispBig", "0"},
                 {"BlankToStop", "1"},
                 {"KeyPage", "-1"},
                 {"TimerInt", "50"},
                 {"OpenLast", "1"},
                 {"LastTlvFilename", table},
             }) {
            basic::RegWrite(key, value, "tolv");
        }
        program_ = std::make_unique<acceptance::SoakProgram>();
        ASSERT_EQ(Window().Form_Load(), FrmMain::StartOutcome::Running);
        Window().show();
        // Without a window manager, the operator's first click gives the
        // window the keyboard.
        Window().activateWindow();
        ASSERT_TRUE(ProcessUntil([this] { return Window().isActiveWindow(); }, testsupport::RealWaitMs));
    }
    void TearDown() override
    {
        program_.reset();
        testsupport::ResetProgramGlobals();
    }

    FrmMain& Window() { return program_->Window(); }
    MainState& State() { return Window().State; }

    void Run(int ms)
    {
        for (int done = 0; done < ms; done += 10) {
            clock.Advance(10);
            platform::audio::AudioSystem::Current().Sync();
            QApplication::processEvents();
        }
    }

    // The keys pressed in order and let go in the reverse order, or in the
    // same order (the first, Alt say, let go first); returns once the window
    // has had the last release.
    void Press(std::initializer_list<unsigned long> held, bool firstLetGoFirst = false)
    {
        std::vector<unsigned long> order(held);
        int releases = 0;
        testsupport::KeyArrivals watch([&releases](const testsupport::KeyArrivals::Arrival& arrival) {
            releases += arrival.type == QEvent::KeyRelease ? 1 : 0;
        });
        for (const unsigned long key : order) {
            keys.Key(key, true);
        }
        if (firstLetGoFirst) {
            for (const unsigned long key : order) {
                keys.Key(key, false);
            }
        } else {
            for (auto key = order.rbegin(); key != order.rend(); ++key) {
                keys.Key(*key, false);
            }
        }
        ASSERT_TRUE(ProcessUntil([&] { return releases >= static_cast<int>(order.size()); }, testsupport::RealWaitMs))
            << "the releases reached the window";
        Run(100);
    }

    QImage Lamp() { return Window().TextKey(0)->Picture().Image(); }
    void ClickLamp() { testsupport::ClickFace(*Window().TextKey(0)); }

    // Output 1 plays button 1 of page 1 on, sounding.
    void ExpectOnAir(const std::string& after)
    {
        EXPECT_EQ(State().OutputState[0], 1) << after;
        EXPECT_EQ(State().StoppedByUser[0], 0) << after;
        EXPECT_EQ(State().PlayingButton[0], std::make_pair(0, 0)) << after;
        const std::vector<float> played = testsupport::TakePlayedLeft(1);
        ASSERT_FALSE(played.empty()) << after;
        EXPECT_NE(played.back(), 0.0F) << after << ": still sounding";
    }

    testsupport::XTestInput keys;
    testsupport::ScratchFolder program;
    testsupport::ScratchFolder sounds;
    std::unique_ptr<acceptance::SoakProgram> program_;
};

TEST_F(KeyTargetKeys, AltBOnAirNeitherStopsNorStartsAndAltBOffAirSwitchesWithTheLampLit)
{
    ClickLamp();
    ASSERT_EQ(State().KeyTarget, 0);
    Press({KeyOne});
    ASSERT_EQ(State().OutputState[0], 1) << "the key 1 plays button 1";

    // B is empty on page 1: an empty button's key would stop the output. On
    // page 2, B has a sound of its own. The menu's shortcut takes the press,
    // and the release comes with Alt held or, let go first, without.
    for (const bool altLetGoFirst : {false, true}) {
        const std::string how = altLetGoFirst ? ", Alt let go first" : "";
        Press({AltL, KeyB}, altLetGoFirst);
        EXPECT_EQ(State().DispBig, 0) << "no display switch on air";
        ExpectOnAir("Alt+B over an empty button" + how);
        Press({KeyF2});
        ASSERT_EQ(State().CurrentPage[0], 1);
        Press({AltL, KeyB}, altLetGoFirst);
        ExpectOnAir("Alt+B over an assigned button" + how);
        Press({KeyF1});
    }

    Press({KeyEscape});
    Run(300);
    ASSERT_EQ(State().OutputState[0], 0);
    Press({AltL, KeyB});
    ASSERT_TRUE(
        ProcessUntil([this] { return State().DispBig == 1 && Window().isActiveWindow(); }, testsupport::RealWaitMs))
        << "Alt+B switched the display and the window has the keyboard again";
    Run(100);
    EXPECT_EQ(State().OutputState[0], 0) << "the switch's B started nothing";
    testsupport::SaveToGallery(Window().grab().toImage(), "key-target-after-alt-b");

    // The lamp is lit as a click lights it: a click puts it out, the next
    // lights it the same again.
    const QImage shown = Lamp();
    ClickLamp();
    ASSERT_EQ(State().KeyTarget, -1);
    EXPECT_NE(Lamp(), shown);
    ClickLamp();
    ASSERT_EQ(State().KeyTarget, 0);
    EXPECT_EQ(Lamp(), shown);
    Press({KeyOne});
    EXPECT_EQ(State().OutputState[0], 1) << "the keys still play output 1";
}

} // namespace
