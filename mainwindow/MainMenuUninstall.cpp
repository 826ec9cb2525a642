// Help > Uninstall: the program's settings go and the program ends at once,
// without the close request and without writing anything back.
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Fonts.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/ModuleValues.h"
#include "foundation/Registry.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/Sessions.h"
#include "platform/MessageBox.h"

#include <QMenuBar>

#include <algorithm>
#include <vector>

namespace {

// The INI files that hold settings of the program: one per session beside
// the program (the first also holds what all sessions share), and the file
// this session uses.
std::vector<std::string> SettingsIniFiles()
{
    std::vector<std::string> files;
    for (int session = 0; session < Sessions::Count; ++session) {
        const std::string path = basic::AppPath() + Sessions::SessionName(session) + ".ini";
        if (basic::FileExists(path) != 0) {
            files.push_back(path);
        }
    }
    if (!basic::SettingsIniPath.empty() &&
        std::find(files.begin(), files.end(), basic::SettingsIniPath) == files.end()) {
        files.push_back(basic::SettingsIniPath);
    }
    return files;
}

} // namespace

void FrmMain::Uninstall()
{
    const int answer = basic::ShowMessage(basic::LangText("アンインストールしますか？", "Uninstall the tolv?"),
                                          platform::BoxYesNo + platform::IconQuestion, "", this);
    if (answer != platform::IdYes) {
        return;
    }
    TimerUpdate.SetInterval(0);
    State.Running = 0;
    MenuBar->setEnabled(false);
    for (int output = 0; output < State.NumOut; ++output) {
        State.StoppedByUser[static_cast<std::size_t>(output)] = 1;
    }
    for (int slot = 0; slot < State.PlayerCount; ++slot) {
        State.PlayerAt(slot).StopIO();
        State.ReleasePlayer(slot);
    }

    // Settings in INI files are the operator's files: they are named, not
    // deleted. In the registry only the program's own key goes; the other
    // sessions' keys and the shared section stay.
    std::string message;
    if (!basic::SettingsIniPath.empty()) {
        message = basic::LangText("設定はINIファイルに保存されています。次のファイルを手動で削除してください：",
                                  "The settings are kept in INI files. Delete these files manually:");
        for (const std::string& file : SettingsIniFiles()) {
            message += "\n" + file;
        }
    } else if (basic::RegDeleteKey("") == 1) {
        message = basic::LangText("レジストリから削除しました。ファイルの削除は手動で行ってください",
                                  "all setting has removed from windows registry.delete left files manually.");
    } else {
        basic::WriteLog("Uninstall: no settings key of the program to delete", 0, 0);
    }

    // The boxes' lamps go off as at every end of the program, then they close.
    for (int output = 0; output < State.NumOut; ++output) {
        SendFinalRemoteStatus(output);
    }
    for (int channel = 0; channel < 4; ++channel) {
        if (Ports.RemoteDevices->ComOpen(channel)) {
            Ports.RemoteDevices->CloseComm(channel);
        }
        if (Ports.RemoteDevices->HidOpen(channel)) {
            Ports.RemoteDevices->HidClose(channel);
        }
    }
    if (!message.empty()) {
        basic::ShowMessage(message, platform::IconInformation, "", this);
    }
    basic::FreeFont();

    // The end: no unload runs after this (it would write the settings back).
    ended_ = true;
    hide();
    if (OnEnded) {
        OnEnded();
    }
}
