#include "controls/listview/ListBarLayout.h"

#include "platform/base/Numbers.h"

#include <algorithm>
#include <cstdint>

namespace listview {

namespace {

int AtLeastOne(std::int64_t value)
{
    return value < 2 ? 1 : static_cast<int>(std::min<std::int64_t>(value, INT32_MAX));
}

} // namespace

ListBarLayout ComputeBarLayout(const ListBarInput& in)
{
    ListBarLayout out;
    const int px = in.twipsPerPixel;
    int heightAvailable = in.allHeight - in.listTop - 4 * px;
    const auto rowsOverflow = [&] { return static_cast<std::int64_t>(in.oneHeight) * in.itemCount >= heightAvailable; };
    out.vNeeded = in.itemCount >= 1 && in.vbarDisabled != 1 && rowsOverflow();
    int widthAvailable = in.allWidth - 4 * px - (out.vNeeded ? in.vbarWidth : 0);

    out.hNeeded = in.totalWidth > widthAvailable && in.hbarDisabled == 0;
    if (out.hNeeded) {
        heightAvailable -= in.hbarHeight;
        if (!out.vNeeded && in.itemCount >= 1 && in.vbarDisabled != 1 && rowsOverflow()) {
            out.vNeeded = true;
            widthAvailable -= in.vbarWidth;
        }
    }
    out.listWidth = widthAvailable;
    out.listHeight = heightAvailable;
    out.visibleRows = in.oneHeight > 0 ? std::max(heightAvailable, 0) / in.oneHeight : 0;

    if (out.vNeeded) {
        const double shown = in.itemCount > 0 ? static_cast<double>(out.visibleRows) / in.itemCount : 1.0;
        out.vMax = AtLeastOne(static_cast<std::int64_t>(in.itemCount) - out.visibleRows + 1);
        out.vLargeChange = AtLeastOne(numeric::RoundToInt64(shown * out.vMax));
        out.vHeight = heightAvailable - 4 * px;
        out.vPointer = shown;
    }
    if (out.hNeeded) {
        std::int64_t excess = static_cast<std::int64_t>(in.totalWidth) - widthAvailable;
        if (!in.sliderBars) {
            excess = std::min<std::int64_t>(excess, 32767);
        }
        out.hMax = AtLeastOne(excess);
        const double shown = in.totalWidth > 0 ? static_cast<double>(widthAvailable) / in.totalWidth : 1.0;
        out.hLargeChange = AtLeastOne(numeric::RoundToInt64(shown * out.hMax));
        out.hWidth = widthAvailable;
        out.hPointer = shown;
    }
    return out;
}

} // namespace listview
