#include "mainwindow/LayoutTypes.h"

namespace LayoutTypes {

namespace {

// Which order setting an arrangement needs.
enum Needs { ButtonOrder = 1, ListOrder = 2 };

struct Arrangement {
    int layoutType;
    int numOut;
    unsigned listMask; // bit n: output n is a list
    int needs;
};

constexpr Arrangement arrangements[] = {
    {1, 2, 0b00, ButtonOrder},
    {2, 2, 0b11, ListOrder},
    {3, 3, 0b110, ListOrder},
    {4, 3, 0b011, ListOrder},
    {5, 3, 0b100, ButtonOrder},
    {6, 3, 0b001, ButtonOrder},
    {7, 3, 0b000, ButtonOrder},
    {8, 3, 0b111, ListOrder},
    {9, 4, 0b1110, ListOrder},
    {10, 4, 0b0111, ListOrder},
    {11, 4, 0b0000, ListOrder | ButtonOrder},
    {12, 4, 0b1111, ListOrder},
};

} // namespace

int Choose(int numOut, const std::array<std::int32_t, 4>& isList, int listOrderHorizon, int buttonOrderHorizon)
{
    unsigned mask = 0;
    for (int output = 0; output < numOut && output < 4; ++output) {
        if (isList[static_cast<std::size_t>(output)] != 0) {
            mask |= 1U << output;
        }
    }
    for (const Arrangement& row : arrangements) {
        if (row.numOut != numOut || row.listMask != mask) {
            continue;
        }
        if ((row.needs & ButtonOrder) != 0 && buttonOrderHorizon != 1) {
            continue;
        }
        if ((row.needs & ListOrder) != 0 && listOrderHorizon != 1) {
            continue;
        }
        return row.layoutType;
    }
    return 0;
}

int Columns(int layoutType, bool outputIsList)
{
    switch (layoutType) {
    case 1:
    case 2:
        return 2;
    case 3:
    case 4:
        return outputIsList ? 2 : 1;
    case 5:
    case 6:
        return outputIsList ? 1 : 2;
    case 7:
    case 8:
    case 9:
    case 10:
        return 3;
    case 11:
    case 12:
        return 4;
    default:
        return 1;
    }
}

bool NextBeside(int layoutType, int output)
{
    switch (layoutType) {
    case 1:
    case 2:
    case 7:
    case 8:
    case 11:
    case 12:
        return true;
    case 3:
    case 6:
        return output == 1;
    case 4:
    case 5:
        return output == 0;
    case 9:
        return output == 1 || output == 2;
    case 10:
        return output == 0 || output == 1;
    default:
        return false;
    }
}

} // namespace LayoutTypes
