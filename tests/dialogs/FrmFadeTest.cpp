#include "dialogs/FrmFade.h"

#include "DialogInput.h"
#include "controls/SurfaceBox.h"
#include "controls/UC_Check.h"
#include "dialogs/FadeWindow.h"
#include "dialogs/FadeWindowHost.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

#include <array>
#include <utility>
#include <vector>

namespace {

using Times = std::array<std::int32_t, 3>; // FOTime, FIOffset, FITime

class RecordingFadeHost final : public FadeWindowHost {
public:
    void SetFadeParm() override { fadeParms.push_back({parms::FOTime, parms::FIOffset, parms::FITime}); }
    void Form_KeyUp(int& keyCode, int shift) override { keyUps.emplace_back(keyCode, shift); }

    std::vector<Times> fadeParms;
    std::vector<std::pair<int, int>> keyUps;
};

class FadeWindowTest : public testsupport::TwipsFixture {
protected:
    FadeWindowTest()
    {
        basic::LangMode = 0;
        parms::TimerInt = 50;
        parms::FOTime = 0;
        parms::FIOffset = 0;
        parms::FITime = 0;
        parms::AutoSel = 0;
    }
    ~FadeWindowTest() override { windows.Unload(); }

    FrmFade& Open()
    {
        windows.Show(nullptr);
        return *windows.Window();
    }
    static Times Stored() { return {parms::FOTime, parms::FIOffset, parms::FITime}; }

    RecordingFadeHost host;
    FadeWindow windows{host};
};

TEST_F(FadeWindowTest, DraggingHandleOneSetsTheFadeOutTimeInWholeTicks)
{
    FrmFade& fade = Open();
    ASSERT_EQ(fade.HandleLeft(1), 3600);
    host.fadeParms.clear();

    // The handle's centre follows the pointer: one pixel (15 twips) inside
    // its left edge moves its left edge to 3540, 120 ms, cut to 100 at 50 ms.
    controls::SurfaceBox& handle = fade.PicturePoint(1);
    dialoginput::Press(handle, 75, 75);
    dialoginput::Drag(handle, 15, 75);
    dialoginput::Release(handle, 15, 75);

    EXPECT_EQ(fade.HandleLeft(1), 3540);
    EXPECT_EQ(parms::FOTime, 100);
    EXPECT_EQ(parms::FIOffset, 100); // handle 2 stayed at 3600
    ASSERT_FALSE(host.fadeParms.empty());
    EXPECT_EQ(host.fadeParms.back(), (Times{100, 100, 0}));

    // A move without the button held drags nothing.
    dialoginput::Send(handle, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, 0, 75);
    EXPECT_EQ(fade.HandleLeft(1), 3540);
}

TEST_F(FadeWindowTest, HandlesKeepTheirOrder)
{
    FrmFade& fade = Open();
    fade.DragHandle(1, 75 - 1000); // fade-out 2000 ms
    fade.DragHandle(0, 75 + 500);  // fade-in 1000 ms
    EXPECT_EQ(Stored(), (Times{2000, 2000, 1000}));

    // Handle 2 to the left carries handle 0: the fade-in keeps its length.
    fade.DragHandle(2, 75 - 400);
    EXPECT_EQ(fade.HandleLeft(2), 3200);
    EXPECT_EQ(fade.HandleLeft(0), 3700);
    EXPECT_EQ(Stored(), (Times{2000, 1200, 1000}));

    // Handle 1 right of handle 2 stops at handle 2.
    fade.DragHandle(1, 75 + 1000);
    EXPECT_EQ(fade.HandleLeft(1), 3200);
    EXPECT_EQ(parms::FIOffset, 0);

    // Handle 2 left of handle 1 stops there; handle 0 stays.
    fade.DragHandle(1, 75 - 600); // handle 1 to 2600
    fade.DragHandle(2, 75 - 2000);
    EXPECT_EQ(fade.HandleLeft(2), 2600);
    EXPECT_EQ(fade.HandleLeft(0), 3700);

    // Handle 0 left of handle 2 stops there.
    fade.DragHandle(0, 75 - 3000);
    EXPECT_EQ(fade.HandleLeft(0), 2600);
    EXPECT_EQ(parms::FITime, 0);
}

TEST_F(FadeWindowTest, HandleOneStopsAtTheEndOfTheFadeOut)
{
    FrmFade& fade = Open();
    fade.DragHandle(2, 75 + 400); // the fade-in starts 800 ms after the fade-out ends
    EXPECT_EQ(fade.HandleLeft(2), 4000);
    fade.DragHandle(1, 75 - 1000);
    fade.DragHandle(1, 75 + 2000); // past 3600, still left of handle 2
    EXPECT_EQ(fade.HandleLeft(1), 3600);
    EXPECT_EQ(parms::FOTime, 0);
    EXPECT_EQ(parms::FIOffset, 800);
}

TEST_F(FadeWindowTest, ADoubleClickSetsAllThreeTimesToZeroAndSendsThem)
{
    parms::FOTime = 1000;
    parms::FIOffset = 400;
    parms::FITime = 2000;
    FrmFade& fade = Open();
    // Opening places the handles from the stored times, which stay.
    EXPECT_EQ(fade.HandleLeft(1), 3100);
    EXPECT_EQ(fade.HandleLeft(2), 3300);
    EXPECT_EQ(fade.HandleLeft(0), 4300);
    EXPECT_EQ(Stored(), (Times{1000, 400, 2000}));
    testsupport::SaveToGallery(fade.grab().toImage(), "fade-window");
    testsupport::SaveToGallery(fade.PictureFade().Picture().Image(), "fade-window-curve", 2);

    host.fadeParms.clear();
    dialoginput::DoubleClick(fade.PictureFade(), 500, 1000);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fade.HandleLeft(i), 3600);
    }
    ASSERT_EQ(host.fadeParms.size(), 1U);
    EXPECT_EQ(host.fadeParms.back(), (Times{0, 0, 0}));
    testsupport::SaveToGallery(fade.grab().toImage(), "fade-window-zero");
}

TEST_F(FadeWindowTest, ALongStoredFadeOutPutsHandleOneLeftOfTheDrawingAndKeepsIt)
{
    parms::FOTime = 9000;
    FrmFade& fade = Open();
    EXPECT_EQ(fade.HandleLeft(1), -900);
    EXPECT_EQ(parms::FOTime, 9000);
}

TEST_F(FadeWindowTest, KeyReleasesGoToTheMainWindowWithTheirShiftStateAndPressesDoNot)
{
    FrmFade& fade = Open();
    dialoginput::Key(fade, QEvent::KeyPress, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_TRUE(host.keyUps.empty());
    dialoginput::Key(fade, QEvent::KeyRelease, Qt::Key_F5, Qt::ShiftModifier);
    dialoginput::Key(fade, QEvent::KeyRelease, Qt::Key_Q, Qt::NoModifier, "q");
    ASSERT_EQ(host.keyUps.size(), 2U);
    EXPECT_EQ(host.keyUps[0], std::make_pair(116, 1)); // F5 with Shift
    EXPECT_EQ(host.keyUps[1], std::make_pair(81, 0));
}

TEST_F(FadeWindowTest, TheCheckBoxSavesAutoSelAtOnce)
{
    FrmFade& fade = Open();
    EXPECT_EQ(fade.CheckAutoSel().Caption(), "モジュール自動選択");
    EXPECT_EQ(fade.Caption(), "クロスフェード設定");
    dialoginput::Click(*fade.CheckAutoSel().findChild<controls::SurfaceBox*>(), 60, 60);
    EXPECT_EQ(parms::AutoSel, 1);
    EXPECT_EQ(basic::GetSetting("AutoSel", "0"), "1");
}

TEST_F(FadeWindowTest, ARightClickOpensAndClosesTheWindowWhichSavesTheTimes)
{
    windows.Toggle(nullptr);
    ASSERT_TRUE(windows.IsOpen());
    windows.Window()->DragHandle(1, 75 - 500);
    windows.Toggle(nullptr);
    EXPECT_FALSE(windows.IsOpen());
    EXPECT_EQ(basic::GetSetting("FOTime", "0"), "1000");
    EXPECT_EQ(basic::GetSetting("FIOffset", "0"), "1000");

    // The close box unloads it as well.
    FrmFade& fade = Open();
    fade.DragHandle(1, 75 + 250);
    fade.close();
    EXPECT_FALSE(windows.IsOpen());
    EXPECT_EQ(basic::GetSetting("FOTime", "0"), "500");
}

} // namespace
