#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace listview {

// One value of a list row: empty, a text or a number. Windows mostly store
// texts; counters and positions may be numbers.
class ListCell {
public:
    ListCell() = default;
    ListCell(std::string text) : value_(std::move(text)) {}
    ListCell(std::string_view text) : value_(std::string(text)) {}
    ListCell(const char* text) : value_(std::string(text != nullptr ? text : "")) {}
    ListCell(double number) : value_(number) {}
    ListCell(int number) : value_(static_cast<double>(number)) {}

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsNumber() const { return std::holds_alternative<double>(value_); }
    bool IsText() const { return std::holds_alternative<std::string>(value_); }

    // The value as shown: "" when empty, numbers in their shortest decimal
    // form ("1.5", "1E+20").
    std::string Text() const;
    // The value as a number: numbers as they are, numeric texts parsed;
    // nothing for an empty value or a text that is not a number.
    std::optional<double> Number() const;

    bool operator==(const ListCell&) const = default;

private:
    std::variant<std::monostate, std::string, double> value_;
};

} // namespace listview
