#include "MouseTwips.h"
#include "PictureProbe.h"
#include "controls/UC_TextPicture.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using platform::Color;
using Report = std::tuple<int, bool, int>; // mouse button, down, text space

constexpr Color grey = 0x808080;
constexpr Color greyLit = 0x9E9E9E; // grey lightened by 30 a channel

class TextPanel : public testsupport::TwipsFixture {
protected:
    TextPanel()
    {
        panel.resize(200, 24);
        panel.SetColorEx(grey, 0x000000, 0);
        panel.MouseUD = [this](int& button, bool& isDown, int& index) { reports.emplace_back(button, isDown, index); };
    }
    QRect Ink(const QRect& area) const
    {
        const Color back = panel.Picture().BackColor();
        return pictureprobe::Extent(panel.Picture(), area, [back](Color c) {
            return c != back && c != platform::ResolveColor(platform::SystemColor(platform::ColorBtnShadow)) &&
                   c != 0xFFFFFF && c != platform::GetSysColor(platform::Color3dLight);
        });
    }
    int Count(Color colour) const { return pictureprobe::Count(panel.Picture(), QRect(0, 0, 200, 24), colour); }

    controls::UC_TextPicture panel;
    std::vector<Report> reports;
};

TEST_F(TextPanel, DispMesRedrawsOnlyForAChangedText)
{
    panel.AddTextSpace(9, true, false, "", 60, -1);
    panel.Init(0, 0);
    panel.DispMes(0, "ON AIR", 0);
    panel.Draw(0);
    const QImage highlighted = panel.Picture().Image();
    ASSERT_GT(Count(greyLit), 0);
    panel.DispMes(0, "ON AIR", 0);
    EXPECT_EQ(panel.Picture().Image(), highlighted) << "a redraw would have dropped the highlight";
    panel.DispMes(0, "OFF", 1);
    EXPECT_EQ(panel.Picture().Image(), highlighted);
    EXPECT_EQ(panel.TextMes(0), "OFF");
    panel.DispMes(0, "STANDBY", 0);
    EXPECT_EQ(Count(greyLit), 0);
    EXPECT_GT(Count(grey), 0);

    panel.DispMes(1, "nowhere", 0);
    panel.DispMes(-1, "nowhere", 0);
    EXPECT_EQ(panel.TextMes(1), "");
    EXPECT_EQ(panel.TextMes(-1), "");
}

TEST_F(TextPanel, AHighlightLightensTheTextOrMakesASystemColourWhite)
{
    panel.AddTextSpace(9, true, false, "", 60, -1);
    panel.AddTextSpace(9, true, false, "", 1500, -1);
    panel.Init(0, 0);
    panel.DispMes(0, "KEY", 0);
    panel.DispMes(1, "FADE", 0);
    panel.Draw(1);
    EXPECT_GT(Count(greyLit), 0);
    EXPECT_TRUE(Ink(QRect(0, 0, 100, 24)).isValid());
    EXPECT_EQ(pictureprobe::Count(panel.Picture(), QRect(0, 0, 100, 24), greyLit), 0) << "only space 1 is lit";
    testsupport::SaveToGallery(panel.Picture().Image(), "textpicture-design0-highlight1", 3);
    panel.Draw(-1);
    EXPECT_EQ(Count(greyLit), 0) << "the next draw starts from the panel's own colour";

    panel.SetColorEx(platform::SystemColor(platform::ColorWindowText), 0xC0C0C0, 1);
    const int whiteBefore = Count(0xFFFFFF);
    panel.Draw(0);
    EXPECT_GT(Count(0xFFFFFF), whiteBefore);
}

TEST_F(TextPanel, ALongTextIsShortenedAndACentredOneNeverStartsLeftOfTheMargin)
{
    panel.resize(60, 24);
    panel.AddTextSpace(9, false, false, "", -1, -1);
    panel.Init(0, 0);
    panel.DispMes(0, "Opening theme of the morning show", 0);
    const QRect ink = Ink(QRect(2, 2, 56, 20));
    testsupport::SaveToGallery(panel.Picture().Image(), "textpicture-design0-shortened", 4);
    ASSERT_TRUE(ink.isValid());
    EXPECT_GE(ink.left(), 4);
    EXPECT_LE(ink.right(), 56);

    panel.SetIsFlat(1);
    panel.Draw(-1);
    EXPECT_EQ(panel.Picture().GetPixel(0, 0), 0x000000) << "a flat panel has no edge";
    EXPECT_GE(Ink(QRect(0, 0, 60, 24)).left(), 2);
    EXPECT_LE(Ink(QRect(0, 0, 60, 24)).right(), 58);
}

TEST_F(TextPanel, TheSpaceAboveLeftOfTheClickAndFurthestDownRightIsHit)
{
    // Given tops 30 and 200 are kept one pixel lower: 45 and 215 twips.
    panel.resize(200, 30);
    panel.AddTextSpace(9, false, false, "", 60, 30);
    panel.AddTextSpace(9, false, false, "", 1500, 30);
    panel.AddTextSpace(9, false, false, "", 60, 200);
    panel.Init(0, 0);
    mousetwips::Click(panel, 100, 100);
    mousetwips::Click(panel, 1600, 100);
    mousetwips::Click(panel, 100, 300);
    mousetwips::Click(panel, 1600, 300);
    mousetwips::Click(panel, 60, 300, Qt::RightButton);
    EXPECT_EQ(reports, (std::vector<Report>{{1, true, 0},
                                            {1, false, 0},
                                            {1, true, 1},
                                            {1, false, 1},
                                            {1, true, 2},
                                            {1, false, 2},
                                            {1, true, 1},
                                            {1, false, 1},
                                            {2, true, 0},
                                            {2, false, 0}}));
}

TEST_F(TextPanel, APanelOfCentredSpacesReportsSpaceZero)
{
    panel.AddTextSpace(9, false, false, "", -1, -1);
    panel.AddTextSpace(9, false, false, "", -1, 200);
    mousetwips::Click(panel, 2900, 340);
    EXPECT_EQ(reports, (std::vector<Report>{{1, true, 0}, {1, false, 0}}));
}

TEST_F(TextPanel, AClickableSpaceIsLitWhileTheMouseHoldsIt)
{
    panel.AddTextSpace(9, true, false, "", 60, -1);
    panel.AddTextSpace(9, true, false, "", 1500, -1);
    panel.UseClick(1, 1);
    panel.UseClick(9, 1);
    panel.Init(0, 0);
    panel.DispMes(0, "PAGE", 0);
    panel.DispMes(1, "3", 0);
    mousetwips::Press(panel, 100, 200);
    EXPECT_EQ(Count(greyLit), 0) << "space 0 is not clickable";
    mousetwips::Release(panel, 100, 200);
    mousetwips::Press(panel, 1600, 200);
    EXPECT_GT(Count(greyLit), 0);
    testsupport::SaveToGallery(panel.Picture().Image(), "textpicture-design0-clicked", 3);
    mousetwips::Release(panel, 1600, 200);
    EXPECT_EQ(Count(greyLit), 0);
    mousetwips::Press(panel, 1600, 200);
    mousetwips::Release(panel, 100, 200);
    mousetwips::Release(panel, 1600, 200);
    EXPECT_EQ(reports, (std::vector<Report>{
                           {1, true, 0}, {1, false, 0}, {1, true, 1}, {1, false, 1}, {1, true, 1}, {1, false, 0}}))
        << "the release is judged where it happens, and reported once";
}

TEST_F(TextPanel, ADoubleClickIsAPressOnSpaceZeroUnlessDoubleClicksAreWanted)
{
    int doubles = 0;
    panel.DblClicked = [&] { ++doubles; };
    panel.AddTextSpace(9, false, false, "", 60, -1);
    panel.AddTextSpace(9, false, false, "", 1500, -1);
    mousetwips::Click(panel, 1600, 200);
    mousetwips::DoubleClick(panel, 1600, 200);
    mousetwips::Release(panel, 1600, 200);
    EXPECT_EQ(reports, (std::vector<Report>{{1, true, 1}, {1, false, 1}, {1, true, 0}, {1, false, 1}}));
    EXPECT_EQ(doubles, 0);

    reports.clear();
    panel.SetUseDblClick(1);
    mousetwips::DoubleClick(panel, 1600, 200);
    EXPECT_EQ(doubles, 1);
    EXPECT_TRUE(reports.empty());
}

TEST_F(TextPanel, ALockedPanelIsSilentAndRefusesDrops)
{
    std::vector<std::string> dropped;
    double dropX = 0;
    panel.OLEDragDrop = [&](platform::DragData& data, int&, int&, int&, double& x, double&) {
        dropped = data.Files();
        dropX = x;
    };
    EXPECT_TRUE(mousetwips::DropFiles(*panel.hWnd(), {"/sounds/list.tlv"}, QPoint(20, 10)));
    EXPECT_EQ(dropped, std::vector<std::string>{"/sounds/list.tlv"});
    EXPECT_DOUBLE_EQ(dropX, 300);

    dropped.clear();
    panel.SetLocked(1);
    EXPECT_FALSE(mousetwips::DropFiles(*panel.hWnd(), {"/sounds/list.tlv"}, QPoint(20, 10)));
    EXPECT_TRUE(dropped.empty());
    mousetwips::Click(panel, 100, 100);
    EXPECT_TRUE(reports.empty());
    panel.SetLocked(0);
    mousetwips::Release(panel, 100, 100);
    EXPECT_TRUE(reports.empty()) << "a release without a press";
}

TEST_F(TextPanel, ColourSetsArePaintedOnceAndShownByIndex)
{
    for (int n = 0; n <= 5; ++n) {
        panel.AddStdColorSet(n);
    }
    panel.AddStdColorSet(6);
    panel.AddTextSpace(12, true, false, "", -1, -1);
    panel.Init(2, 0);
    panel.DispMes(0, "ON AIR", 0);
    std::vector<QImage> shown;
    constexpr std::array<Color, 6> foreColours{0x909090, 0xD0B0B0, 0xB0B0D0, 0xB0D0B0, 0xE0E0E0, 0x90B0E0};
    for (int set = 0; set <= 5; ++set) {
        panel.SetColor(set, 1);
        shown.push_back(panel.Picture().Image());
        EXPECT_GT(Count(foreColours[static_cast<std::size_t>(set)]), 0) << set;
        testsupport::SaveToGallery(shown.back(), "textpicture-colorset-" + std::to_string(set), 3);
        panel.Draw(0);
        testsupport::SaveToGallery(panel.Picture().Image(), "textpicture-colorset-" + std::to_string(set) + "-lit", 3);
    }
    EXPECT_NE(shown[1], shown[2]);
    panel.SetColor(6, 1);
    EXPECT_EQ(panel.Picture().Image(), shown[5]) << "there is no set 6";

    panel.ResetMe();
    EXPECT_EQ(panel.TextMes(0), "");
    panel.AddTextSpace(9, false, false, "", 60, -1);
    panel.Init(0, 0);
    EXPECT_EQ(panel.Picture().GetPixel(0, 0), platform::GetSysColor(platform::ColorBtnShadow))
        << "back to design 0 with its sunken edge";
}

TEST_F(TextPanel, PlainPanelsTakeTheColoursOfAScheme)
{
    panel.AddTextSpace(9, true, false, "", -1, -1);
    panel.Init(0, 0);
    panel.DispMes(0, "TIMER", 0);
    panel.SetColor(3, 1); // white on red
    EXPECT_EQ(panel.Picture().GetPixel(10, 10), 0x0000FF);
    const QRect ink =
        pictureprobe::Extent(panel.Picture(), QRect(2, 2, 196, 20), [](Color c) { return c == 0xFFFFFF; });
    EXPECT_NEAR(ink.center().y(), 12, 3) << "a top of -1 centres the text";
    EXPECT_NEAR(ink.center().x(), 100, 4);
    testsupport::SaveToGallery(panel.Picture().Image(), "textpicture-design0-scheme3", 3);
    for (int scheme = 0; scheme <= 6; ++scheme) {
        panel.SetColor(scheme, 1);
        testsupport::SaveToGallery(panel.Picture().Image(), "textpicture-design0-scheme" + std::to_string(scheme), 3);
    }
}

} // namespace
