#include "mainwindow/CommandLineOptions.h"

#include "foundation/CommandLine.h"
#include "foundation/DayLog.h"
#include "foundation/SubClass.h"
#include "mainwindow/FrmMain.h"
#include "platform/Screens.h"
#include "platform/base/Twips.h"

#include <QAction>

#include <cstdint>
#include <limits>
#include <vector>

namespace CommandLineOptions {

namespace {

// The one value of an option that lies in [low, high]; none (logged) for an
// option given more than once, not a plain integer or out of range.
std::optional<int> OneValue(std::string_view text, std::string_view option, std::int64_t low, std::int64_t high)
{
    std::vector<std::string> values;
    const int count = basic::ParseCommandLine(values, option, text);
    if (count == 0) {
        return std::nullopt;
    }
    const std::string shown = std::string(option) + (count == 1 ? values.front() : std::string("..."));
    if (count > 1) {
        basic::WriteLog("Command line: " + std::string(option) + " is given " + std::to_string(count) +
                            " times and is ignored",
                        0, 0);
        return std::nullopt;
    }
    const std::optional<int> value = PlainInteger(values.front());
    if (!value || *value < low || *value > high) {
        basic::WriteLog("Command line: " + shown + " is ignored", 0, 0);
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<int> PlainInteger(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 10) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (negative) {
        value = -value;
    }
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

WindowOptions ReadWindowOptions(std::string_view text, const QRect& desktop)
{
    WindowOptions options;
    // Any whole number: a value other than the display shown switches it.
    options.Big = OneValue(text, "B=", std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    options.Left = OneValue(text, "X=", desktop.left(), desktop.right());
    options.Top = OneValue(text, "Y=", desktop.top(), desktop.bottom());
    options.Width = OneValue(text, "W=", 1, desktop.width());
    options.Height = OneValue(text, "H=", 1, desktop.height());
    return options;
}

std::string FileToOpen(std::string_view text)
{
    std::vector<std::string> files;
    if (basic::ParseCommandLine(files, "", text) > 0) {
        return files.front();
    }
    return {};
}

} // namespace CommandLineOptions

void FrmMain::ApplyCommandLine(std::string_view text)
{
    const CommandLineOptions::WindowOptions options =
        CommandLineOptions::ReadWindowOptions(text, platform::VirtualDesktop());
    // The switch first, so the place and size given win over the stored ones
    // of the other display. "B=" names the display wanted, 1 big and 0
    // normal; any other value (2, -1) is not the one shown, so it switches.
    if (options.Big && MenuDispBig->isEnabled() && *options.Big != (State.DispBig == 1 ? 1 : 0)) {
        MenuDispBig_Click();
    }
    if (options.Left || options.Top || options.Width || options.Height) {
        // A place given on the command line is where the operator wants the
        // window, also when it was minimised or maximised.
        if (WindowState() != platform::StateNormal) {
            SetWindowState(platform::StateNormal);
        }
        const int twips = basic::TwipsPerPixel;
        if (options.Left) {
            SetLeft(static_cast<double>(*options.Left) * twips);
        }
        if (options.Top) {
            SetTop(static_cast<double>(*options.Top) * twips);
        }
        if (options.Width) {
            SetWidth(static_cast<double>(*options.Width) * twips);
        }
        if (options.Height) {
            SetHeight(static_cast<double>(*options.Height) * twips);
        }
    }
    const std::string file = CommandLineOptions::FileToOpen(text);
    if (!file.empty()) {
        int ok = 0;
        Ports.AssignFile->OpenSaveAssignFile(0, file, ok);
    }
}

bool FrmMain::ApplyHandedOverCommandLine()
{
    const std::string text = FCT_SubClass::GetCopyDataText(this);
    if (text.empty()) {
        return false;
    }
    ApplyCommandLine(text);
    return true;
}
