#pragma once

#include "foundation/Colors.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The values every machine working on the same server shares through the
// file "conf.ini" in the current server's conf folder: names of triggers, air
// channels, reference fields and sound types, the type colours, the visible
// tabs and the list column captions (ColumnNames.h).
namespace FCT_Quind {

inline constexpr int TriggerCount = 10;
inline constexpr int AirNameCount = 8;
inline constexpr int MaxRefCount = 8;
inline constexpr int TypeCount = 16;
inline constexpr int TabCount = 9;

// Waiting for the server's host when "conf.ini" is loaded, and how old an
// earlier answer may be.
inline constexpr int SharedConfPingTimeoutMs = 1500;
inline constexpr int SharedConfPingMaxAgeSec = 300;

// TriggerString_1 .. TriggerString_10. The list ends at the first empty one.
extern std::array<std::string, TriggerCount> TriggerStrings;
// AirName_1 .. AirName_8. The list ends at the first empty one, whose number
// (1..8) AirNameEnd holds; 9 when none is empty.
extern std::array<std::string, AirNameCount> AirNames;
extern std::int32_t AirNameEnd;
// 1..8 reference names.
extern std::int32_t NumRef;
extern std::vector<std::string> RefNames;
// Sound types: names, colours and the lighter shades drawn from them (white
// for colour 0).
extern std::array<std::string, TypeCount> TypeNames;
extern std::array<basic::Color, TypeCount> TypeColors;
extern std::array<basic::Color, TypeCount> TypeShades;
// The type of command entries.
extern std::string CommandName;
extern basic::Color CommandColor;
extern basic::Color CommandShade;
// TabVisible_1 .. TabVisible_9.
extern std::array<std::int32_t, TabCount> TabVisible;
extern std::int32_t HourAdjust; // seconds
extern std::string TimeSrv;
extern std::int32_t UseTime;
extern std::int32_t UseUser;
extern std::int32_t UserCCUF;
extern std::int32_t DefaultClassGB;

// The local copy of "conf.ini": in LocalConfPath when that folder exists,
// else beside the program.
std::string LocalSharedConfFile();

// With save 0: when the current server's host answers and its "conf.ini"
// exists, copies it over the local copy; then reads every value from the
// local copy, writing each missing key back with its default, so a new local
// copy fills itself. A server that does not answer leaves the local copy as
// it was. The file is only ever edited on the server, so there is nothing to
// save: another save does nothing.
void LoadSaveSharedConf(int save);

} // namespace FCT_Quind
