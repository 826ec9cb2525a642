#include "foundation/PrintCentered.h"

namespace basic {

void PrintCentered(platform::Surface& surface, const ControlBounds& reference, std::string_view text, int position,
                   std::int32_t dx, std::int32_t dy)
{
    const double l = reference.Left;
    const double t = reference.Top;
    const double w = reference.Width;
    const double h = reference.Height;
    const double tw = surface.TextWidth(text);
    const double th = surface.TextHeight(text);
    double x = 0;
    double y = 0;
    switch (position) {
    case 0:
        x = l - tw - 90;
        y = t + 60;
        break;
    case 1:
        x = l + 30;
        y = t - th - 30;
        break;
    case 2:
        x = l + w + 30;
        y = t + 60;
        break;
    case 3:
        x = l + w / 2 - tw / 2;
        y = t - th - 30;
        break;
    case 4:
        x = l + 30;
        y = t + h + 30;
        break;
    case 5:
        x = l + w - tw;
        y = t + h + 30;
        break;
    case 6:
        x = l - tw - 90;
        y = t + (h - th) / 2;
        break;
    case 7:
        x = l + w + 30;
        y = t + (h - th) / 2;
        break;
    default:
        surface.Print(text);
        return;
    }
    surface.SetCurrentX(x + dx);
    surface.SetCurrentY(y + dy);
    surface.Print(text);
}

} // namespace basic
