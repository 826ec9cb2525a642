#pragma once

#include "remote/C_Com.h"

#include <memory>
#include <string_view>

namespace FCT_Serial {

// Opens the serial port of one remote channel. A port object that is there
// is closed first. portNumber -1 reads "ComNo" & keySuffix (default 0); port
// 0 means the channel is not used: 0 at once, no new object, no message.
// baud -1 reads "ComBaud" & keySuffix (default 38400). A new C_Com then gets
// the settings and ComPort "Com" & number and is opened. 1 when it opened; on
// failure a critical message box "Can not open Com" & number (Japanese "Com"
// & number & "が開けません") with the program title, and 0 (the closed object
// stays in port). A stored number or rate that is not numeric ends it with 0,
// a log line and no message. kind 0 is the only kind of port.
int OpenSerialPort(std::unique_ptr<C_Com>& port, int kind, std::string_view keySuffix, int portNumber, int baud,
                   int dataSize, int parity, int stopBit);

} // namespace FCT_Serial
