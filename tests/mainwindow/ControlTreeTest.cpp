// The window's design nesting and the run-time elements of its control arrays.
#include "mainwindow/FrmMain.h"

#include "support/FakePorts.h"
#include "support/TwipsFixture.h"

#include <gtest/gtest.h>

namespace {

class ControlTree : public testsupport::TwipsFixture {
protected:
    FrmMain window;
};

TEST_F(ControlTree, DesignElementsSitInTheirContainers)
{
    EXPECT_EQ(window.PictureAll->parentWidget(), &window);
    for (QWidget* inAll : std::initializer_list<QWidget*>{window.PicturePage(0), window.PictureModule(0),
                                                          window.PictureLEDs(0), window.PictureCurrent(0),
                                                          window.CtrlButton(0), window.LV(0), window.TolvButton(0)}) {
        EXPECT_EQ(inAll->parentWidget(), window.PictureAll);
    }
    EXPECT_EQ(window.TextPage(0)->parentWidget(), window.PicturePage(0));
    EXPECT_EQ(window.PageButtons(0)->parentWidget(), window.PicturePage(0));
    for (QWidget* inStrip : std::initializer_list<QWidget*>{
             window.PictureVU(0), window.PicCounter(0), window.VolSlider(0), window.PanSlider(0), window.SpeedSlider(0),
             window.ProgBar(0), window.PlayButtons(0)}) {
        EXPECT_EQ(inStrip->parentWidget(), window.PictureModule(0));
    }
    EXPECT_EQ(window.VUR(0)->parentWidget(), window.PictureVU(0));
    EXPECT_EQ(window.VUL(0)->parentWidget(), window.PictureVU(0));
    for (QWidget* label :
         std::initializer_list<QWidget*>{window.TextFade(0), window.TextAir(0), window.TextKey(0), window.TextSTBY(0),
                                         window.TextShell(0), window.TextTimer(0)}) {
        EXPECT_EQ(label->parentWidget(), window.PictureLEDs(0));
    }
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{window.PictureGrad, window.PictureSel(0), window.PictureSel(1),
                                         window.PictureTolv2, window.PictureTolv(0), window.PictureScreen}) {
        EXPECT_EQ(hidden->parentWidget(), &window);
        EXPECT_TRUE(hidden->isHidden());
    }
}

TEST_F(ControlTree, LoadedElementsGoIntoTheirContainerAndShow)
{
    window.PictureAll->show();
    window.show();
    ASSERT_TRUE(window.LoadControlInto(window.PicturePage, 1, *window.PictureAll));
    ASSERT_TRUE(window.LoadControlInto(window.TextPage, 1, *window.PicturePage(1)));
    EXPECT_EQ(window.TextPage(1)->parentWidget(), window.PicturePage(1));
    EXPECT_TRUE(window.TextPage(1)->isVisible());
    // An element that exists already is a failure for the caller.
    EXPECT_FALSE(window.LoadControlInto(window.TextPage, 1, *window.PicturePage(1)));
}

TEST_F(ControlTree, UnloadingRemovesEveryRunTimeElementAndKeepsTheDesign)
{
    for (int i = 1; i <= 31; ++i) {
        ASSERT_TRUE(window.LoadControlInto(window.TolvButton, i, *window.PictureAll));
    }
    for (int i = 1; i <= 3; ++i) {
        window.LoadControlInto(window.PicturePage, i, *window.PictureAll);
        window.LoadControlInto(window.TextPage, i, *window.PicturePage(i));
        window.LoadControlInto(window.LV, i, *window.PictureAll);
        window.LoadControlInto(window.PictureLEDs, i, *window.PictureAll);
        window.LoadControlInto(window.TextTimer, i, *window.PictureLEDs(i));
    }
    for (int i = 1; i <= 11; ++i) {
        window.LoadControlInto(window.PictureModule, i, *window.PictureAll);
        window.LoadControlInto(window.PictureVU, i, *window.PictureModule(i));
        window.LoadControlInto(window.VUL, i, *window.PictureVU(i));
        window.LoadControlInto(window.VolSlider, i, *window.PictureModule(i));
    }
    window.UnloadDynamicControls();
    for (int i = 1; i <= 399; ++i) {
        ASSERT_FALSE(window.TolvButton.Exists(i)) << i;
    }
    EXPECT_EQ(window.TextPage.UBound(), 0);
    EXPECT_EQ(window.PicturePage.UBound(), 0);
    EXPECT_EQ(window.LV.UBound(), 0);
    EXPECT_EQ(window.TextTimer.UBound(), 0);
    EXPECT_EQ(window.PictureModule.UBound(), 0);
    EXPECT_EQ(window.VUL.UBound(), 0);
    EXPECT_EQ(window.VolSlider.UBound(), 0);
    EXPECT_TRUE(window.TolvButton.Exists(0));
    EXPECT_TRUE(window.PicturePage.Exists(0));
}

TEST_F(ControlTree, UnloadingOnlyTheDesignRemovesNothing)
{
    window.UnloadDynamicControls();
    EXPECT_TRUE(window.TolvButton.Exists(0));
    EXPECT_EQ(window.UnloadControl(window.TolvButton, 0), 0);
    EXPECT_EQ(window.UnloadControl(window.TolvButton, 5), 0);
    ASSERT_TRUE(window.LoadControlInto(window.TolvButton, 5, *window.PictureAll));
    EXPECT_EQ(window.UnloadControl(window.TolvButton, 5), 1);
}

TEST_F(ControlTree, MenuArraysGrowInTheirMenusInOrder)
{
    EXPECT_EQ(window.MenuFile->UBound(), 0);
    ASSERT_TRUE(window.MenuFile->Load(1));
    ASSERT_TRUE(window.MenuFile->Load(2));
    const QList<QAction*> items = window.MenuFileP->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[1], window.MenuFile->At(1));
    EXPECT_EQ(items[2], window.MenuFile->At(2));
    int clicked = -1;
    window.MenuFile->Click = [&](int index) { clicked = index; };
    window.MenuFile->At(2)->trigger();
    EXPECT_EQ(clicked, 2);
    // The button menu's items all stand in the design.
    EXPECT_EQ(window.MenuRCButtonFile->UBound(), 1);
    EXPECT_EQ(window.MenuRCButtonFCT->UBound(), 3);
    EXPECT_EQ(window.MenuRCButtonMode->UBound(), 3);
    EXPECT_EQ(window.MenuRCButtonColor->UBound(), 2);
}

TEST_F(ControlTree, EventsOfEveryElementReachTheirHandlersWithTheElementsIndex)
{
    testsupport::FakePorts ports;
    window.Ports = ports.Wire();
    ASSERT_TRUE(window.LoadControlInto(window.TolvButton, 7, *window.PictureAll));
    ASSERT_TRUE(window.LoadControlInto(window.PageButtons, 2, *window.PictureAll));
    ASSERT_TRUE(window.LoadControlInto(window.TextSTBY, 3, *window.PictureAll));

    int button = 2;
    bool isDown = false;
    int area = 1;
    window.TolvButton(7)->MouseUD(button, isDown, area);
    window.TolvButton(0)->MouseUD(button, isDown, area);
    int page = 4;
    window.PageButtons(2)->ButtonClicked(page);
    window.PageButtons(2)->RightClicked(page);
    int left = 1;
    int panel = 0;
    window.TextSTBY(3)->MouseUD(left, isDown, panel);
    window.TextFade(0)->MouseUD(left, isDown, panel);
    double x = 10;
    double y = 20;
    window.LV(0)->RightClicked(x, y);
    window.SpeedSlider(0)->Scrolled(1);

    EXPECT_EQ(ports.Log.Calls(),
              (std::vector<std::string>{"TolvButton_MouseUD 7 2 0 1", "TolvButton_MouseUD 0 2 0 1",
                                        "PageButtons_ButtonClicked 2 4", "PageButtons_RightClicked 2 4",
                                        "TextSTBY_MouseUD 3 1 0 0", "TextFade_MouseUD 0 1 0 0", "LV_RightClicked 0",
                                        "SpeedSlider_Scrolled 0 1"}));
}

} // namespace
