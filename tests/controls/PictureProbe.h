#pragma once

#include "platform/Surface.h"

#include <QRect>

#include <functional>

// Questions a test asks of a drawn picture.
namespace pictureprobe {

// The smallest rectangle holding every pixel of area that matches; empty
// when none does.
inline QRect Extent(const platform::Surface& picture, const QRect& area,
                    const std::function<bool(platform::Color)>& matches)
{
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const platform::Color pixel = picture.GetPixel(x, y);
            if (pixel != platform::ColorInvalid && matches(pixel)) {
                found |= QRect(x, y, 1, 1);
            }
        }
    }
    return found;
}

inline int Count(const platform::Surface& picture, const QRect& area, platform::Color colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += picture.GetPixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

inline bool SamePixels(const platform::Surface& a, const platform::Surface& b)
{
    return a.Image() == b.Image();
}

} // namespace pictureprobe
