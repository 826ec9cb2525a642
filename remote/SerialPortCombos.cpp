#include "remote/SerialPortCombos.h"

#include "platform/ComboBox.h"

#include <array>
#include <string>

namespace FCT_Serial {

namespace {

constexpr std::array<std::string_view, 13> baudRates{"110",   "300",   "600",   "1200",  "2400",   "9600",  "14400",
                                                     "19200", "28800", "38400", "56000", "128000", "256000"};
constexpr int comPortCount = 6;

} // namespace

void FillBaudRateCombo(platform::ComboBox& combo, std::string_view current)
{
    combo.Clear();
    int chosen = -1;
    for (std::size_t i = 0; i < baudRates.size(); ++i) {
        combo.AddItem(baudRates[i]);
        if (baudRates[i] == current) {
            chosen = static_cast<int>(i);
        }
    }
    combo.SetListIndex(chosen);
}

void FillComPortCombo(platform::ComboBox& combo, int current)
{
    combo.Clear();
    combo.AddItem("NA");
    for (int number = 1; number <= comPortCount; ++number) {
        combo.AddItem("Com" + std::to_string(number));
    }
    combo.SetListIndex(current >= 0 && current <= comPortCount ? current : 0);
}

} // namespace FCT_Serial
