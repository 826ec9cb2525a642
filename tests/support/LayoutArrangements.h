#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace testsupport {

// One window arrangement of each LayoutType: the outputs it is set for and
// which of them show play lists.
struct LayoutArrangement {
    int layoutType;
    int numOut;
    std::vector<int> lists; // 1-based outputs showing play lists
};

inline void PrintTo(const LayoutArrangement& arrangement, std::ostream* out)
{
    *out << "layout type " << arrangement.layoutType;
}

inline std::vector<LayoutArrangement> EveryLayoutArrangement()
{
    return {{0, 1, {}},         {1, 2, {}},  {2, 2, {1, 2}},       {3, 3, {2, 3}},    {4, 3, {1, 2}},
            {5, 3, {3}},        {6, 3, {1}}, {7, 3, {}},           {8, 3, {1, 2, 3}}, {9, 4, {2, 3, 4}},
            {10, 4, {1, 2, 3}}, {11, 4, {}}, {12, 4, {1, 2, 3, 4}}};
}

inline std::string LayoutArrangementName(const testing::TestParamInfo<LayoutArrangement>& row)
{
    return "Layout" + std::to_string(row.param.layoutType);
}

} // namespace testsupport
