#include "AssembledInput.h"

#include "platform/base/Twips.h"

#include <QApplication>
#include <QMouseEvent>

namespace apptest {

int XOfButton(controls::UC_Buttons& row, int index)
{
    QWidget& face = row.PictureWidget() != nullptr ? *row.PictureWidget() : static_cast<QWidget&>(row);
    const auto hover = row.Hover;
    int found = -1;
    int first = -1;
    int last = -1;
    row.Hover = [&found](int& buttonIndex) { found = buttonIndex; };
    const QPointF y(0, face.height() / 2.0);
    // The row reports changes only; the scan starts off the row.
    for (int x = -10; x < face.width(); ++x) {
        const QPointF at(x, y.y());
        QMouseEvent move(QEvent::MouseMove, at, face.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&face, &move);
        if (found == index) {
            last = x;
            if (first < 0) {
                first = x;
            }
        }
    }
    row.Hover = hover;
    return first < 0 ? -1 : (first + last) / 2;
}

int YOfRow(UC_ListView& list, int row)
{
    const int tpp = std::max(basic::TwipsPerPixel, 1);
    return (row * list.OneHeight() + list.OneHeight() / 2) / tpp + 4;
}

} // namespace apptest
