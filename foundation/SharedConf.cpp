#include "foundation/SharedConf.h"

#include "foundation/ColumnNames.h"
#include "foundation/FileAccess.h"
#include "foundation/Folders.h"
#include "foundation/HostReachability.h"
#include "foundation/IniFile.h"
#include "foundation/ModuleValues.h"
#include "foundation/ServerFolders.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <utility>

namespace FCT_Quind {

std::array<std::string, TriggerCount> TriggerStrings;
std::array<std::string, AirNameCount> AirNames;
std::int32_t AirNameEnd = AirNameCount + 1;
std::int32_t NumRef = 3;
std::vector<std::string> RefNames;
std::array<std::string, TypeCount> TypeNames;
std::array<basic::Color, TypeCount> TypeColors{};
std::array<basic::Color, TypeCount> TypeShades{};
std::string CommandName;
basic::Color CommandColor = 0;
basic::Color CommandShade = 0;
std::array<std::int32_t, TabCount> TabVisible{};
std::int32_t HourAdjust = 18000;
std::string TimeSrv;
std::int32_t UseTime = 0;
std::int32_t UseUser = 0;
std::int32_t UserCCUF = 1;
std::int32_t DefaultClassGB = 0;

namespace {

constexpr std::string_view ConfFileName = "conf.ini";
constexpr std::string_view Section = "conf";

// The keys of the column captions, in the order of ColumnNames.
constexpr std::array<std::string_view, ColumnCount> ColumnKeys{"DriveName",   "FolderName",     "TitleName",
                                                               "TypeName",    "LengthName",     "DateNameStart",
                                                               "DateNameEnd", "UserColumnName", "FiletimeName"};

constexpr basic::Color White = 0xFFFFFF;
constexpr basic::Color DefaultCommandColor = 0x606060;
constexpr std::int32_t ShadeLift = 60;

// Reads one key of the local copy; a missing key is written back.
class ConfReader {
public:
    explicit ConfReader(std::string file) : file_(std::move(file)) {}

    std::string Text(std::string_view key, std::string_view defaultValue) const
    {
        return basic::IniRead(key, defaultValue, file_, Section, 1);
    }
    // A value that is not a whole number counts as its default.
    std::int32_t Number(std::string_view key, std::int32_t defaultValue) const
    {
        return numeric::ParseLong(basic::IniRead(key, defaultValue, file_, Section, 1)).value_or(defaultValue);
    }

private:
    std::string file_;
};

std::string Numbered(std::string_view name, int number)
{
    return std::string(name) + std::to_string(number);
}

basic::Color ShadeOf(basic::Color colour)
{
    return colour == 0 ? White : basic::ShiftColor(colour, ShadeLift, ShadeLift, ShadeLift, -1.0F);
}

void ReadTriggers(const ConfReader& conf)
{
    TriggerStrings[0] = conf.Text("TriggerString_1", "TIME");
    if (TriggerStrings[0].empty()) {
        TriggerStrings[0] = "TIME";
    }
    TriggerStrings[1] = conf.Text("TriggerString_2", "SEQ");
    if (TriggerStrings[1].empty()) {
        TriggerStrings[1] = "SEQ";
    }
    for (int number = 3; number <= TriggerCount; ++number) {
        TriggerStrings[number - 1] = conf.Text(Numbered("TriggerString_", number), Numbered("CNT", number - 2));
        if (TriggerStrings[number - 1].empty()) {
            break;
        }
    }
}

void ReadAirNames(const ConfReader& conf)
{
    AirNameEnd = AirNameCount + 1;
    for (int number = 1; number <= AirNameCount; ++number) {
        AirNames[number - 1] = conf.Text(Numbered("AirName_", number), Numbered("Air", number));
        if (AirNames[number - 1].empty()) {
            AirNameEnd = number;
            break;
        }
    }
}

void ReadReferences(const ConfReader& conf)
{
    NumRef = std::clamp(conf.Number("NumRef", 3), 1, MaxRefCount);
    RefNames.resize(static_cast<std::size_t>(NumRef));
    for (int number = 1; number <= NumRef; ++number) {
        RefNames[number - 1] = conf.Text(Numbered("RefName_", number), Numbered("参照", number));
    }
}

void ReadTypes(const ConfReader& conf)
{
    for (int number = 1; number <= TypeCount; ++number) {
        TypeNames[number - 1] = conf.Text(Numbered("TypeName_", number), Numbered("種別", number));
    }
    for (int number = 1; number <= TypeCount; ++number) {
        TypeColors[number - 1] = conf.Number(Numbered("TypeColor_", number), 0);
        TypeShades[number - 1] = ShadeOf(TypeColors[number - 1]);
    }
    CommandName = conf.Text("CommandName", "コマンド");
    CommandColor = conf.Number("CommandColor", DefaultCommandColor);
    CommandShade = ShadeOf(CommandColor);
}

void ReadDisplay(const ConfReader& conf)
{
    for (int number = 1; number <= TabCount; ++number) {
        TabVisible[number - 1] = conf.Number(Numbered("TabVisible_", number), 1);
    }
    for (int column = 0; column < ColumnCount; ++column) {
        ColumnNames[column] = conf.Text(ColumnKeys[column], DefaultColumnNames[column]);
    }
    RefreshSecondColumnNames();
}

void ReadTimeAndUsers(const ConfReader& conf)
{
    HourAdjust = conf.Number("HourAdjust", 18000);
    TimeSrv = conf.Text("TimeSrv", "");
    std::erase(TimeSrv, '\\');
    UseTime = conf.Number("UseTime", 0);
    UseUser = conf.Number("UseUser", 0);
    UserCCUF = conf.Number("UserCCUF", 1);
    DefaultClassGB = conf.Number("DefaultClassGB", 0);
}

// The server copy replaces the local one only when the server answers, so a
// dead server costs at most the host check and never blocks on the share.
void TakeServerCopy(const std::string& localFile)
{
    const std::string& serverConf = Servers[CurrentServer].ConfPath;
    if (serverConf.empty()) {
        return;
    }
    const std::string serverFile = serverConf + std::string(ConfFileName);
    if (FCT_Ping::IsPathHostReachable(serverFile, SharedConfPingTimeoutMs, SharedConfPingMaxAgeSec) == 1 &&
        basic::FileExists(serverFile) == 1) {
        basic::CopyFileOver(serverFile, localFile, 1);
    }
}

} // namespace

std::string LocalSharedConfFile()
{
    const bool localConf = !LocalConfPath.empty() && basic::FolderExists(LocalConfPath) == 1;
    return (localConf ? LocalConfPath : basic::AppPath()) + std::string(ConfFileName);
}

void LoadSaveSharedConf(int save)
{
    if (save != 0) {
        return;
    }
    const std::string localFile = LocalSharedConfFile();
    TakeServerCopy(localFile);
    const ConfReader conf(localFile);
    ReadTriggers(conf);
    ReadAirNames(conf);
    ReadReferences(conf);
    ReadTypes(conf);
    ReadDisplay(conf);
    ReadTimeAndUsers(conf);
}

} // namespace FCT_Quind
