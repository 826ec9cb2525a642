#include "platform/FontCreation.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>
#include <gmock/gmock.h>

namespace {

using testing::HasSubstr;

// The font the face draws with itself, without Qt's fallback faces.
bool OwnGlyph(const QFont& face, char32_t character)
{
    return QRawFont::fromFont(face).supportsCharacter(character);
}

TEST(FontCreation, TheJapaneseInterfaceFacesDrawKanjiAndKana)
{
    for (const std::string face : {"ＭＳ Ｐゴシック", "メイリオ"}) {
        const platform::FontHandle font = platform::CreateFontIndirect({12, 0, false, 128, face});
        ASSERT_NE(font, nullptr) << face;
        EXPECT_THAT(QFontInfo(font->face).family().toStdString(), HasSubstr("CJK")) << face;
        const QFontMetrics metrics(font->face);
        EXPECT_TRUE(metrics.inFontUcs4(U'漢')) << face;
        EXPECT_TRUE(metrics.inFontUcs4(U'あ')) << face;
        EXPECT_TRUE(OwnGlyph(font->face, U'漢')) << face;
        EXPECT_TRUE(OwnGlyph(font->face, U'あ')) << face;
    }
}

TEST(FontCreation, ImpactBecomesACondensedBoldFace)
{
    const platform::FontHandle font = platform::CreateFontIndirect({20, 0, false, 0, "Impact"});
    ASSERT_NE(font, nullptr);
    const QFontInfo info(font->face);
    EXPECT_THAT(info.family().toStdString(), HasSubstr("DejaVu Sans"));
    EXPECT_THAT(info.styleName().toStdString(), HasSubstr("Condensed"));
    EXPECT_GE(info.weight(), QFont::Bold);
    EXPECT_TRUE(OwnGlyph(font->face, U'8'));
}

TEST(FontCreation, TheCellIsTheRequestedHeight)
{
    for (const int cell : {12, 15, 16, 40}) {
        const platform::FontHandle font = platform::CreateFontIndirect({cell, 700, true, 128, "ＭＳ Ｐゴシック"});
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->cellHeight, cell);
        EXPECT_GT(font->ascent, cell / 2);
        EXPECT_LT(font->ascent, cell);
        // An ideograph fills the cell, as in the Japanese interface faces; its
        // box may reach a pixel further on either side for smoothing.
        const double glyph = QFontMetricsF(font->face).boundingRect(QChar(U'漢')).height();
        EXPECT_GE(glyph, 0.8 * cell) << cell;
        EXPECT_LE(glyph, cell + 2.0) << cell;
        EXPECT_TRUE(font->face.italic());
        EXPECT_GE(QFontInfo(font->face).weight(), QFont::Bold);
    }
}

TEST(FontCreation, ImpossibleHeightsFail)
{
    EXPECT_EQ(platform::CreateFontIndirect({0, 0, false, 128, "ＭＳ Ｐゴシック"}), nullptr);
    EXPECT_EQ(platform::CreateFontIndirect({-12, 0, false, 128, "ＭＳ Ｐゴシック"}), nullptr);
    EXPECT_EQ(platform::CreateFontIndirect({100000, 0, false, 128, "ＭＳ Ｐゴシック"}), nullptr);
}

} // namespace
