#include "foundation/WindowPositions.h"

#include "foundation/MessageBoxes.h"
#include "foundation/Settings.h"
#include "platform/Form.h"
#include "platform/base/Numbers.h"

#include <optional>
#include <string>

namespace basic {

namespace {

std::string Key(std::string_view name, std::string_view suffix)
{
    return std::string(name) + std::string(suffix);
}

std::optional<double> ReadNumber(std::string_view name, std::string_view suffix, int current)
{
    return numeric::ParseNumber(GetSetting(Key(name, suffix), static_cast<float>(current)));
}

} // namespace

bool HasStoredWindowSize(std::string_view suffix)
{
    for (const std::string_view name : {"WindowWidth", "WindowHeight"}) {
        const std::optional<double> value = numeric::ParseNumber(GetSetting(Key(name, suffix), ""));
        if (!value || !(*value > 0 && *value < 1e9)) {
            return false;
        }
    }
    return true;
}

void RestoreWindowPos(platform::Form& form, std::string_view suffix, bool skipSize, bool skipState, bool skipPosition)
{
    if (form.WindowState() == platform::StateNormal) {
        if (!skipPosition) {
            const std::optional<std::int32_t> storedLeft =
                numeric::ParseLong(GetSetting(Key("WindowLeft", suffix), static_cast<float>(form.Left())));
            const std::optional<std::int32_t> storedTop =
                numeric::ParseLong(GetSetting(Key("WindowTop", suffix), static_cast<float>(form.Top())));
            int left = storedLeft.value_or(form.Left());
            int top = storedTop.value_or(form.Top());
            // A window stored beyond today's screens comes back to the edge.
            if (left < 0 || left > EnumMonitors(0, 0) - 600) {
                left = 0;
            }
            if (top < 0 || top > EnumMonitors(1, 0) - 900) {
                top = 0;
            }
            form.Move(left, top);
        }
        if (!skipSize) {
            const std::optional<double> height = ReadNumber("WindowHeight", suffix, form.Height());
            const std::optional<double> width = ReadNumber("WindowWidth", suffix, form.Width());
            if (height && *height > 0 && *height < 1e9) {
                form.SetHeight(*height);
            }
            if (width && *width > 0 && *width < 1e9) {
                form.SetWidth(*width);
            }
        }
    }
    if (!skipState) {
        const std::optional<std::int32_t> state =
            numeric::ParseLong(GetSetting(Key("WindowState", suffix), form.WindowState()));
        if (state && *state >= platform::StateNormal && *state <= platform::StateMaximized) {
            form.SetWindowState(*state);
        }
    }
}

void SaveWindowPos(const platform::Form& form, std::string_view suffix, bool skipSize, bool skipState)
{
    if (form.WindowState() == platform::StateNormal) {
        SaveSetting(Key("WindowLeft", suffix), form.Left());
        SaveSetting(Key("WindowTop", suffix), form.Top());
        if (!skipSize) {
            SaveSetting(Key("WindowHeight", suffix), form.Height());
            SaveSetting(Key("WindowWidth", suffix), form.Width());
        }
    }
    if (!skipState) {
        SaveSetting(Key("WindowState", suffix), form.WindowState());
    }
}

} // namespace basic
