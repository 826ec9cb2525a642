#pragma once

class QWidget;

// Positions and sizes of controls in twips, as the windows keep them: a twips
// value becomes pixels by integer division by basic::TwipsPerPixel, a pixel
// value twips by multiplication. Positions are relative to the control's
// container. With TwipsPerPixel 0 nothing is moved and everything reads 0.
namespace platform {

int LeftTwips(const QWidget& control);
int TopTwips(const QWidget& control);
int WidthTwips(const QWidget& control);
int HeightTwips(const QWidget& control);

void SetLeftTwips(QWidget& control, double twips);
void SetTopTwips(QWidget& control, double twips);
void SetWidthTwips(QWidget& control, double twips);
void SetHeightTwips(QWidget& control, double twips);
// Moves and sizes in one step; a negative width or height keeps that size.
void MoveTwips(QWidget& control, double left, double top, double width = -1, double height = -1);

// The farthest a control is placed or sized, in pixels: the largest size a
// window can take, so that a place plus a size still fits an int.
inline constexpr int MaxPixels = (1 << 24) - 1;

// Twips to pixels (rounded to whole twips first, then divided and truncated),
// held within MaxPixels either way.
int TwipsToPixels(double twips);
// Pixels to twips, held within what an int holds.
int PixelsToTwips(int pixels);

} // namespace platform
