#include "foundation/MessageBoxes.h"

#include "foundation/ModuleValues.h"
#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "platform/Screens.h"
#include "platform/base/Twips.h"

namespace basic {

namespace {

// The screens' extent as first taken; monitors added later are not seen.
int extentRight = 0;
int extentBottom = 0;

} // namespace

int EnumMonitors(int index, int inPixels)
{
    if (extentRight <= 0) {
        const QSize extent = platform::ScreenExtent();
        extentRight = extent.width();
        extentBottom = extent.height();
    }
    int value = 0;
    if (index == 0) {
        value = extentRight;
    } else if (index == 1) {
        value = extentBottom;
    }
    return inPixels != 0 ? value : value * TwipsPerPixel;
}

void ForgetMonitorExtent()
{
    extentRight = 0;
    extentBottom = 0;
}

BoxPlace MessageBoxPosition(int centreX, int centreY, int width, int height, int rightEdge, int bottomEdge)
{
    int x = centreX - width / 2;
    int y = centreY - height / 2;
    if (x + width > rightEdge) {
        x = rightEdge - width;
    }
    if (y + height > bottomEdge) {
        y = bottomEdge - height;
    }
    // The left and top edges win: the start of the text stays readable.
    if (x < 0) {
        x = 0;
    }
    if (y < 0) {
        y = 0;
    }
    return {x, y};
}

int ShowMessage(std::string_view text, int style, std::string_view title, platform::Form* ownerForm)
{
    platform::MessageBoxRequest request;
    request.owner = ownerForm;
    request.text = std::string(text);
    request.title = std::string(title);
    request.style = style;
    if (ownerForm != nullptr && ownerForm->WindowState() != platform::StateMinimized && TwipsPerPixel > 0) {
        // The owner's centre in pixels, from its twips (divisions truncate).
        const int centreX = (ownerForm->Width() / 2 + ownerForm->Left()) / TwipsPerPixel;
        const int centreY = (ownerForm->Height() / 2 + ownerForm->Top()) / TwipsPerPixel;
        request.place = [centreX, centreY](QSize box) {
            const BoxPlace place =
                MessageBoxPosition(centreX, centreY, box.width(), box.height(), EnumMonitors(0, 1), EnumMonitors(1, 1));
            return QPoint(place.x, place.y);
        };
    }
    return platform::ShowMessageBox(request);
}

} // namespace basic
