#include "foundation/ControlPlacement.h"

#include "platform/base/Twips.h"

#include <QWidget>

namespace basic {

void GetControlRect(QWidget& control, const QWidget& reference, int position, double gap, int alignMode,
                    double alignValue)
{
    if (position < 0 || position > 3) {
        return;
    }
    if (gap == -1) {
        gap = 2.0 * TwipsPerPixel;
    }
    const double left = platform::LeftTwips(reference);
    const double top = platform::TopTwips(reference);
    const double width = platform::WidthTwips(reference);
    const double height = platform::HeightTwips(reference);
    const bool align = alignMode == 1;
    const bool given = alignMode == 2;
    switch (position) {
    case 0:
        platform::SetTopTwips(control, top + height + gap);
        if (align || given) {
            platform::SetLeftTwips(control, align ? left : alignValue);
        }
        break;
    case 1:
        platform::SetLeftTwips(control, left + width + gap);
        if (align || given) {
            platform::SetTopTwips(control, align ? top : alignValue);
        }
        break;
    case 2:
        platform::SetTopTwips(control, top + height / 2 - platform::HeightTwips(control) / 2.0);
        if (align || given) {
            platform::SetLeftTwips(control, align ? left : alignValue);
        }
        break;
    default:
        platform::SetLeftTwips(control, left + width - platform::WidthTwips(control) + gap);
        if (align || given) {
            platform::SetTopTwips(control, align ? top + height + gap : alignValue);
        }
        break;
    }
}

} // namespace basic
