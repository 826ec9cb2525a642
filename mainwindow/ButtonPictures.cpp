#include "mainwindow/ButtonPictures.h"

#include "foundation/Background.h"
#include "foundation/Colors.h"

namespace ButtonPictures {

namespace {

// Background style 5 and 7 of basic::PaintBackground.
constexpr int FaceStyle = 5;
constexpr int FrameStyle = 7;

platform::Color Shadow(int minus)
{
    return basic::ShiftColor(platform::SystemColor(platform::ColorBtnShadow), -minus, -minus, -minus, -1.0F);
}

void Fill(platform::Surface& surface, int left, int top, int right, int bottom, platform::Color colour)
{
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            surface.SetPixelV(x, y, colour);
        }
    }
}

// One lamp cell: a dark socket, the lamp body and a lighter stripe along
// the lamp's length, so a lit lamp reads as a lit glass bar.
void DrawCell(platform::Surface& strip, int cell, bool tall)
{
    const int w = tall ? TallLampWidth : WideLampWidth;
    const int h = tall ? TallLampHeight : WideLampHeight;
    const int left = cell * w;
    const platform::Color body = cell == 0 ? 0x707070 : LampColor(cell);
    const platform::Color edge = basic::ShiftColor(body, 0, 0, 0, 0.55F);
    const platform::Color shine = basic::ShiftColor(body, 70, 70, 70, -1.0F);
    Fill(strip, left, 0, left + w - 1, h - 1, 0x202020);
    Fill(strip, left + 1, 1, left + w - 2, h - 2, edge);
    Fill(strip, left + 2, 2, left + w - 3, h - 3, body);
    if (tall) {
        Fill(strip, left + 3, 3, left + 3, h - 4, shine);
    } else {
        Fill(strip, left + 3, 3, left + w - 4, 3, shine);
    }
}

} // namespace

platform::Color LampColor(int cell)
{
    switch (cell) {
    case 1:
        return 0x20FF10;
    case 2:
        return 0x20A0F0;
    case 3:
        return 0x0000FF;
    case 4:
        return 0xFF8080;
    default:
        return 0x707070;
    }
}

std::array<platform::Color, 3> FrameColors(int colourIndex, bool hiColor)
{
    static constexpr std::array<std::array<platform::Color, 2>, 4> shaded{{
        {0x70A070, 0xE0FFE0},
        {0x2080B0, 0xC0E0FF},
        {0x5050C0, 0xE0E0FF},
        {0xB07460, 0xFFF0F0},
    }};
    static constexpr std::array<platform::Color, 4> flat{0x00FF00, 0x00A0E0, 0x0000FF, 0xFF8060};
    const auto i = static_cast<std::size_t>(colourIndex < 0 || colourIndex > 3 ? 0 : colourIndex);
    if (hiColor) {
        return {flat[i], flat[i], flat[i]};
    }
    return {shaded[i][0], shaded[i][1], shaded[i][0]};
}

void PaintTextFace(platform::Surface& face)
{
    basic::PaintBackground(face, FaceStyle, 0, Shadow(100), 0);
}

void PaintButtonBackground(platform::Surface& background)
{
    basic::PaintBackground(background, FrameStyle, Shadow(20), -1, Shadow(60));
}

void PaintFrame(platform::Surface& frame, int colourIndex, bool hiColor)
{
    const std::array<platform::Color, 3> colours = FrameColors(colourIndex, hiColor);
    basic::PaintBackground(frame, FrameStyle, colours[0], colours[1], colours[2]);
}

void DrawLampStrip(platform::Surface& strip, int buttonType)
{
    const bool tall = buttonType == 0;
    strip.Resize(LampCells * (tall ? TallLampWidth : WideLampWidth), tall ? TallLampHeight : WideLampHeight);
    for (int cell = 0; cell < LampCells; ++cell) {
        DrawCell(strip, cell, tall);
    }
}

} // namespace ButtonPictures
