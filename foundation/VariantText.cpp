#include "foundation/VariantText.h"

#include <cstdio>

namespace basic {

namespace {

std::string NumberText(double value, int digits)
{
    if (value == 0.0) {
        return "0"; // also for -0
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
    return buffer;
}

} // namespace

VariantText::VariantText(double value) : text(NumberText(value, 15)) {}

VariantText::VariantText(float value) : text(NumberText(static_cast<double>(value), 7)) {}

} // namespace basic
