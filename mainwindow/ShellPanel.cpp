#include "mainwindow/ShellPanel.h"

#include "foundation/Paths.h"
#include "foundation/Programs.h"
#include "foundation/Settings.h"
#include "foundation/Waits.h"
#include "foundation/WindowPositions.h"
#include "mainwindow/FrmMain.h"
#include "platform/ForeignWindows.h"
#include "platform/ProcessStart.h"
#include "platform/ServerPaths.h"

namespace {

// Time the started program has to open its window before it is looked for.
constexpr int WindowSearchDelayMs = 50;

std::string BrowserSuffix(int output)
{
    return "Sozai" + std::to_string(output + 1);
}

} // namespace

namespace ShellPanel {

bool OpensMaterialBrowser(std::string_view command)
{
    constexpr std::string_view keyword = "sozai";
    if (command.size() != keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        const char c = command[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != keyword[i]) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> CommandArguments(std::string_view command)
{
    std::vector<std::string> words = basic::SplitCommandWords(command);
    if (!words.empty()) {
        words.front() = platform::NativePath(words.front());
    }
    return words;
}

std::string WindowTitleOfCommand(std::string_view command)
{
    constexpr std::string_view extension = ".exe";
    const std::size_t at = command.find(extension);
    if (at == std::string_view::npos) {
        return {};
    }
    std::string program(command.substr(0, at + extension.size()));
    // A quoted program path: the quote before it is no part of the name.
    const std::size_t quote = program.rfind('"');
    if (quote != std::string::npos) {
        program.erase(0, quote + 1);
    }
    return basic::GetPathPart(program, 0, 0, 1, 0, 0, 0);
}

} // namespace ShellPanel

void FrmMain::TextShell_MouseUD(int index, int button, bool isDown, int /*pIndex*/)
{
    if (button != 1 || isDown || index < 0 || index >= MainState::Outputs) {
        return;
    }
    if (State.OutputLocked[static_cast<std::size_t>(index)] != 0) {
        return;
    }
    const std::string command = basic::GetSetting("ShellCommand_" + std::to_string(index + 1), "");
    if (command.empty()) {
        return;
    }
    if (ShellPanel::OpensMaterialBrowser(command)) {
        MaterialBrowserPort& browser = *Ports.MaterialBrowser;
        if (!browser.IsLoaded()) {
            if (State.SomethingPlays == 1) {
                return;
            }
            browser.Show(*this, index);
            return;
        }
        // An open browser moves to the clicked output, also while sound
        // plays: each output keeps its own place for it.
        if (platform::Form* form = browser.Window()) {
            basic::SaveWindowPos(*form, BrowserSuffix(browser.Output()), false, true);
            form->hide();
            basic::RestoreWindowPos(*form, BrowserSuffix(index), false, true, false);
        }
        browser.Show(*this, index);
        return;
    }
    if (platform::SpawnProgram(ShellPanel::CommandArguments(command)) == 0) {
        return;
    }
    basic::WaitMs(WindowSearchDelayMs, 0);
    const std::string title = ShellPanel::WindowTitleOfCommand(command);
    if (title.empty()) {
        return;
    }
    const std::optional<platform::ForeignWindow> started = platform::FindTopLevelWindow(title);
    if (started && platform::IsForegroundWindow(*this)) {
        platform::ActivateTopLevelWindow(*started);
    }
}
