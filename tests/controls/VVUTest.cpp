#include "controls/UC_VVU.h"
#include "foundation/Colors.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

namespace {

using basic::MakeRgb;
using platform::Color;
using platform::Surface;

// A meter 207 px high puts a level at row 207 - its step on the gain curve
// (0 dB is step 207): -10 dB (step 143) at row 64, -20 dB (step 79) at row
// 128, -30 dB (step 43) at row 164. 10 px wide, it is brightest in column 5.
class VuMeter : public testsupport::TwipsFixture {
protected:
    VuMeter()
    {
        meter.resize(10, 207);
        meter.Init();
    }
    Color At(int x, int y) const { return meter.Picture().GetPixel(x, y); }
    // The first row of column 5 that is not the control's background.
    int FirstLitRow() const
    {
        for (int y = 0; y < 207; ++y) {
            if (At(5, y) != background) {
                return y;
            }
        }
        return 207;
    }

    controls::UC_VVU meter;
    const Color background = platform::GetSysColor(platform::ColorBtnFace);
    const Color green = MakeRgb(90, 170, 90);
    const Color red = MakeRgb(170, 90, 90);
    const Color peakGrey = MakeRgb(150, 150, 150);
};

TEST_F(VuMeter, TheLitPictureIsShadedGreenWithRedAboveTheRedPoint)
{
    const Surface& lit = meter.LitPicture();
    ASSERT_EQ(lit.PixelHeight(), 213);
    EXPECT_EQ(lit.GetPixel(5, 128), green);
    EXPECT_EQ(lit.GetPixel(5, 206), green);
    EXPECT_EQ(lit.GetPixel(5, 127), red);
    EXPECT_EQ(lit.GetPixel(5, 0), red);
    // From the edges (50 and 10) to the middle (170 and 90).
    EXPECT_EQ(lit.GetPixel(0, 150), MakeRgb(10, 50, 10));
    EXPECT_EQ(lit.GetPixel(4, 150), MakeRgb(74, 146, 74));
    EXPECT_EQ(lit.GetPixel(9, 150), MakeRgb(26, 74, 26));
    EXPECT_EQ(lit.GetPixel(0, 20), MakeRgb(50, 10, 10));
    // The peak band, grey 30 at the edge to 150 in the middle.
    EXPECT_EQ(lit.GetPixel(5, 207), peakGrey);
    EXPECT_EQ(lit.GetPixel(5, 212), peakGrey);
    EXPECT_EQ(lit.GetPixel(0, 210), MakeRgb(30, 30, 30));
    testsupport::SaveToGallery(lit.Image(), "vvu-lit-picture-redpoint-20", 3);
}

TEST_F(VuMeter, LevelsLightTheColumnFromTheirRowDown)
{
    meter.DrawVU(-30, -120, nullptr, 0, 0);
    EXPECT_EQ(FirstLitRow(), 164);
    EXPECT_EQ(At(5, 205), green);
    EXPECT_EQ(At(5, 206), background) << "the meter's bottom row stays dark";
    meter.DrawVU(-10, -120, nullptr, 0, 0);
    EXPECT_EQ(FirstLitRow(), 64);
    EXPECT_EQ(At(5, 64), red);
    testsupport::SaveToGallery(meter.Picture().Image(), "vvu-level-10db", 3);
}

TEST_F(VuMeter, ALevelAtTheRedPointShowsNoRed)
{
    meter.DrawVU(-20, -120, nullptr, 0, 0);
    EXPECT_EQ(FirstLitRow(), 128);
    EXPECT_EQ(At(5, 128), green);
    meter.DrawVU(-19, -120, nullptr, 0, 0);
    EXPECT_EQ(At(5, FirstLitRow()), red);
    EXPECT_LT(FirstLitRow(), 128);
}

TEST_F(VuMeter, ZeroDecibelsAndAboveFillTheWholeMeter)
{
    meter.DrawVU(0, -120, nullptr, 0, 0);
    EXPECT_EQ(FirstLitRow(), 0);
    const QImage full = meter.Picture().Image();
    meter.DrawVU(6, -120, nullptr, 0, 0);
    EXPECT_EQ(meter.Picture().Image(), full);
    testsupport::SaveToGallery(full, "vvu-level-0db", 3);
}

TEST_F(VuMeter, TheBottomOfTheCurveDrawsNothingAndPeaksLeaveAMark)
{
    meter.DrawVU(-99.9f, -99.9f, nullptr, 0, 0);
    EXPECT_EQ(FirstLitRow(), 207);
    meter.DrawVU(-200, -200, nullptr, 0, 0);
    EXPECT_EQ(FirstLitRow(), 207);

    meter.DrawVU(-120, -10, nullptr, 0, 0);
    EXPECT_EQ(At(5, 63), background);
    EXPECT_EQ(At(5, 64), peakGrey);
    EXPECT_EQ(At(5, 68), peakGrey);
    EXPECT_EQ(At(0, 66), MakeRgb(30, 30, 30));
    testsupport::SaveToGallery(meter.Picture().Image(), "vvu-peak-only-10db", 3);

    meter.DrawVU(-30, -10, nullptr, 0, 0);
    EXPECT_EQ(At(5, 64), peakGrey);
    EXPECT_EQ(At(5, 164), green);
    testsupport::SaveToGallery(meter.Picture().Image(), "vvu-level-30db-peak-10db", 3);
}

TEST_F(VuMeter, IntoACallersPictureOnlyTheLitPartIsDrawn)
{
    Surface panel(40, 230);
    panel.SetBackColor(0x800000);
    meter.DrawVU(-20, -10, &panel, 20, 5);
    EXPECT_EQ(panel.GetPixel(25, 5 + 127), 0x800000);
    EXPECT_EQ(panel.GetPixel(25, 5 + 128), green);
    EXPECT_EQ(panel.GetPixel(25, 5 + 64), peakGrey);
    EXPECT_EQ(panel.GetPixel(19, 5 + 150), 0x800000);
    EXPECT_EQ(panel.GetPixel(30, 5 + 150), 0x800000);
    testsupport::SaveToGallery(panel.Image(), "vvu-into-callers-picture", 3);
}

TEST_F(VuMeter, MergePicAddsAPictureChannelByChannel)
{
    Surface scale(20, 220);
    scale.SetBackColor(MakeRgb(100, 100, 100));
    scale.SetPixelV(8, 152, 0);
    meter.MergePic(&scale, 3, 2);
    EXPECT_EQ(meter.LitPicture().GetPixel(5, 150), green) << "black adds nothing";
    EXPECT_EQ(meter.LitPicture().GetPixel(5, 149), MakeRgb(190, 255, 190));
    EXPECT_EQ(meter.LitPicture().GetPixel(5, 20), MakeRgb(255, 190, 190));
    EXPECT_EQ(meter.LitPicture().GetPixel(5, 206), MakeRgb(190, 255, 190));
    EXPECT_EQ(meter.LitPicture().GetPixel(5, 208), peakGrey) << "the peak band stays as it was";
    meter.MergePic(nullptr, 0, 0);
    Surface tiny(2, 2);
    meter.MergePic(&tiny, 0, 0);
    meter.DrawVU(0, -120, nullptr, 0, 0);
    testsupport::SaveToGallery(meter.Picture().Image(), "vvu-merged", 3);
}

TEST_F(VuMeter, RedPointMovesTheRedBoundary)
{
    meter.SetRedPoint(-10);
    EXPECT_FLOAT_EQ(meter.RedPoint(), -10);
    meter.Init();
    EXPECT_EQ(meter.LitPicture().GetPixel(5, 64), green);
    EXPECT_EQ(meter.LitPicture().GetPixel(5, 63), red);
}

TEST_F(VuMeter, MetersWithoutRoomDrawNothing)
{
    meter.resize(1, 207);
    meter.Init(); // half of one pixel rounds to 0: nothing to shade
    meter.DrawVU(0, 0, nullptr, 0, 0);
    meter.resize(10, 0);
    meter.Init();
    meter.DrawVU(0, 0, nullptr, 0, 0);
    meter.ClearVU();
    SUCCEED();
}

TEST_F(VuMeter, GalleryOfRedPointsAndLevels)
{
    for (const float redPoint : {-20.0f, -6.0f}) {
        controls::UC_VVU shown;
        shown.resize(8, 120);
        shown.SetRedPoint(redPoint);
        shown.Init();
        Surface pair(30, 126);
        pair.SetBackColor(0x202020);
        shown.DrawVU(-3, 0, &pair, 4, 3);
        shown.DrawVU(-14, -8, &pair, 18, 3);
        testsupport::SaveToGallery(pair.Image(), "vvu-pair-redpoint" + std::to_string(static_cast<int>(redPoint)), 4);
    }
}

} // namespace
