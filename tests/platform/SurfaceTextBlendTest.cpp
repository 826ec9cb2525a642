// Printed text is blended from kept glyph coverage and colours learnt from the
// raster engine; every pixel must be the one the engine itself draws, on any
// background, in any colour and font, the first time and every time after.
#include "platform/FontCreation.h"
#include "platform/GlyphBlend.h"
#include "platform/Surface.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

#include <QPainter>
#include <QTextLayout>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using platform::Color;
using platform::FontHandle;
using platform::Surface;

class SurfaceTextBlend : public testsupport::TwipsFixture {};

QRgb ToQRgb(Color color)
{
    return qRgb(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

// Backgrounds with many colours below the glyphs: a two-way gradient and
// seeded noise.
QImage Background(int kind, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (kind == 0) {
                row[x] = qRgb((x * 255) / width, (y * 255) / height, 255 - (x + y) % 256);
            } else {
                seed = seed * 1664525u + 1013904223u;
                row[x] = 0xFF000000u | (seed >> 8);
            }
        }
    }
    return image;
}

// What the engine draws for one line printed at (x, top) in whole pixels.
void EngineLine(QImage& image, const platform::Font& font, Color color, int x, int top, const std::string& line)
{
    QTextLayout layout(QString::fromStdString(line), font.face);
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    textLine.setLineWidth(1e9);
    textLine.setPosition(QPointF(0, 0));
    layout.endLayout();
    QPainter painter(&image);
    painter.setPen(QColor(ToQRgb(color)));
    const QPointF origin(x, top + font.ascent - textLine.ascent());
    for (const QGlyphRun& run : layout.glyphRuns()) {
        painter.drawGlyphRun(origin, run);
    }
}

TEST_F(SurfaceTextBlend, PrintedTextHasThePixelsTheEngineDraws)
{
    const std::array<FontHandle, 5> fonts{
        platform::CreateFontIndirect({12, 0, false, 128, "ＭＳ Ｐゴシック"}),
        platform::CreateFontIndirect({16, 700, false, 128, "ＭＳ Ｐゴシック"}),
        platform::CreateFontIndirect({9, 0, true, 0, "DejaVu Sans"}),
        platform::CreateFontIndirect({20, 0, false, 0, "Impact"}),
        // Large enough for the engine to fill outlines instead of cached glyphs.
        platform::CreateFontIndirect({80, 0, false, 128, "ＭＳ Ｐゴシック"}),
    };
    const std::array<Color, 4> colors{0xFFFFFF, 0x000000, 0x3030C0, 0x12AB7F};
    const std::vector<std::string> texts{"オープニングテーマ 朝の番組 12", "AVATAR To Wa fi ffl", "0:30 LOOP",
                                         "上\n下 two lines", "Jingle 朝"};
    for (int kind = 0; kind < 2; ++kind) {
        for (const FontHandle& font : fonts) {
            ASSERT_NE(font, nullptr);
            for (const Color color : colors) {
                const QImage start = Background(kind, 160, 120);
                Surface surface;
                surface.SetPicture(start);
                surface.SetFont(font);
                surface.SetForeColor(color);
                QImage expected = start.copy();
                // Each text at several places, partly off the picture, so the
                // same glyphs meet other colours below; later prints reuse
                // what the first ones learnt.
                const std::array<std::pair<int, int>, 5> places{{{2, 1}, {7, 30}, {-5, 61}, {120, 90}, {3, -4}}};
                for (const std::string& text : texts) {
                    for (const auto& [x, top] : places) {
                        surface.SetCurrentX(x * 15.0);
                        surface.SetCurrentY(top * 15.0);
                        surface.Print(text);
                        // Lines after the first start at the left edge.
                        int lineX = x;
                        int lineTop = top;
                        std::size_t from = 0;
                        while (true) {
                            const std::size_t end = text.find('\n', from);
                            const std::string line = text.substr(from, end == std::string::npos ? end : end - from);
                            if (!line.empty()) {
                                EngineLine(expected, *font, color, lineX, lineTop, line);
                            }
                            lineX = 0;
                            lineTop += font->cellHeight;
                            if (end == std::string::npos) {
                                break;
                            }
                            from = end + 1;
                        }
                        ASSERT_EQ(surface.Image(), expected)
                            << "background " << kind << ", cell " << font->cellHeight << ", colour " << std::hex
                            << color << ", text \"" << text << "\" at " << std::dec << x << ", " << top;
                    }
                }
            }
        }
    }
    EXPECT_FALSE(platform::GlyphColoursContradicted());
}

TEST_F(SurfaceTextBlend, AShapeKeptFromBeforeManyOtherFontsStillDrawsInItsOwnFont)
{
    const FontHandle font = platform::CreateFontIndirect({12, 0, false, 128, "ＭＳ Ｐゴシック"});
    const std::string text = "朝の番組 Jingle";
    const QImage start = Background(0, 120, 40);
    Surface first;
    first.SetPicture(start);
    first.SetFont(font);
    first.SetForeColor(0xFFFFFF);
    first.Print(text);
    QTextLayout layout(QString::fromStdString(text), font->face);
    layout.beginLayout();
    layout.createLine().setLineWidth(1e9);
    layout.endLayout();
    const platform::PlacedGlyphs placed = platform::PlaceGlyphs(layout.glyphRuns(), QPointF(0, 0.5));
    ASSERT_TRUE(placed.blendable);
    EXPECT_TRUE(platform::PlacementCurrent(placed));

    // More fonts than are kept, each printed in the same colour on the same
    // picture: the kept fonts are let go and met again in another order.
    for (int cell = 6; cell < 90; ++cell) {
        Surface other;
        other.SetPicture(start);
        other.SetForeColor(0xFFFFFF);
        other.SetFont(platform::CreateFontIndirect({cell, 0, cell % 2 == 0, 0, "DejaVu Sans"}));
        other.Print(text);
        other.SetFont(platform::CreateFontIndirect({9, 0, true, 0, "DejaVu Sans"}));
        other.Print(text);
    }

    // A placement made before names fonts by places that now hold others.
    EXPECT_FALSE(platform::PlacementCurrent(placed));
    EXPECT_TRUE(platform::PlacementCurrent(platform::PlaceGlyphs(layout.glyphRuns(), QPointF(0, 0.5))));

    Surface again;
    again.SetPicture(start);
    again.SetFont(font);
    again.SetForeColor(0xFFFFFF);
    again.Print(text);
    QImage expected = start.copy();
    EngineLine(expected, *font, 0xFFFFFF, 0, 0, text);
    EXPECT_EQ(again.Image(), expected);
    EXPECT_EQ(first.Image(), expected);
    EXPECT_FALSE(platform::GlyphColoursContradicted());
}

TEST_F(SurfaceTextBlend, TextOnAPictureWithoutPixelsIsSkipped)
{
    Surface empty(0, 0);
    empty.SetForeColor(0xFFFFFF);
    empty.Print("朝の番組");
    EXPECT_EQ(empty.CurrentY(), empty.TextHeight("朝"));
}

} // namespace
