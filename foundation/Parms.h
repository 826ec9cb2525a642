#pragma once

#include "foundation/Colors.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The program-wide settings values: what every window and module reads of the
// running configuration. The settings apply writes them from the store; until
// it has run they hold the store's defaults.
namespace parms {

inline constexpr int OutputCount = 4;
inline constexpr int TipFieldSlots = 5;

// Player back-end 0..5 and what it implies.
extern std::int32_t PlayerType;   // 3: waveOut streaming
extern std::int32_t SinglePlayer; // 1 on back-ends with one player per output
extern std::int32_t UseSamplePos; // 1 on back-ends that read the wave file themselves
extern std::int32_t UsePause;
extern std::int32_t MaxAtt; // deepest attenuation, 1/100 dB

// Engine tick interval (1..500 ms) and the fade times (ms).
extern std::int32_t TimerInt;
extern std::int32_t FITime;
extern std::int32_t FOTime;
extern std::int32_t FIOffset;
// With three players per output: pick the free player by itself.
extern std::int32_t AutoSel;

// Per output: 1 shows a play list, 0 a grid of sound buttons.
extern std::array<std::int32_t, OutputCount> IsList;
// Per output: device index of the waveOut and DirectSound device, -1 the default.
extern std::array<std::int32_t, OutputCount> WaveDeviceID;
extern std::array<std::int32_t, OutputCount> DSDeviceIndex;

// Size factor of the normal (0) and the big (1) display.
extern std::array<float, 2> SizeRate;
// Colours of state 1 playing, 2 standby, 3 alert (element 0 unused).
extern std::array<basic::Color, 4> StateColor;
extern std::int32_t HiColor;
extern std::int32_t DispBarTime;
extern std::int32_t DispButtonOption;

// Play lists.
extern std::int32_t UseListSeq;
extern std::int32_t UseListStartMS;
extern std::string SeqMarkText;
extern std::int32_t PreReadSound;

// Tip side files and their list columns.
extern std::int32_t GetTip;
extern std::int32_t ApplyTipColor;
extern std::array<std::int32_t, OutputCount> DispTip;
extern std::array<std::int32_t, TipFieldSlots> DispIt;
extern std::vector<std::int32_t> DispItRef;
extern std::int32_t TipFieldCount;
// Entry of FCT_Quind::ColumnNames captioning tip field 0..4.
extern std::array<std::int32_t, TipFieldSlots> TipFieldNameIndex;

// Captions of play modes 0..3 ("Normal", "Momentary", "Latch", "Toggle"):
// form 0 the short marks ("", "M", "L", "T"), form 1 the full names.
extern std::array<std::array<std::string, 2>, 4> ModeCaption;

// The external sound editor.
extern std::string EditApp;

// Set when the configuration dialog (or the surround device dialog opened
// from it) closes with OK; cleared when either loads.
extern std::int32_t ConfigConfirmed;

// The start timer of each output.
struct StartTimerRecord {
    std::int32_t TimerEnabled = 0; // the output has a timer label
    std::int32_t TimerArmed = 0;
    std::string TimerTime;      // time of day as the timer window stores it
    std::int32_t TimerMode = 0; // 0 start, other values end
    std::int32_t TimerFromMS = 0;
    std::int32_t TimerToMS = 0;
};
extern std::array<StartTimerRecord, OutputCount> StartTimer;
// The output whose timer the timer window edits; -1 after a cancel.
extern std::int32_t TimerEditOutput;

// What the main window hands to the monitor window and takes back.
struct MonitorExchangeValues {
    std::int32_t MonitorOpen = 0;
    std::int32_t MonitorOutput = 0;
    std::string MonitorFile;
    std::int32_t MonitorStartMS = 0;
    std::array<std::int32_t, 2> MonitorColors{0, 0}; // text, back
    std::int32_t MonitorSeq = 0;
    std::int32_t MonitorPlayMode = 0;
};
extern MonitorExchangeValues MonitorExchange;

} // namespace parms
