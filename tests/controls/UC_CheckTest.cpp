#include "controls/UC_Check.h"
#include "SmallControlsMouse.h"
#include "controls/ApplySkin.h"
#include "controls/SurfaceBox.h"
#include "foundation/Background.h"
#include "platform/SysColors.h"
#include "platform/TwipsGeometry.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace smallcontrols;
using platform::Color;
using platform::GetSysColor;

// 15 twips per pixel: the box is 240 twips (16 pixels) at size rate 1; a
// control 300 twips high puts it (300 - 240) / 30 = 2 pixels from the top.
class Check : public testsupport::TwipsFixture {
protected:
    void Prepare(UC_Check& check, const std::string& caption, int isOption = 0)
    {
        platform::MoveTwips(check, 0, 0, 2000, 300);
        check.SetIsOption(isOption);
        check.SetCaption(caption);
        check.Click = [this, &check] { clicks.push_back(check.Value()); };
    }
    static controls::SurfaceBox& Face(UC_Check& check) { return *check.findChild<controls::SurfaceBox*>("CheckFace"); }
    static QImage Picture(UC_Check& check) { return Face(check).Picture().Image(); }
    static Color At(const QImage& image, int x, int y)
    {
        const QRgb pixel = image.pixel(x, y);
        return platform::Rgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
    }
    static int CountOf(const QImage& image, Color colour, int fromX)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = fromX; x < image.width(); ++x) {
                count += At(image, x, y) == colour ? 1 : 0;
            }
        }
        return count;
    }

    std::vector<int> clicks;
};

TEST_F(Check, ClicksToggleACheckBox)
{
    UC_Check check;
    Prepare(check, "Loop");
    Click(Face(check), {5, 5});
    EXPECT_EQ(check.Value(), 1);
    // The tick runs through (105, 165) twips: pixel (7, 11) below the box top.
    EXPECT_EQ(At(Picture(check), 7, 11 + 2), GetSysColor(platform::ColorBtnText));
    testsupport::SaveToGallery(check.grab().toImage(), "check-set", 4);
    Click(Face(check), {40, 5}, Qt::RightButton); // any button, also on the caption
    EXPECT_EQ(check.Value(), 0);
    check.SetValue(2);
    Click(Face(check), {5, 5});
    EXPECT_EQ(check.Value(), 1) << "anything but 1 becomes 1";
    EXPECT_EQ(clicks, (std::vector<int>{1, 0, 1}));

    // A release away from the control, or without a press, clicks nothing.
    Press(Face(check), {5, 5});
    Release(Face(check), {5, 200});
    Release(Face(check), {5, 5});
    EXPECT_EQ(clicks.size(), 3u);
    testsupport::SaveToGallery(check.grab().toImage(), "check-clear", 4);
}

TEST_F(Check, OptionButtonsStaySetAndStillRaiseClick)
{
    UC_Check option;
    Prepare(option, "Stereo", 1);
    Click(Face(option), {5, 5});
    EXPECT_EQ(option.Value(), 1);
    Click(Face(option), {5, 5});
    EXPECT_EQ(option.Value(), 1);
    DoubleClick(Face(option), {5, 5});
    Release(Face(option), {5, 5});
    EXPECT_EQ(option.Value(), 1);
    EXPECT_EQ(clicks, (std::vector<int>{1, 1, 1}));
    // The dot is centred 105 twips (7 pixels) into the box.
    EXPECT_EQ(At(Picture(option), 7, 2 + 7), GetSysColor(platform::ColorBtnText));
    testsupport::SaveToGallery(option.grab().toImage(), "check-option-set", 4);
}

TEST_F(Check, DisabledIgnoresClicksAndGreysTheCaption)
{
    UC_Check check;
    Prepare(check, "Auto fade");
    const QImage enabled = Picture(check);
    EXPECT_GT(CountOf(enabled, GetSysColor(platform::ColorBtnText), 20), 0);
    check.SetEnabled(false);
    Click(Face(check), {5, 5});
    EXPECT_EQ(check.Value(), 0);
    EXPECT_TRUE(clicks.empty());
    const QImage disabled = Picture(check);
    EXPECT_EQ(CountOf(disabled, GetSysColor(platform::ColorBtnText), 20), 0);
    EXPECT_GT(CountOf(disabled, GetSysColor(platform::ColorBtnShadow), 20), 0);
    testsupport::SaveToGallery(check.grab().toImage(), "check-disabled", 4);
}

TEST_F(Check, SizeRateScalesBoxAndTickButNotTheDot)
{
    UC_Check check;
    check.SetSizeRate(1.5f);
    Prepare(check, "");
    EXPECT_EQ(check.width(), 24) << "a 360-twip box and no caption";
    EXPECT_EQ(check.height(), 24) << "made as high as the box";
    check.SetValue(1);
    // (105, 165) x 1.5 = (158, 248) twips rounded: pixel (10, 16).
    EXPECT_EQ(At(Picture(check), 10, 16), GetSysColor(platform::ColorBtnText));
    testsupport::SaveToGallery(check.grab().toImage(), "check-rate-1.5-set", 4);

    UC_Check option;
    option.SetSizeRate(1.5f);
    Prepare(option, "", 1);
    option.SetValue(1);
    const QImage dot = Picture(option);
    EXPECT_EQ(At(dot, 7, 7), GetSysColor(platform::ColorBtnText));
    EXPECT_NE(At(dot, 12, 12), GetSysColor(platform::ColorBtnText)) << "the dot keeps its 60-twip radius";
    testsupport::SaveToGallery(option.grab().toImage(), "check-option-rate-1.5-set", 4);

    UC_Check low;
    platform::MoveTwips(low, 0, 0, 1000, 90);
    low.SetCaption("Low");
    EXPECT_EQ(low.height(), 16);
}

TEST_F(Check, SharedBoxImageAndBackgroundPicture)
{
    // An owner's painted background, 200 by 100 pixels.
    platform::Surface background(200, 100);
    basic::PaintBackground(background, 2, 0x3050A0, 0xD0E0F0, -1);

    auto first = std::make_unique<UC_Check>();
    Prepare(*first, "First");
    platform::Surface* shared = first->Gradhdc();
    ASSERT_NE(shared, nullptr);
    const Color boxFace = At(Picture(*first), 3, 2 + 14);
    UC_Check second;
    second.SetGradhdc(nullptr); // ignored
    platform::MoveTwips(second, 600, 450, 2000, 300);
    basic::ApplySkin(second, "Second", 1, &background, 9.0f, shared, 1.0f);
    EXPECT_EQ(second.Gradhdc(), shared);
    EXPECT_EQ(second.Value(), 1);
    EXPECT_EQ(second.Caption(), "Second");
    // The box image outlives the check box that made it while others share it.
    first.reset();
    second.Draw();
    const QImage drawn = Picture(second);
    EXPECT_EQ(At(drawn, 3, 2 + 14), boxFace);
    // Right of the caption the control shows the background at its own place
    // (600, 450 twips: 40, 30 pixels).
    const int x = drawn.width() - 1;
    EXPECT_EQ(At(drawn, x, 0), background.GetPixel(40 + x, 30));
    EXPECT_EQ(At(drawn, x, drawn.height() - 1), background.GetPixel(40 + x, 30 + drawn.height() - 1));
    testsupport::SaveToGallery(second.grab().toImage(), "check-over-background", 4);

    second.CloseBGObj();
    second.Draw();
    EXPECT_EQ(At(Picture(second), drawn.width() - 1, 0), GetSysColor(platform::ColorBtnFace));
}

TEST(CheckWithoutScreenScale, BuildsAndDrawsNothing)
{
    const int saved = basic::TwipsPerPixel;
    basic::TwipsPerPixel = 0;
    UC_Check check;
    check.SetCaption("x");
    check.SetValue(1);
    EXPECT_EQ(check.Gradhdc(), nullptr);
    basic::TwipsPerPixel = saved;
}

} // namespace
