#pragma once

#include <concepts>
#include <string>
#include <string_view>
#include <utility>

namespace basic {

// A Variant argument of the settings routines (a default or a value to save),
// held as the text the old text conversion gave it: texts as they are, whole
// numbers in decimal, Doubles with up to 15 significant digits and Singles with
// up to 7 ("0.1", "1E+20"), Booleans as "True" / "False".
class VariantText {
public:
    VariantText() = default;
    VariantText(const char* value) : text(value != nullptr ? value : "") {}
    VariantText(std::string_view value) : text(value) {}
    VariantText(std::string value) : text(std::move(value)) {}
    VariantText(bool value) : text(value ? "True" : "False") {}
    template <std::integral Number>
    requires(!std::same_as<Number, bool>) VariantText(Number value) : text(std::to_string(value)) {}
    VariantText(double value);
    VariantText(float value);

    const std::string& Text() const { return text; }

private:
    std::string text;
};

} // namespace basic
