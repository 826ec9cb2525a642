#pragma once

#include "foundation/Fonts.h"
#include "platform/ControlArray.h"
#include "platform/TwipsGeometry.h"

class QWidget;

// Placing controls beside each other, in twips.
namespace basic {

// Places control relative to reference (both in the same container):
// position 0 below it, 1 to its right, 2 vertically centred on it, 3 with
// the right edges aligned (and below it); gap in twips, -1 meaning two
// pixels. alignMode 1 lines the other edge up with the reference (left edges
// for 0 and 2, top edges for 1, below it for 3), 2 sets that edge to
// alignValue, 0 leaves it. Positions outside 0..3 change nothing.
void GetControlRect(QWidget& control, const QWidget& reference, int position, double gap, int alignMode,
                    double alignValue);

// Loads element index of a control array beside element index - 1: in the
// same container, next in the tab order, placed by GetControlRect (position
// 0..3 with alignMode 1; a negative position leaves it where it was loaded)
// and shown when visible. With applyFont the new element (and, when it is
// the first one loaded, element 0 too) gets the interface font.
template <class T>
T* ApplyFormFont(platform::ControlArray<T>& array, int index, int position, bool visible, int applyFont, double gap)
{
    T* before = array.At(index - 1);
    T* element = before != nullptr ? array.Load(index) : nullptr;
    if (element == nullptr) {
        return nullptr;
    }
    element->setParent(before->parentWidget());
    QWidget::setTabOrder(before, element);
    if (applyFont != 0) {
        if (index == 1) {
            SetControlFont(before, -2, nullptr, 0, false, false, "");
        }
        SetControlFont(element, -2, nullptr, 0, false, false, "");
    }
    if (position >= 0) {
        GetControlRect(*element, *before, position, gap, 1, 0);
    }
    element->setVisible(visible);
    return element;
}

} // namespace basic
