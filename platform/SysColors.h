#pragma once

#include <cstdint>

// Colours are 24-bit integers with red in the low byte (&HBBGGRR). A value
// &H80000000 + n stands for system colour n, whose value comes from one fixed
// table, so every machine draws the program alike whatever its desktop theme.
namespace platform {

using Color = std::int32_t;

// What a pixel query answers outside the picture.
inline constexpr Color ColorInvalid = -1;

enum SysColorIndex : int {
    ColorScrollbar = 0,
    ColorDesktop = 1,
    ColorActiveCaption = 2,
    ColorInactiveCaption = 3,
    ColorMenu = 4,
    ColorWindow = 5,
    ColorWindowFrame = 6,
    ColorMenuText = 7,
    ColorWindowText = 8,
    ColorCaptionText = 9,
    ColorActiveBorder = 10,
    ColorInactiveBorder = 11,
    ColorAppWorkspace = 12,
    ColorHighlight = 13,
    ColorHighlightText = 14,
    ColorBtnFace = 15,
    ColorBtnShadow = 16,
    ColorGrayText = 17,
    ColorBtnText = 18,
    ColorInactiveCaptionText = 19,
    ColorBtnHighlight = 20,
    Color3dDkShadow = 21,
    Color3dLight = 22,
    ColorInfoText = 23,
    ColorInfoBk = 24,
    ColorHotLight = 26,
    ColorGradientActiveCaption = 27,
    ColorGradientInactiveCaption = 28,
    ColorMenuHilight = 29,
    ColorMenuBar = 30,
};

// The value of system colour index; 0 for an index the table does not hold.
Color GetSysColor(int index);

// The colour that names system colour index (&H80000000 + index).
constexpr Color SystemColor(int index)
{
    return static_cast<Color>(0x80000000u | static_cast<std::uint32_t>(index & 0xFF));
}

// True for &H80000000 .. &H800000FF.
constexpr bool IsSystemColor(Color color)
{
    return (static_cast<std::uint32_t>(color) & 0xFFFFFF00u) == 0x80000000u;
}

// The plain 24-bit colour to paint with: a system colour is looked up, any
// other value keeps its low 24 bits.
Color ResolveColor(Color color);

// Composes a plain colour of three channels (each 0..255).
constexpr Color Rgb(int red, int green, int blue)
{
    return static_cast<Color>((blue << 16) | (green << 8) | red);
}

} // namespace platform
