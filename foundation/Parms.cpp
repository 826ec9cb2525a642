#include "foundation/Parms.h"

namespace parms {

std::int32_t PlayerType = 3;
std::int32_t SinglePlayer = 1;
std::int32_t UseSamplePos = 1;
std::int32_t UsePause = 0;
std::int32_t MaxAtt = 4000;

std::int32_t TimerInt = 50;
std::int32_t FITime = 0;
std::int32_t FOTime = 0;
std::int32_t FIOffset = 0;
std::int32_t AutoSel = 0;

std::array<std::int32_t, OutputCount> IsList{0, 0, 0, 0};
std::array<std::int32_t, OutputCount> WaveDeviceID{-1, -1, -1, -1};
std::array<std::int32_t, OutputCount> DSDeviceIndex{-1, -1, -1, -1};

std::array<float, 2> SizeRate{1.0F, 1.3F};
std::array<basic::Color, 4> StateColor{0, 0x20FF10, 0x20A0F0, 0x0000FF};
std::int32_t HiColor = 0;
std::int32_t DispBarTime = 1;
std::int32_t DispButtonOption = 0;

std::int32_t UseListSeq = 1;
std::int32_t UseListStartMS = 1;
std::string SeqMarkText;
std::int32_t PreReadSound = 1;

std::int32_t GetTip = 0;
std::int32_t ApplyTipColor = 1;
std::array<std::int32_t, OutputCount> DispTip{0, 0, 0, 0};
std::array<std::int32_t, TipFieldSlots> DispIt{1, 1, 1, 1, 1};
std::vector<std::int32_t> DispItRef{1};
std::int32_t TipFieldCount = 0;
std::array<std::int32_t, TipFieldSlots> TipFieldNameIndex{1, 3, 5, 6, 7};

std::array<std::array<std::string, 2>, 4> ModeCaption{};

std::string EditApp;
std::int32_t ConfigConfirmed = 0;

std::array<StartTimerRecord, OutputCount> StartTimer{};
std::int32_t TimerEditOutput = -1;

MonitorExchangeValues MonitorExchange;

} // namespace parms
