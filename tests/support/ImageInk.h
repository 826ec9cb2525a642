#pragma once

#include <QImage>
#include <QRect>

namespace testsupport {

// Where a text drawn on a panel differs from the panel without it.
inline QRect InkBetween(const QImage& drawn, const QImage& empty)
{
    QRect ink;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) != empty.pixel(x, y)) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

} // namespace testsupport
