#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class ComboBox;
}

// The waveIn and waveOut device lists of the configuration screens and the
// players. Choices are saved by name, so a saved choice survives a change of
// the device order; names compare tolerantly (case, blanks, and the system's
// "2- " numbering of identical devices). Device 0 is the system default.
namespace WaveMMIO {

// Clears the box, lists the input (input non-zero) or output devices in
// order, and chooses the one of the saved name: exact (ignoring case and
// blanks) first, then by DeviceNameMatches; failing both, or with an empty
// saved name, item 0 when selectFirst is set.
void FillWaveDeviceCombo(platform::ComboBox& box, int input, std::string_view savedName, int selectFirst);

// The name of device id, "" when there is no such device.
std::string GetWaveDeviceName(int input, int id);

// The device number for a saved name: 0 for an empty name, the value of a
// numeric name, else the device of that name. -1 when none is found, with a
// day log line and, with showMessage 1, a message box.
std::int32_t GetWaveDeviceID(int input, std::string_view savedName, int showMessage);

// 1 when a and b name the same device by the tolerant rule, else 0.
int DeviceNameMatches(std::string_view a, std::string_view b);

// 0 for code 0; otherwise 1 after reporting the text of the code: to the
// error log with log set, else in a message box.
int CheckWaveError(std::int32_t code, int output, int log);

} // namespace WaveMMIO
