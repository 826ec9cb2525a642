#include "mainwindow/ButtonGridRules.h"

#include "platform/base/Numbers.h"

#include <algorithm>
#include <cstddef>

namespace ButtonGridRules {

ModuleSize HoldModule(int storedX, int storedY)
{
    ModuleSize size;
    size.X = std::max(storedX, 1);
    size.Y = std::max(storedY, 1);
    if (size.X > MaxButtons || size.Y > MaxButtons) {
        size.X = std::min(size.X, MaxButtons);
        size.Y = std::min(size.Y, MaxButtons);
        size.Held = true;
    }
    if (size.X * size.Y > MaxButtons) {
        size.Y = MaxButtons / size.X;
        size.Held = true;
    }
    return size;
}

int ButtonPixels(int stored, float sizeFactor, int lowest, int highest)
{
    const std::int64_t scaled = numeric::RoundToInt64(static_cast<double>(stored) * static_cast<double>(sizeFactor));
    return static_cast<int>(std::clamp<std::int64_t>(scaled, lowest, highest));
}

Plan MakePlan(int numOut, const std::array<std::int32_t, 4>& isList, const std::array<ModuleSize, 4>& sizes)
{
    Plan plan;
    for (int output = 0; output < std::min(numOut, 4); ++output) {
        const auto o = static_cast<std::size_t>(output);
        if (isList[o] != 0) {
            continue;
        }
        plan.ModuleX[o] = sizes[o].X;
        plan.ModuleY[o] = sizes[o].Y;
        plan.Buttons[o] = sizes[o].X * sizes[o].Y;
        plan.MaxButtons = std::max(plan.MaxButtons, plan.Buttons[o]);
    }
    return plan;
}

std::vector<int> Elements(const Plan& plan, int numOut, const std::array<std::int32_t, 4>& isList)
{
    std::vector<int> elements;
    if (plan.MaxButtons <= 0) {
        return elements;
    }
    for (int i = 0; i < plan.MaxButtons * std::min(numOut, 4); ++i) {
        const auto o = static_cast<std::size_t>(i / plan.MaxButtons);
        const int b = i % plan.MaxButtons;
        if (isList[o] == 0 && b < plan.Buttons[o]) {
            elements.push_back(i);
        }
    }
    return elements;
}

} // namespace ButtonGridRules
