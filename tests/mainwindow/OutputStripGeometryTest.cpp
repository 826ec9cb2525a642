#include "mainwindow/CharacterWidth.h"
#include "mainwindow/OutputStripGeometry.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace StripGeometry;

Scale At(float sizeFactor, int twipsPerPixel)
{
    return MakeScale(sizeFactor, twipsPerPixel);
}

StripFeatures Features(int playerType, int useVol, int useSpeed = 0, int usePan = 0)
{
    const bool threePlayers = playerType == 0 || playerType == 1 || playerType == 5;
    StripFeatures features;
    features.PlayerType = playerType;
    features.SinglePlayer = threePlayers ? 0 : 1;
    features.UseSamplePos = playerType == 0 || playerType == 3 ? 1 : 0;
    features.UseVol = useVol;
    features.UseSpeed = threePlayers ? useSpeed : 0;
    features.UsePan = threePlayers ? usePan : 0;
    return features;
}

StripBox StripAt(const Scale& scale, const StripFeatures& features)
{
    const PageSelectorBox page = PageSelector(scale, 31, 10);
    return PlayerStrip(scale, features, page.Title.Height, page.Buttons.Height);
}

TEST(PageSelectorGeometry, WorkedSizesAtBothSizeFactors)
{
    const PageSelectorBox normal = PageSelector(At(1.0F, 15), 31, 10);
    EXPECT_EQ(normal.Title.Left, 90);
    EXPECT_EQ(normal.Title.Top, 90);
    EXPECT_EQ(normal.Title.Height, 390);
    EXPECT_EQ(normal.Title.Width, 4920);
    EXPECT_EQ(normal.Buttons.Top, 510);
    EXPECT_EQ(normal.Buttons.Left, 90);
    EXPECT_EQ(normal.Buttons.Height, 465);
    EXPECT_EQ(normal.Buttons.Width, 4920);
    EXPECT_EQ(normal.FrameWidth, 5100);
    EXPECT_EQ(normal.FrameHeight, 1065);

    const PageSelectorBox big = PageSelector(At(1.3F, 15), 31, 10);
    EXPECT_EQ(big.Title.Left, 105);
    EXPECT_EQ(big.Title.Height, 495);
    EXPECT_EQ(big.Buttons.Top, 630);
    EXPECT_EQ(big.Buttons.Height, 600);
    EXPECT_DOUBLE_EQ(big.Buttons.Width, 6315);
    EXPECT_DOUBLE_EQ(big.FrameWidth, 6525);
    EXPECT_EQ(big.FrameHeight, 1335);
}

TEST(PageSelectorGeometry, TheButtonRowGrowsByOnePageButtonPerPage)
{
    // 18 pixels beyond the buttons themselves, unrounded in between.
    EXPECT_EQ(PageSelector(At(1.0F, 15), 31, 1).Buttons.Width, (31 + 18) * 15);
    EXPECT_EQ(PageSelector(At(1.0F, 15), 31, 20).Buttons.Width, (620 + 18) * 15);
    EXPECT_EQ(PageSelector(At(1.0F, 12), 40, 10).Buttons.Width, (400 + 18) * 12);
}

TEST(StatusStripGeometry, WorkedSizesOfTheDefaultPanelsAndOfTwo)
{
    const Scale scale = At(1.0F, 15);
    std::array<bool, PanelKinds> shown{};
    shown[OnAir] = shown[Key] = shown[Standby] = true;
    const StatusStripBox three = StatusStrip(scale, 1065, shown);
    EXPECT_EQ(three.Width, 1020);
    EXPECT_EQ(three.Height, 1065);
    EXPECT_EQ(three.PanelHeight, 330);
    EXPECT_EQ(three.PanelTop[OnAir], 0);
    EXPECT_EQ(three.PanelTop[Key], 360);
    EXPECT_EQ(three.PanelTop[Standby], 720);
    EXPECT_EQ(three.PanelTop[Fade], -1);
    const PanelFont captions = StatusPanelFont(OnAir, true, 3, three.PanelHeight, scale);
    EXPECT_TRUE(captions.Impact);
    EXPECT_FLOAT_EQ(captions.Size, (330.0F - 60.0F) / 19.0F);

    shown[Standby] = false;
    const StatusStripBox two = StatusStrip(scale, 1065, shown);
    EXPECT_EQ(two.PanelHeight, 510);
    EXPECT_EQ(two.PanelTop[Key], 540);
    EXPECT_FLOAT_EQ(StatusPanelFont(Key, true, 2, two.PanelHeight, scale).Size, 16.0F);
}

TEST(StatusStripGeometry, OnePanelTakesHalfTheStripAndNoneShowsNothing)
{
    const Scale scale = At(1.0F, 15);
    std::array<bool, PanelKinds> shown{};
    shown[Timer] = true;
    // Half of 1065 is 532.5: 532 (half to even), 525 on whole pixels, less one pixel.
    EXPECT_EQ(StatusStrip(scale, 1065, shown).PanelHeight, 510);
    const StatusStripBox none = StatusStrip(scale, 1065, {});
    EXPECT_EQ(none.PanelHeight, 0);
    for (double top : none.PanelTop) {
        EXPECT_EQ(top, -1);
    }
    // Six panels: 1065 / 6 = 177.5 -> 178 -> 165, less one pixel; 2 pixels apart.
    const StatusStripBox six = StatusStrip(scale, 1065, {true, true, true, true, true, true});
    EXPECT_EQ(six.PanelHeight, 150);
    EXPECT_EQ(six.PanelTop[Shell], 5 * (150 + 30));
    EXPECT_LE(six.PanelTop[Shell] + six.PanelHeight, six.Height);
}

TEST(StatusStripGeometry, CaptionFontsByKindCountAndCharacters)
{
    const Scale big = At(1.3F, 15);
    // Timer: Impact always; 14 points (scaled) up to three panels.
    EXPECT_EQ(StatusPanelFont(Timer, false, 3, 330, big).Size, 14.0F * 1.3F);
    EXPECT_TRUE(StatusPanelFont(Timer, false, 3, 330, big).Impact);
    EXPECT_FLOAT_EQ(StatusPanelFont(Timer, true, 4, 300, big).Size, 240.0F / 24);
    // A caption without characters of two widths takes the interface font.
    const PanelFont kanji2 = StatusPanelFont(Shell, false, 2, 510, big);
    EXPECT_FALSE(kanji2.Impact);
    EXPECT_FLOAT_EQ(kanji2.Size, 14.0F * 1.3F);
    const PanelFont kanji3 = StatusPanelFont(Shell, false, 3, 330, big);
    EXPECT_FALSE(kanji3.Impact);
    EXPECT_FLOAT_EQ(kanji3.Size, 270.0F / 24);
    const PanelFont latin2 = StatusPanelFont(Shell, true, 2, 510, big);
    EXPECT_TRUE(latin2.Impact);
    EXPECT_FLOAT_EQ(latin2.Size, 16.0F * 1.3F);
}

TEST(CharacterWidth, OnlyCharactersWithBothFormsCount)
{
    const std::vector<std::pair<std::string, bool>> rows = {
        {"ON AIR", true},      {"STBY", true},       {"編集ソフト", true}, // katakana
        {"ｴﾃﾞｨﾀ", true},       {"Ｅｄｉｔ", true},    {"録音", false},
        {"へんしゅう", false}, {"録音した", false},  {"音声 編集", true},  // a blank
        {"音声　編集", true},  {"音声。", true},     {"", false},
        {"録音１", true},      {"ゔ", false},        {"ヰ", false},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(CharacterWidth::HasWidthForms(text), expected);
    }
    // A broken sequence is no character with two forms.
    EXPECT_FALSE(CharacterWidth::HasWidthForms(std::string("\xE9\x8C", 2)));
}

TEST(PlayerStripGeometry, WorkedSizesAtFifteenTwipsPerPixel)
{
    const StripBox normal = StripAt(At(1.0F, 15), Features(3, 1));
    EXPECT_EQ(normal.Buttons.Width, 2235);
    EXPECT_EQ(normal.Bar.Width, 2235);
    EXPECT_EQ(normal.Fader.Width, 390);
    EXPECT_EQ(normal.Meters.Width, 450);
    EXPECT_EQ(normal.MeterL.Width, 150);
    EXPECT_EQ(normal.MeterR.Width, 150);
    EXPECT_EQ(normal.MeterL.Left, 60);
    EXPECT_EQ(normal.MeterR.Left, 240);
    EXPECT_EQ(normal.MeterL.Top, 45);
    EXPECT_EQ(normal.MeterR.Top, 45);
    EXPECT_EQ(normal.MeterL.Height, normal.Meters.Height - 120);
    EXPECT_EQ(normal.Counter.Width, 2400);
    EXPECT_EQ(StripAt(At(1.0F, 15), Features(0, 1, 1, 1)).Pan.Height, 150);

    const StripBox big = StripAt(At(1.3F, 15), Features(3, 1));
    EXPECT_EQ(big.Buttons.Width, 2895);
    EXPECT_EQ(big.Bar.Width, 2895);
    EXPECT_EQ(big.Fader.Width, 495);
    EXPECT_EQ(big.Meters.Width, 585);
    EXPECT_EQ(big.MeterL.Width, 210);
    EXPECT_EQ(big.MeterR.Width, 210);
    EXPECT_DOUBLE_EQ(big.Counter.Width, 3120);
    EXPECT_EQ(StripAt(At(1.3F, 15), Features(0, 1, 1, 1)).Pan.Height, 195);
    EXPECT_EQ(At(1.3F, 15).UnitHeight, 105);
}

TEST(PlayerStripGeometry, WorkedSizesAtTwelveTwipsPerPixel)
{
    const Scale scale = At(1.0F, 12);
    EXPECT_EQ(scale.UnitHeight, 84);
    EXPECT_EQ(scale.UnitGap, 24);
    const StripBox strip = StripAt(scale, Features(3, 1));
    EXPECT_EQ(strip.Buttons.Width, 2232);
    EXPECT_EQ(strip.Fader.Width, 384);
    EXPECT_EQ(strip.Meters.Width, 444);
    EXPECT_EQ(strip.MeterL.Width, 156);
    EXPECT_EQ(strip.MeterR.Width, 156);
}

TEST(PlayerStripGeometry, OnePlayerStripsPutTheirControlsInOneRow)
{
    const Scale scale = At(1.0F, 15);
    // Without the fader the counter starts one margin from the left edge.
    const StripBox noFader = StripAt(scale, Features(3, 0));
    EXPECT_EQ(noFader.Counter.Left, 90);
    EXPECT_FALSE(noFader.FaderShown);
    EXPECT_EQ(noFader.Fader.Width, 390); // laid out all the same
    const StripBox withFader = StripAt(scale, Features(3, 1));
    EXPECT_EQ(withFader.Counter.Left, 90 + 390 + 30);
    // waveOut: meters right of the counter, bar and buttons right of them.
    EXPECT_EQ(withFader.Meters.Left, withFader.Counter.Right() + 30);
    EXPECT_EQ(withFader.Bar.Left, withFader.Meters.Right() + 30);
    EXPECT_EQ(withFader.Buttons.Left, withFader.Bar.Left);
    EXPECT_EQ(withFader.PanelHeight, 885 + 180);
    EXPECT_EQ(withFader.PanelWidth, withFader.Bar.Right() + 90);
    // The buttons sit one pixel above the lower margin.
    EXPECT_EQ(withFader.Buttons.Bottom(), withFader.PanelHeight - 90 - 15);
    // MCI and the filter graph: the bar takes the meters' place.
    for (int type : {2, 4}) {
        const StripBox strip = StripAt(scale, Features(type, 1));
        EXPECT_EQ(strip.Bar.Left, strip.Counter.Right() + 30);
        EXPECT_FALSE(strip.MetersShown);
    }
}

TEST(PlayerStripGeometry, ThreePlayerStripsStackCounterPanBarAndButtons)
{
    const Scale scale = At(1.0F, 15);
    const StripBox plain = StripAt(scale, Features(0, 1, 0, 0));
    EXPECT_EQ(plain.Bar.Top, plain.Counter.Bottom() + 30);
    EXPECT_EQ(plain.Fader.Height, 885 + 465 + 390 + 3 * 30);
    EXPECT_EQ(plain.Counter.Width, plain.Buttons.Width);
    const StripBox panned = StripAt(scale, Features(0, 1, 0, 1));
    EXPECT_EQ(panned.Pan.Top, panned.Counter.Bottom() + 30);
    EXPECT_EQ(panned.Bar.Top, panned.Pan.Bottom() + 30);
    EXPECT_EQ(panned.Fader.Height, plain.Fader.Height + 150 + 30);
    EXPECT_EQ(panned.PanelHeight, panned.Fader.Height + 180);
    // With sample positions (DirectSound) the meters add their width.
    const StripBox noMeters = StripAt(scale, Features(1, 1, 0, 0));
    EXPECT_EQ(noMeters.PanelWidth, noMeters.Buttons.Right() + 90);
    EXPECT_EQ(plain.PanelWidth, noMeters.PanelWidth + 450 + 30);
    // Speed slider left of the fader, counter right of both.
    const StripBox speed = StripAt(scale, Features(5, 1, 1, 0));
    EXPECT_EQ(speed.Speed.Left, 90);
    EXPECT_EQ(speed.Fader.Left, 90 + 150 + 30);
    EXPECT_EQ(speed.Counter.Left, 90 + 420 + 180);
}

bool Inside(const TwipsRect& inner, double width, double height)
{
    return inner.Left >= 0 && inner.Top >= 0 && inner.Right() <= width && inner.Bottom() <= height;
}

bool Overlap(const TwipsRect& a, const TwipsRect& b)
{
    return a.Left < b.Right() && b.Left < a.Right() && a.Top < b.Bottom() && b.Top < a.Bottom();
}

bool OnPixels(double twips, int twipsPerPixel)
{
    return static_cast<long long>(twips) == twips && static_cast<long long>(twips) % twipsPerPixel == 0;
}

TEST(PlayerStripGeometry, EveryCombinationKeepsItsControlsApartInsideTheStrip)
{
    for (int twipsPerPixel : {15, 12, 8}) {
        for (float sizeFactor : {1.0F, 1.3F, 1.15F, 0.8F, 2.0F}) {
            const Scale scale = At(sizeFactor, twipsPerPixel);
            for (int type = 0; type <= 5; ++type) {
                for (int vol = 0; vol <= 1; ++vol) {
                    for (int speed = 0; speed <= 1; ++speed) {
                        for (int pan = 0; pan <= 1; ++pan) {
                            SCOPED_TRACE(testing::Message() << "tpp " << twipsPerPixel << " S " << sizeFactor
                                                            << " type " << type << " vol " << vol << " speed "
                                                            << speed << " pan " << pan);
                            const StripBox strip = StripAt(scale, Features(type, vol, speed, pan));
                            std::vector<TwipsRect> shown{strip.Counter, strip.Buttons, strip.Bar};
                            if (strip.FaderShown) {
                                shown.push_back(strip.Fader);
                            }
                            if (strip.SpeedShown) {
                                shown.push_back(strip.Speed);
                            }
                            if (strip.PanShown) {
                                shown.push_back(strip.Pan);
                            }
                            if (strip.MetersShown) {
                                shown.push_back(strip.Meters);
                                EXPECT_TRUE(Inside(strip.MeterL, strip.Meters.Width, strip.Meters.Height));
                                EXPECT_TRUE(Inside(strip.MeterR, strip.Meters.Width, strip.Meters.Height));
                                EXPECT_FALSE(Overlap(strip.MeterL, strip.MeterR));
                            }
                            for (std::size_t a = 0; a < shown.size(); ++a) {
                                EXPECT_TRUE(Inside(shown[a], strip.PanelWidth, strip.PanelHeight)) << "control " << a;
                                EXPECT_GT(shown[a].Width, 0);
                                EXPECT_GT(shown[a].Height, 0);
                                for (std::size_t b = a + 1; b < shown.size(); ++b) {
                                    EXPECT_FALSE(Overlap(shown[a], shown[b])) << "controls " << a << " and " << b;
                                }
                            }
                            for (double snapped : {strip.Buttons.Width, strip.Fader.Width, strip.Meters.Width,
                                                   strip.MeterL.Width, strip.Pan.Height,
                                                   static_cast<double>(scale.UnitHeight)}) {
                                EXPECT_TRUE(OnPixels(snapped, twipsPerPixel)) << snapped;
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST(PlayerStripGeometry, StripPanelsStandOneMarginApart)
{
    const Scale scale = At(1.0F, 15);
    EXPECT_EQ(StripPanelTop(0, 1065, 0, scale), 0);
    EXPECT_EQ(StripPanelTop(0, 1065, 3, scale), 3 * (1065 + 90));
}

TEST(FirstOutputRowGeometry, TheRowAndWhereTheContentBegins)
{
    const Scale scale = At(1.0F, 15);
    const StripBox one = StripAt(scale, Features(3, 1));
    const FirstRow single = FirstOutputRow(scale, one, 1020, 1065, 1);
    EXPECT_EQ(single.StripPanel.Left, 90);
    EXPECT_EQ(single.StripPanel.Top, 0);
    EXPECT_EQ(single.LedsLeft, one.PanelWidth + 180);
    EXPECT_EQ(single.PageLeft, single.LedsLeft + 1020 + 120);
    EXPECT_EQ(single.ContentLeft, 90);
    EXPECT_EQ(single.FirstButtonTop, 1065 + 90);
    const StripBox three = StripAt(scale, Features(0, 1));
    EXPECT_EQ(FirstOutputRow(scale, three, 1020, 1065, 3).ContentLeft, 90 + three.PanelWidth + 90);
}

} // namespace
