#include "mainwindow/SettingReaders.h"

#include "foundation/DayLog.h"
#include "foundation/Settings.h"
#include "mainwindow/SettingDefaults.h"
#include "platform/AsciiCase.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string>

namespace MainSettings {

namespace {

// Locale-free and as short as the value allows.
std::string NumberText(double value)
{
    std::array<char, 32> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), written.ptr);
}

// Names the key, what is stored and what is used in its place.
void LogNotNumeric(std::string_view key, const std::string& text, const std::string& used)
{
    basic::WriteLog("Setting " + std::string(key) + " \"" + text + "\" is not a number it can hold; " + used +
                        " is used",
                    1, 0);
}

std::int32_t CheckBoxValue(std::int32_t stored)
{
    return stored != 0 ? 1 : 0;
}

// Locale-free, as the factors are stored.
std::string TwoDecimals(double value)
{
    std::array<char, 32> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 2);
    return std::string(buffer.data(), written.ptr);
}

} // namespace

bool ReadLong(std::string_view key, std::int32_t defaultValue, std::int32_t& target, int base)
{
    const std::string text = basic::GetSetting(key, defaultValue, base);
    const std::optional<std::int32_t> value = numeric::ParseLong(text);
    if (!value) {
        LogNotNumeric(key, text, std::to_string(target));
        return false;
    }
    target = *value;
    return true;
}

std::int32_t Long(std::string_view key, std::int32_t defaultValue, int base)
{
    std::int32_t value = defaultValue;
    ReadLong(key, defaultValue, value, base);
    return value;
}

bool Flag(std::string_view key, bool defaultValue, int base)
{
    const std::string text = basic::GetSetting(key, defaultValue ? 1 : 0, base);
    if (const std::optional<double> number = numeric::ParseNumber(text)) {
        return *number != 0.0;
    }
    if (platform::EqualsIgnoringCase(text, "True")) {
        return true;
    }
    if (!platform::EqualsIgnoringCase(text, "False")) {
        LogNotNumeric(key, text, defaultValue ? "1" : "0");
        return defaultValue;
    }
    return false;
}

float Single(std::string_view key, float defaultValue, int base)
{
    const std::string text = basic::GetSetting(key, defaultValue, base);
    const std::optional<double> number = numeric::ParseNumber(text);
    if (!number) {
        LogNotNumeric(key, text, NumberText(defaultValue));
        return defaultValue;
    }
    return static_cast<float>(*number);
}

float SizeFactor(std::string_view key, float defaultValue)
{
    const std::string text = basic::GetSetting(key, defaultValue, 0);
    const std::optional<double> number = numeric::ParseNumber(text);
    if (!number) {
        LogNotNumeric(key, text, TwoDecimals(defaultValue));
        return defaultValue;
    }
    if (!(*number > 0.0)) {
        basic::WriteLog("Setting " + std::string(key) + " \"" + text + "\" is not above 0; " +
                            TwoDecimals(defaultValue) + " is used",
                        1, 0);
        return defaultValue;
    }
    const double within = std::clamp<double>(*number, SmallestSizeFactor, LargestSizeFactor);
    if (within != *number) {
        basic::WriteLog("Setting " + std::string(key) + " \"" + text + "\" is a size the window cannot be drawn at; " +
                            TwoDecimals(within) + " is used",
                        1, 0);
    }
    return static_cast<float>(within);
}

std::int32_t Long(std::string_view key)
{
    return Long(key, SettingDefaults::Long(key));
}

bool ReadLong(std::string_view key, std::int32_t& target)
{
    return ReadLong(key, SettingDefaults::Long(key), target);
}

std::int32_t UsableLong(std::string_view key, std::int32_t (*usable)(std::int32_t))
{
    const std::int32_t defaultValue = SettingDefaults::Long(key);
    const std::string text = basic::GetSetting(key, defaultValue, 0);
    const std::optional<std::int32_t> stored = numeric::ParseLong(text);
    if (!stored) {
        LogNotNumeric(key, text, std::to_string(usable(defaultValue)));
        return usable(defaultValue);
    }
    const std::int32_t used = usable(*stored);
    if (used != *stored) {
        basic::WriteLog("Setting " + std::string(key) + " \"" + text + "\" is beyond what the program can use; " +
                            std::to_string(used) + " is used",
                        1, 0);
    }
    return used;
}

std::int32_t CheckBox(std::string_view key)
{
    return UsableLong(key, CheckBoxValue);
}

std::string Text(std::string_view key, int base)
{
    return basic::GetSetting(key, SettingDefaults::Text(key), base);
}

} // namespace MainSettings
