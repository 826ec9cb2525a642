#pragma once

#include <string>

class FrmMain;

// The main window's menu bar: File, Tool, Cache, Large/Small, Configuration,
// Editor, Help and Close. The commands themselves are members of FrmMain
// (MenuTool_Click, MenuDispBig_Click, MenuConf_Click, MenuEditor_Click,
// MenuHelp_Click); here are the captions and the rules that show entries.
namespace MainMenu {

// The help file of the run's language, looked for beside the program:
// "tolv.pdf" in Japanese, "tolv_help_eng.txt" in English.
std::string HelpFileName();

// Captions of every bar entry and drop-down item in the run's language. The
// Large/Small entry is captioned with the display switch (SettingsApply).
void ApplyCaptions(FrmMain& window);

// What a full settings apply shows: the Tool menu only with DispTool 1, the
// Cache menu with ShowCacheMenu 1 (the apply hides it again later without a
// local cache folder), Editor with an editor program, Show Help with a help
// file. The items hidden for a user of group 0 are never shown again.
void ApplyVisibility(FrmMain& window);

} // namespace MainMenu
