#include "foundation/FormUtilities.h"

#include "foundation/Durations.h"
#include "platform/Form.h"
#include "platform/ListItems.h"
#include "platform/Screens.h"
#include "platform/TextBox.h"
#include "platform/TwipsGeometry.h"
#include "platform/WindowDecorations.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Twips.h"

namespace basic {

int CheckTimeTextBox(platform::TextBox& box, int mode)
{
    const std::string text = box.Text();
    if (textcodec::Utf8Length(text) != 6 || ParseTimeOfDay(text, mode, 1) != 1 || text.size() != 6) {
        return 0;
    }
    box.SetText(text.substr(0, 2) + ":" + text.substr(2, 2) + ":" + text.substr(4, 2));
    return 1;
}

void SelectListByText(platform::ListItems& list, std::string_view text)
{
    int found = -1;
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.List(i) == text) {
            found = i;
        }
    }
    if (found >= 0) {
        list.SetListIndex(found);
    }
}

int IsCursorOverControl(const platform::Form& form, const QWidget& control)
{
    const int p = TwipsPerPixel;
    if (p <= 0) {
        return 0;
    }
    const QPoint pointer = platform::CursorPosition();
    const QPoint inForm = control.mapTo(&form, QPoint(0, 0));
    const int controlLeft = platform::PixelsToTwips(inForm.x());
    const int controlTop = platform::PixelsToTwips(inForm.y());
    const int frame = form.Height() - form.ScaleHeight();
    const int top = (controlTop + form.Top() + frame) / p;
    const int bottom = (controlTop + platform::HeightTwips(control) + form.Top() + frame) / p;
    const int left = (controlLeft + form.Left()) / p;
    const int right = (controlLeft + platform::WidthTwips(control) + form.Left()) / p;
    return top < pointer.y() && pointer.y() < bottom && left < pointer.x() && pointer.x() < right ? 1 : 0;
}

} // namespace basic

namespace FCT_DisableClose {

void DisableClose(QWidget* window)
{
    if (window != nullptr) {
        platform::RemoveCloseButton(*window);
    }
}

} // namespace FCT_DisableClose
