#pragma once

#include <string>
#include <string_view>
#include <vector>

// The shell panel of an output (TextShell): a left click runs the output's
// shortcut command ShellCommand_<n>, read afresh at every click. The keyword
// "sozai" opens the material browser for the output; anything else is a
// command line started as a program of its own. FrmMain::TextShell_MouseUD
// is the click handler.
namespace ShellPanel {

// "sozai" in any letter case.
bool OpensMaterialBrowser(std::string_view command);

// The program and its arguments: words split at blanks, double quotes
// keeping blanks inside a word.
std::vector<std::string> CommandArguments(std::string_view command);

// The title of the window the started program is expected to open: the base
// name of the command cut after its first ".exe" (letter case counts, so
// ".EXE" gives none); "" when the command holds no ".exe".
std::string WindowTitleOfCommand(std::string_view command);

} // namespace ShellPanel
