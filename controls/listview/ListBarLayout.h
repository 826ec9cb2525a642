#pragma once

namespace listview {

// What the size of a list view and its contents ask of its scroll bars
// (lengths in twips).
struct ListBarInput {
    int allWidth = 0; // the container of the rows, header and bars
    int allHeight = 0;
    int listTop = 0; // below the header
    int itemCount = 0;
    int oneHeight = 0;  // row height
    int totalWidth = 0; // of all columns
    int vbarWidth = 0;
    int hbarHeight = 0;
    int vbarDisabled = 0;
    int hbarDisabled = 0;
    bool sliderBars = false; // standard bars end at 32767
    int twipsPerPixel = 15;
};

struct ListBarLayout {
    int listWidth = 0;
    int listHeight = 0;
    int visibleRows = 0;
    bool vNeeded = false;
    int vMax = 0;
    int vLargeChange = 0;
    int vHeight = 0;
    double vPointer = 0; // pointer size of a slider bar, as part of its track
    bool hNeeded = false;
    int hMax = 0;
    int hLargeChange = 0;
    int hWidth = 0;
    double hPointer = 0;
};

// Shows a vertical bar when the rows do not fit, a horizontal one when the
// columns do not, and scales both: the vertical bar's Max lets the last item
// reach the bottom row.
ListBarLayout ComputeBarLayout(const ListBarInput& in);

} // namespace listview
