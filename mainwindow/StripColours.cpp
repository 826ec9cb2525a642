#include "mainwindow/StripColours.h"

namespace StripColours {

namespace {

using StripGeometry::PanelKind;

// A colour written #RRGGBB, kept as &HBBGGRR.
constexpr Color Rgb(unsigned rgb)
{
    const unsigned red = (rgb >> 16) & 0xFFU;
    const unsigned green = (rgb >> 8) & 0xFFU;
    const unsigned blue = rgb & 0xFFU;
    return static_cast<Color>(red | (green << 8) | (blue << 16));
}

constexpr PanelColours Set(unsigned text, unsigned back1, unsigned back2)
{
    return {Rgb(text), Rgb(back1), Rgb(back2)};
}

constexpr PanelColours UnlitDim = Set(0xA0A0A0, 0x505050, 0xB0B0B0);
constexpr PanelColours UnlitHi = Set(0xE0E0E0, 0x808080, 0x808080);

PanelColours StandbyLit(StateHue hue, int hiColor)
{
    if (hiColor == 1) {
        switch (hue) {
        case StateHue::Green: return Set(0xFFFFFF, 0x00FF00, 0x00FF00);
        case StateHue::Orange: return Set(0xFFFFFF, 0xE0A000, 0xE0A000);
        case StateHue::Red: return Set(0xFFFFFF, 0xFF0000, 0xFF0000);
        case StateHue::Blue: return Set(0xFFFFFF, 0x6080FF, 0x6080FF);
        }
    }
    switch (hue) {
    case StateHue::Green: return Set(0xC0FFC0, 0x204020, 0xA0D0A0);
    case StateHue::Orange: return Set(0xFFC050, 0x803010, 0xF0C090);
    case StateHue::Red: return Set(0xFFC0C0, 0x502020, 0xFFA0A0);
    case StateHue::Blue: return Set(0xC0C0FF, 0x202050, 0xA0A0FF);
    }
    return UnlitDim;
}

} // namespace

std::optional<StateHue> HueOf(Color stateColour)
{
    switch (stateColour) {
    case 0x20FF10: return StateHue::Green;
    case 0x20A0F0: return StateHue::Orange;
    case 0x0000FF: return StateHue::Red;
    case 0xFF8080: return StateHue::Blue;
    default: return std::nullopt;
    }
}

Color SelectedPageButton(StateHue playing, int hiColor)
{
    const bool hi = hiColor == 1;
    switch (playing) {
    case StateHue::Green: return Rgb(hi ? 0x00FF00 : 0x60C060);
    case StateHue::Orange: return Rgb(hi ? 0xE0A000 : 0xB89000);
    case StateHue::Red: return Rgb(hi ? 0xFF0000 : 0xE04040);
    case StateHue::Blue: return Rgb(hi ? 0x6080FF : 0x7080D0);
    }
    return 0;
}

int StdColorSetOf(StateHue hue)
{
    switch (hue) {
    case StateHue::Green: return 3;
    case StateHue::Orange: return 5;
    case StateHue::Red: return 2;
    case StateHue::Blue: return 1;
    }
    return 0;
}

Color PositionBar(StateHue playing, int hiColor)
{
    const bool flat = hiColor != 0;
    switch (playing) {
    case StateHue::Green: return Rgb(flat ? 0x00FF00 : 0x60B060);
    case StateHue::Orange: return Rgb(flat ? 0xE0A000 : 0xA88030);
    case StateHue::Red: return Rgb(flat ? 0xFF0000 : 0xB85858);
    case StateHue::Blue: return Rgb(flat ? 0x6080FF : 0x5568A8);
    }
    return 0;
}

PanelColours UnlitPanel(PanelKind kind, int hiColor)
{
    if (hiColor == 1) {
        return kind == PanelKind::Shell ? Set(0xFFFFFF, 0x70A0A0, 0x70A0A0) : UnlitHi;
    }
    switch (kind) {
    case PanelKind::Timer: return Set(0xD0D0D0, 0x404040, 0xA0A0A0);
    case PanelKind::Shell: return Set(0xB0E0E0, 0x205050, 0xA0C0C0);
    default: return UnlitDim;
    }
}

std::optional<PanelColours> LitPanel(PanelKind kind, int hiColor, std::optional<StateHue> standbyHue)
{
    const bool hi = hiColor == 1;
    switch (kind) {
    case PanelKind::OnAir: return hi ? Set(0xFFFFFF, 0xFF0000, 0xFF0000) : Set(0xFFE0E0, 0x702020, 0xFF9090);
    case PanelKind::Key: return hi ? Set(0xFFFFFF, 0x00FF00, 0x00FF00) : Set(0xC0FFC0, 0x204020, 0xA0D0A0);
    case PanelKind::Fade: return hi ? Set(0xFFFFFF, 0x0000FF, 0x0000FF) : Set(0xC0C0FF, 0x202040, 0xA0A0D0);
    case PanelKind::Standby:
        if (!standbyHue) {
            return std::nullopt;
        }
        return StandbyLit(*standbyHue, hiColor);
    case PanelKind::Timer: return hi ? Set(0x000000, 0xFFFF00, 0xFFFF00) : Set(0x404020, 0x909060, 0xFFFFB0);
    default: return std::nullopt;
    }
}

} // namespace StripColours
