#include "controls/listview/ListCell.h"

#include "foundation/VariantText.h"
#include "platform/base/Numbers.h"

namespace listview {

std::string ListCell::Text() const
{
    if (const auto* text = std::get_if<std::string>(&value_)) {
        return *text;
    }
    if (const auto* number = std::get_if<double>(&value_)) {
        return basic::VariantText(*number).Text();
    }
    return {};
}

std::optional<double> ListCell::Number() const
{
    if (const auto* number = std::get_if<double>(&value_)) {
        return *number;
    }
    if (const auto* text = std::get_if<std::string>(&value_)) {
        return numeric::ParseNumber(*text);
    }
    return std::nullopt;
}

} // namespace listview
