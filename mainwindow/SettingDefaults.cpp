#include "mainwindow/SettingDefaults.h"

#include "platform/base/Numbers.h"

#include <array>
#include <optional>
#include <utility>

namespace SettingDefaults {

namespace {

using Entry = std::pair<std::string_view, std::string_view>;

// Grouped as the configuration dialog's pages show them; the last group holds
// keys that only the main window reads.
constexpr auto Table = std::to_array<Entry>({
    // Player
    {"NumOut", "1"},
    {"PlayerType", "3"},
    {"DeviceDS_", ""},
    {"DeviceWave_", ""},
    {"DeviceDSMon", ""},
    {"DeviceWaveMon", ""},
    {"IsList_", "0"},
    {"MuteMS", "0"},
    {"DelayMS", "0"},
    {"NoClose", "1"},
    {"UseExtensible", "0"},
    {"CueActive_", "0"},
    {"UsePause", "0"},
    {"NoPlayMS", "0"},
    {"TimerInt", "50"},
    // Data
    {"TlvTxtPath", ""},
    {"TlvBackupPath", ""},
    {"ShowDlg", "0"},
    {"OpenRemovable", "0"},
    {"OpenLast", "0"},
    {"Abspath", "1"},
    {"SyncDrive", ""},
    {"TlvExtention", "txt"},
    {"SaveEnd", "2"},
    // Sound
    {"CheckWavFmt", "0"},
    {"SozaiFreq", "48000"},
    {"SozaiMode", "3"},
    {"SoundDrive", ""},
    {"PreReadSound", "1"},
    // Cache
    {"LocalPath", ""},
    {"SrvPath_", ""},
    {"CacheAtDrop_", "0"},
    {"CacheAll", "0"},
    {"AlertNoCache", "0"},
    {"CheckCacheLite", "0"},
    {"ShowCacheMenu", "1"},
    // Tip
    {"GetTip", "0"},
    {"KillOldCache", "0"},
    {"ApplyTipColor", "1"},
    {"DispTip_", "0"},
    {"DispIt_", "1"},
    {"DispItRef_", "1"},
    // User
    {"NeedLogOn", "0"},
    {"UseTlvUser", "0"},
    // Disp
    {"AltFont", "0"},
    {"SizeRate_1", "1"},
    {"SizeRate_2", "1.3"},
    {"PlayColor_1", "0"},
    {"PlayColor_2", "1"},
    {"PlayColor_3", "2"},
    {"CloseButtonAction", "0"},
    {"PlayerColor_", "0"},
    {"UseMultiSession", "0"},
    {"UsePan", "0"},
    {"UseSpeed", "0"},
    {"UseVol", "0"},
    {"UseMixer", "0"},
    {"DispBarTime", "1"},
    {"ColorBar", "1"},
    {"HiColor", "0"},
    {"UseLineOutLock", "0"},
    {"DispTool", "1"},
    {"DispDispBig", "1"},
    {"ShowObservation", "0"},
    {"MixerApp", ""},
    {"EditApp", ""},
    // Button
    {"ButtonSizeX", "118"},
    {"ButtonSizeY", "113"},
    {"ModuleX_", "8"},
    {"ModuleY_", "4"},
    {"DefaultButtonOption", "0"},
    {"ButtonType", "1"},
    {"ButtonHorizon", "1"},
    {"ButtonOrderHorizon", "1"},
    {"LEDFrame", "1"},
    {"AssignSTBY", "0"},
    {"DispButtonTime", "1"},
    {"DispButtonOption", "0"},
    {"SerialButtonNum", "0"},
    {"PressToPlay", "0"},
    {"SwitchLR", "0"},
    {"UseButtonRCMenu", "1"},
    {"ShowFmtTolv", "1"},
    {"BlankToStop", "1"},
    // List
    {"CurrentColor", "0"},
    {"ShowCtrl", "1"},
    {"ShowCurrent", "1"},
    {"ListOrderHorizon", "1"},
    {"UseListStartMS", "1"},
    {"UseListSeq", "1"},
    {"SeqItemType", "0"},
    {"SeqRC", "0"},
    {"ListCtrl", "0"},
    {"CheckProg", "0"},
    {"UseListRCMenu", "1"},
    {"ShowFmtList", "1"},
    {"LoopListCursor", "1"},
    {"ListWhilePlay", "0"},
    // Page
    {"PageNum", "10"},
    {"PageButtonWidth", "31"},
    {"BankSync", "0"},
    {"ShowPage_", "1"},
    // Indicator
    {"DispONAIR_", "1"},
    {"DispKEY_", "1"},
    {"DispFADE_", "1"},
    {"DispSTBY_", "1"},
    {"DispTimer_", "0"},
    {"ShellName_", ""},
    {"ShellCommand_", ""},
    // Remote: serial port n and HID box n control output n unless set
    {"ComNo_", "0"},
    {"ComMode_", "2"},
    {"ComBaud_", "38400"},
    {"ComCh_1", "0"},
    {"ComCh_2", "1"},
    {"ComCh_3", "2"},
    {"ComCh_4", "3"},
    {"NumLEDCom_", "15"},
    {"USBHIDID_", "0"},
    {"HIDCh_1", "0"},
    {"HIDCh_2", "1"},
    {"HIDCh_3", "2"},
    {"HIDCh_4", "3"},
    {"NumLEDHID_", "32"},
    {"HIDGetStatus_", "0"},
    {"HIDAsync_", "0"},
    {"UseMIDIIn", "0"},
    {"MidiInDeviceID", "0"},
    {"MIDINoteOffset", "48"},
    {"TallySTBYWhilePlay", "0"},
    {"TallyInvert", "0"},
    {"FSInt", "0"},
    // Read by the main window only
    {"FITime", "0"},
    {"FOTime", "0"},
    {"FIOffset", "0"},
    {"AutoSel", "0"},
    {"TimerTime_", ""},
    {"TimerMode_", "0"},
    {"DispLap_", "1"},
});

std::optional<std::string_view> Find(std::string_view key)
{
    // A stem ("IsList_") is no key of its own.
    if (key.empty() || key.back() == '_') {
        return std::nullopt;
    }
    for (const auto& [name, value] : Table) {
        if (name == key) {
            return value;
        }
    }
    // "IsList_2" is found under "IsList_".
    const std::size_t underscore = key.rfind('_');
    if (underscore == std::string_view::npos || underscore + 1 == key.size() ||
        !numeric::IsAllDigits(key.substr(underscore + 1))) {
        return std::nullopt;
    }
    const std::string_view stem = key.substr(0, underscore + 1);
    for (const auto& [name, value] : Table) {
        if (name == stem) {
            return value;
        }
    }
    return std::nullopt;
}

} // namespace

std::string_view Text(std::string_view key)
{
    return Find(key).value_or(std::string_view{});
}

std::int32_t Long(std::string_view key)
{
    return numeric::ParseLong(Text(key)).value_or(0);
}

bool Has(std::string_view key)
{
    return Find(key).has_value();
}

} // namespace SettingDefaults
