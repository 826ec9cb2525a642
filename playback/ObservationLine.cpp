#include "playback/ObservationLine.h"

#include "mainwindow/FrmMain.h"
#include "platform/TwipsGeometry.h"

#include <algorithm>

namespace {

constexpr int TextInset = 18;
constexpr platform::Color TextColor = 0x606060; // grey

} // namespace

void ObservationLine::AddObservation(std::string_view text)
{
    if (window_.State.ShowObservation == 0) {
        return;
    }
    platform::Surface& picture = window_.Picture();
    const int width = picture.PixelWidth();
    const int top = std::max(0, picture.PixelHeight() - StripHeight);
    picture.BitBlt(0, top, width, StripHeight, window_.PictureGrad->Picture(), 0, StripHeight,
                   platform::RasterOp::SrcCopy);
    picture.SetForeColor(TextColor);
    picture.SetCurrentX(platform::PixelsToTwips(TextInset));
    picture.SetCurrentY(platform::PixelsToTwips(picture.PixelHeight() - TextInset));
    picture.Print(text);
    window_.update(0, top, width, StripHeight);
}
