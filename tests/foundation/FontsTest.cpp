#include "foundation/Fonts.h"
#include "foundation/Conversions.h"
#include "foundation/PrintCentered.h"
#include "platform/Surface.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <QFontMetrics>
#include <QRawFont>
#include <QWidget>
#include <gmock/gmock.h>

namespace {

using platform::Surface;

class Fonts : public testsupport::TwipsFixture {
protected:
    Fonts()
    {
        basic::FreeFont();
        basic::UIFontFace.clear();
    }
    ~Fonts() override
    {
        basic::FreeFont();
        basic::UIFontFace.clear();
    }

    static const basic::FontCacheEntry& Entry(int index)
    {
        return basic::FontCache().at(static_cast<std::size_t>(index));
    }
    // The cell height in pixels that text of the entry takes on a surface.
    static int CellOn(int index)
    {
        Surface surface(10, 10);
        surface.SetFont(Entry(index).Handle);
        return static_cast<int>(surface.TextHeight("漢")) / basic::TwipsPerPixel;
    }
};

TEST_F(Fonts, NinePointsGiveATwelvePixelCellAtFifteenTwipsPerPixel)
{
    ASSERT_EQ(basic::MakeFont(9.0f, false, false, "ＭＳ Ｐゴシック"), 1);
    EXPECT_EQ(CellOn(0), 12);
    EXPECT_FLOAT_EQ(Entry(0).HeightRatio, 1.0f);

    // 12 x 1.34 = 16.08 for the taller face.
    ASSERT_EQ(basic::MakeFont(9.0f, false, false, "メイリオ"), 1);
    EXPECT_EQ(CellOn(1), 16);
    EXPECT_FLOAT_EQ(Entry(1).HeightRatio, static_cast<float>(1 / 1.34));

    // Ideographs fill their cell in both faces (give or take a pixel of
    // smoothing).
    for (const auto& [index, cell] : {std::pair{0, 12}, {1, 16}}) {
        const double glyph = QFontMetricsF(Entry(index).Handle->face).boundingRect(QChar(U'漢')).height();
        EXPECT_GE(glyph, 0.8 * cell) << cell;
        EXPECT_LE(glyph, cell + 2.0) << cell;
    }
}

TEST_F(Fonts, AtTwelveTwipsPerPixelCellsAndBoldWeightGrow)
{
    basic::TwipsPerPixel = 12;
    ASSERT_EQ(basic::MakeFont(9.0f, true, false, "ＭＳ Ｐゴシック"), 1);
    EXPECT_EQ(CellOn(0), 15);
    EXPECT_EQ(Entry(0).Handle->face.weight(), 875);
    ASSERT_EQ(basic::MakeFont(9.0f, false, false, "メイリオ"), 1);
    EXPECT_EQ(CellOn(1), 20);

    basic::TwipsPerPixel = 15;
    ASSERT_EQ(basic::MakeFont(9.0f, true, true, "ＭＳ Ｐゴシック"), 1);
    EXPECT_EQ(Entry(2).Handle->face.weight(), 700);
    EXPECT_TRUE(Entry(2).Handle->face.italic());
}

TEST_F(Fonts, TheInterfaceFacesHoldKanjiAndKana)
{
    for (const char* face : {"ＭＳ Ｐゴシック", "メイリオ"}) {
        ASSERT_EQ(basic::MakeFont(9.0f, false, false, face), 1) << face;
        const QFont& qtFont = Entry(basic::FontCount() - 1).Handle->face;
        const QFontMetrics metrics(qtFont);
        EXPECT_TRUE(metrics.inFontUcs4(U'漢')) << face;
        EXPECT_TRUE(metrics.inFontUcs4(U'あ')) << face;
        // Held by the face itself, not only by a fallback face.
        EXPECT_TRUE(QRawFont::fromFont(qtFont).supportsCharacter(U'漢')) << face;
        EXPECT_TRUE(QRawFont::fromFont(qtFont).supportsCharacter(U'あ')) << face;
    }
}

// A sheet of the faces the program asks for, each line on its cell (the
// light band), for a person to look at.
TEST_F(Fonts, GallerySheetOfTheFaces)
{
    Surface sheet(420, 130);
    sheet.SetBackColor(0xFFFFFF);
    sheet.SetForeColor(0);
    double y = 150;
    const auto line = [&](float size, bool bold, const char* face, const char* text) {
        const int index = basic::SetControlFont(&sheet, -2, nullptr, size, bold, false, face);
        ASSERT_GE(index, 0) << face;
        const double cell = sheet.TextHeight(text);
        sheet.Line(0, y, 6285, y + cell - 15, 0xF0E0D0, platform::LineShape::FilledBox);
        sheet.SetCurrentX(150);
        sheet.SetCurrentY(y);
        sheet.Print(text);
        y += cell + 150;
    };
    line(9.0f, false, "ＭＳ Ｐゴシック", "ＭＳ Ｐゴシック 9pt 再生 停止 ジングル Output 0:12.5 gjpqy");
    line(9.0f, true, "ＭＳ Ｐゴシック", "ＭＳ Ｐゴシック 9pt 太字 出力 Bold");
    line(9.0f, false, "メイリオ", "メイリオ 9pt 再生 停止 ジングル Output 0:12.5");
    line(20.0f, false, "Impact", "Impact 20pt 01:23:45");
    testsupport::SaveToGallery(sheet.Image(), "fonts", 2);
}

TEST_F(Fonts, AFontThatCannotBeMadeAddsNoEntry)
{
    EXPECT_EQ(basic::MakeFont(0.0f, false, false, "ＭＳ Ｐゴシック"), 0);
    EXPECT_EQ(basic::MakeFont(1.0e30f, false, false, "ＭＳ Ｐゴシック"), 0);
    basic::TwipsPerPixel = 0;
    EXPECT_EQ(basic::MakeFont(9.0f, false, false, "ＭＳ Ｐゴシック"), 0);
    EXPECT_EQ(basic::FontCount(), 0);
    EXPECT_EQ(basic::SetControlFont(nullptr, -2, nullptr, 9.0f, false, false, ""), -3);
}

TEST_F(Fonts, TheSameRequestGivesTheSameIndex)
{
    Surface surface(10, 10);
    const int first = basic::SetControlFont(&surface, -2, nullptr, 12.0f, true, false, "ＭＳ Ｐゴシック");
    EXPECT_EQ(first, 1) << "entry 0 is the interface font";
    EXPECT_EQ(basic::FontCount(), 2);
    EXPECT_EQ(surface.Font(), Entry(first).Handle);

    EXPECT_EQ(basic::SetControlFont(&surface, -2, nullptr, 12.0f, true, false, "ＭＳ Ｐゴシック"), first);
    EXPECT_EQ(basic::FontCount(), 2);
    // Only italic differs: a font of its own.
    EXPECT_EQ(basic::SetControlFont(&surface, -2, nullptr, 12.0f, true, true, "ＭＳ Ｐゴシック"), 2);
    // No size and no face: the interface font at 9 points.
    EXPECT_EQ(basic::SetControlFont(&surface, -2, nullptr, 0.0f, false, false, ""), 0);
    EXPECT_EQ(basic::SetControlFont(&surface, -2, nullptr, -4.0f, false, false, "ＭＳ Ｐゴシック"), 0);
    EXPECT_EQ(Entry(0).FaceName, "ＭＳ Ｐゴシック");
    EXPECT_FLOAT_EQ(Entry(0).Size, 9.0f);
    EXPECT_EQ(basic::FontCount(), 3);

    // A kept index applies that entry again, whatever else is passed.
    EXPECT_EQ(basic::SetControlFont(&surface, first, nullptr, 40.0f, false, true, "Impact"), first);
    EXPECT_EQ(surface.Font(), Entry(first).Handle);
    EXPECT_EQ(basic::SetControlFont(&surface, 3, nullptr, 9.0f, false, false, ""), -3);
    EXPECT_EQ(basic::SetControlFont(&surface, -3, nullptr, 9.0f, false, false, ""), -3);
    EXPECT_EQ(basic::FontCount(), 3);
}

TEST_F(Fonts, TheInterfaceFaceCanBeTheTallFace)
{
    basic::UIFontFace = "メイリオ";
    QWidget window;
    EXPECT_EQ(basic::SetControlFont(&window, -2, nullptr, 0.0f, false, false, ""), 0);
    EXPECT_EQ(Entry(0).FaceName, "メイリオ");
    EXPECT_EQ(window.font(), Entry(0).Handle->face);
}

class FontOfAControl final : public basic::FontedControl {
public:
    explicit FontOfAControl(platform::FontTarget* target) : target_(target) {}
    float FontSize() const override { return 14.0f; }
    bool FontBold() const override { return true; }
    bool FontItalic() const override { return false; }
    std::string FontName() const override { return "Impact"; }
    platform::FontWindow FontWindow() const override { return target_; }

private:
    platform::FontTarget* target_;
};

TEST_F(Fonts, ModeMinusOneTakesTheControlsOwnFontAndWindow)
{
    Surface own(10, 10);
    Surface other(10, 10);
    const FontOfAControl control(&own);
    const int index = basic::SetControlFont(&other, -1, &control, 9.0f, false, false, "");
    ASSERT_EQ(index, 1);
    EXPECT_EQ(Entry(index).FaceName, "Impact");
    EXPECT_FLOAT_EQ(Entry(index).Size, 14.0f);
    EXPECT_TRUE(Entry(index).Bold);
    EXPECT_EQ(own.Font(), Entry(index).Handle);
    EXPECT_NE(other.Font(), Entry(index).Handle);
    EXPECT_EQ(basic::SetControlFont(&other, -1, nullptr, 9.0f, false, false, ""), -3);
}

TEST_F(Fonts, FreeingEmptiesTheTableAndTheNextRequestRebuildsTheDefault)
{
    basic::SetControlFont(nullptr, -2, nullptr, 20.0f, false, false, "");
    EXPECT_EQ(basic::FontCount(), 2);
    basic::FreeFont();
    EXPECT_EQ(basic::FontCount(), 0);
    EXPECT_EQ(basic::SetControlFont(nullptr, 1, nullptr, 0.0f, false, false, ""), -3);
    EXPECT_EQ(basic::FontCount(), 1);
    EXPECT_FLOAT_EQ(Entry(0).Size, 9.0f);
}

TEST_F(Fonts, ASurfaceMeasuresTextForFittingCaptions)
{
    Surface surface(10, 10);
    ASSERT_GE(basic::SetControlFont(&surface, -2, nullptr, 12.0f, false, false, ""), 0);
    const double three = surface.TextWidth("漢字漢");
    EXPECT_EQ(basic::FitTextToWidth("漢字漢字漢字", surface, three, 0), "漢字漢");
    EXPECT_EQ(basic::FitTextToWidth("漢字漢字漢字", surface, three, 1), "字漢字");
    EXPECT_EQ(basic::FitTextToWidth("漢字", surface, three, 0), "漢字");
}

TEST_F(Fonts, CaptionsArePlacedBesideTheirControl)
{
    Surface surface(300, 200);
    surface.SetBackColor(0xFFFFFF);
    ASSERT_GE(basic::SetControlFont(&surface, -2, nullptr, 9.0f, false, false, ""), 0);
    const basic::ControlBounds box{1500, 900, 1200, 600};
    const double tw = surface.TextWidth("音量");
    const double th = surface.TextHeight("音量");
    const double line = th;

    // The print position moves a line down after printing, so the caption's
    // place is where it started: one line above where it ends.
    const auto placed = [&](int position, int dx, int dy) {
        basic::PrintCentered(surface, box, "音量", position, dx, dy);
        return std::pair{surface.CurrentX(), surface.CurrentY() - line};
    };
    EXPECT_EQ(placed(0, 0, 0).second, 960);
    EXPECT_EQ(placed(1, 0, 0).second, 900 - th - 30);
    EXPECT_EQ(placed(4, 0, 0).second, 1530);
    EXPECT_EQ(placed(5, 15, -15).second, 1515);
    EXPECT_EQ(placed(6, 0, 0).second, 900 + (600 - th) / 2);
    EXPECT_EQ(placed(7, 0, 45).second, 900 + (600 - th) / 2 + 45);

    // Horizontal places, seen in the pixels: text left of, above the middle
    // of, and right of the control.
    const auto inkedColumns = [&](int position) {
        surface.Cls();
        basic::PrintCentered(surface, box, "音量", position, 0, 0);
        int first = 300;
        int last = -1;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 300; ++x) {
                if (surface.GetPixel(x, y) != 0xFFFFFF) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
            }
        }
        return std::pair{first, last};
    };
    const int twPx = static_cast<int>(tw / 15);
    const auto left = inkedColumns(0);
    EXPECT_GE(left.first, (1500 - 90) / 15 - twPx - 1);
    EXPECT_LE(left.second, (1500 - 90) / 15);
    const auto centred = inkedColumns(3);
    EXPECT_NEAR((centred.first + centred.second) / 2.0, (1500 + 600) / 15.0, 2);
    const auto right = inkedColumns(2);
    EXPECT_GE(right.first, (1500 + 1200 + 30) / 15);
    testsupport::SaveToGallery(surface.Image(), "caption-right", 2);

    // Another position prints at the print position as it stands.
    surface.SetCurrentX(150);
    surface.SetCurrentY(300);
    basic::PrintCentered(surface, box, "音量", 9, 500, 500);
    EXPECT_EQ(surface.CurrentY(), 300 + line);
}

} // namespace
