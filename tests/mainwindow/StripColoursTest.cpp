#include "mainwindow/StripColours.h"

#include <gtest/gtest.h>

namespace {

using namespace StripColours;
using StripGeometry::PanelKind;

constexpr StateHue Hues[] = {StateHue::Green, StateHue::Orange, StateHue::Red, StateHue::Blue};

TEST(StripColours, TheFourStateColoursAreKnownByTheirValues)
{
    EXPECT_EQ(HueOf(0x20FF10), StateHue::Green);
    EXPECT_EQ(HueOf(0x20A0F0), StateHue::Orange);
    EXPECT_EQ(HueOf(0x0000FF), StateHue::Red);
    EXPECT_EQ(HueOf(0xFF8080), StateHue::Blue);
    EXPECT_FALSE(HueOf(0x123456).has_value());
}

TEST(StripColours, SelectedPageButtonsAndTitleAndCounterSets)
{
    // Written #RRGGBB: green #60C060 / #00FF00, orange #B89000 / #E0A000,
    // red #E04040 / #FF0000, blue #7080D0 / #6080FF.
    const Color dim[] = {0x60C060, 0x0090B8, 0x4040E0, 0xD08070};
    const Color bright[] = {0x00FF00, 0x00A0E0, 0x0000FF, 0xFF8060};
    const int sets[] = {3, 5, 2, 1};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(SelectedPageButton(Hues[i], 0), dim[i]);
        EXPECT_EQ(SelectedPageButton(Hues[i], 1), bright[i]);
        EXPECT_EQ(StdColorSetOf(Hues[i]), sets[i]);
    }
}

TEST(StripColours, PositionBarShadedAndFlat)
{
    const Color shaded[] = {0x60B060, 0x3080A8, 0x5858B8, 0xA86855};
    const Color flat[] = {0x00FF00, 0x00A0E0, 0x0000FF, 0xFF8060};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(PositionBar(Hues[i], 0), shaded[i]);
        EXPECT_EQ(PositionBar(Hues[i], 1), flat[i]);
        EXPECT_EQ(PositionBar(Hues[i], 2), flat[i]); // any HiColor but 0 is flat
    }
}

TEST(StripColours, StatusPanelsUnlitAndLit)
{
    // ON AIR, HiColor 0: unlit #A0A0A0; #505050; #B0B0B0, lit #FFE0E0; #702020; #FF9090.
    const PanelColours unlit = UnlitPanel(PanelKind::OnAir, 0);
    EXPECT_EQ(unlit.Text, 0xA0A0A0);
    EXPECT_EQ(unlit.Back1, 0x505050);
    EXPECT_EQ(unlit.Back2, 0xB0B0B0);
    const auto lit = LitPanel(PanelKind::OnAir, 0, std::nullopt);
    ASSERT_TRUE(lit.has_value());
    EXPECT_EQ(lit->Text, 0xE0E0FF);
    EXPECT_EQ(lit->Back1, 0x202070);
    EXPECT_EQ(lit->Back2, 0x9090FF);
    // Bright: pure red, green and blue behind white text; the timer black on yellow.
    EXPECT_EQ(LitPanel(PanelKind::OnAir, 1, std::nullopt)->Back1, 0x0000FF);
    EXPECT_EQ(LitPanel(PanelKind::Key, 1, std::nullopt)->Back1, 0x00FF00);
    EXPECT_EQ(LitPanel(PanelKind::Fade, 1, std::nullopt)->Back1, 0xFF0000);
    EXPECT_EQ(LitPanel(PanelKind::Timer, 1, std::nullopt)->Text, 0x000000);
    EXPECT_EQ(LitPanel(PanelKind::Timer, 1, std::nullopt)->Back2, 0x00FFFF);
    EXPECT_EQ(UnlitPanel(PanelKind::Timer, 0).Back1, 0x404040);
    EXPECT_EQ(UnlitPanel(PanelKind::Key, 1).Back1, 0x808080);
    // The shell panel has one look only.
    EXPECT_EQ(UnlitPanel(PanelKind::Shell, 0).Back1, 0x505020);
    EXPECT_EQ(UnlitPanel(PanelKind::Shell, 1).Back1, 0xA0A070);
    EXPECT_FALSE(LitPanel(PanelKind::Shell, 0, StateHue::Red).has_value());
}

TEST(StripColours, StandbyLightsInTheStandbyColour)
{
    // HiColor 0 backgrounds #204020, #803010, #502020, #202050; HiColor 1 #00FF00, #E0A000, #FF0000, #6080FF.
    const Color dim[] = {0x204020, 0x103080, 0x202050, 0x502020};
    const Color bright[] = {0x00FF00, 0x00A0E0, 0x0000FF, 0xFF8060};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(LitPanel(PanelKind::Standby, 0, Hues[i])->Back1, dim[i]);
        EXPECT_EQ(LitPanel(PanelKind::Standby, 1, Hues[i])->Back1, bright[i]);
        EXPECT_EQ(LitPanel(PanelKind::Standby, 1, Hues[i])->Text, 0xFFFFFF);
    }
    EXPECT_EQ(LitPanel(PanelKind::Standby, 0, StateHue::Orange)->Text, 0x50C0FF);
}

} // namespace
