#pragma once

#include "mainwindow/OutputStripGeometry.h"
#include "platform/ControlArray.h"

class PicturePanel;
class QWidget;

// Placing the window's controls in twips while the window is still hidden.
// A hidden widget gets its resize event only when it is shown, but the
// controls prepare their pictures for the size they have when Init runs, so
// every placement here hands the control its new size at once.
namespace TwipsPlacement {

void Place(QWidget& control, const StripGeometry::TwipsRect& rect);
void SetSize(QWidget& control, double width, double height);
void SetTop(QWidget& control, double top);
void SetLeftTop(QWidget& control, double left, double top);
// Sends a resize that Qt holds back for a hidden widget.
void DeliverResize(QWidget& control);
// Clears the panel's picture at its current size.
void Cls(PicturePanel& panel);

// Loads element index of a control array into container as a copy of
// element 0 (same place and size), shown or hidden; null when it existed.
template <class T> T* LoadInto(platform::ControlArray<T>& array, int index, QWidget& container, bool visible)
{
    T* element = array.Load(index);
    T* first = array.At(0);
    if (element == nullptr || first == nullptr) {
        return nullptr;
    }
    element->setParent(&container);
    element->setGeometry(first->geometry());
    element->setVisible(visible);
    DeliverResize(*element);
    return element;
}

} // namespace TwipsPlacement
