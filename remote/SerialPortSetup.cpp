#include "remote/SerialPortSetup.h"

#include "foundation/DayLog.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Settings.h"
#include "platform/MessageBox.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/Numbers.h"

#include <optional>
#include <string>

namespace FCT_Serial {

namespace {

// A stored whole number; none, with a log line, when the text is not numeric.
std::optional<int> StoredNumber(const std::string& key, int defaultValue)
{
    const std::string stored = basic::GetSetting(key, defaultValue);
    const std::optional<std::int32_t> value = numeric::ParseLong(stored);
    if (!value) {
        basic::WriteLog("OpenSerialPort: setting " + key + " \"" + stored + "\" is not a number; the port stays closed",
                        1, 0);
    }
    return value;
}

} // namespace

int OpenSerialPort(std::unique_ptr<C_Com>& port, int /*kind*/, std::string_view keySuffix, int portNumber, int baud,
                   int dataSize, int parity, int stopBit)
{
    if (port) {
        port->CloseComm();
    }
    if (portNumber == -1) {
        const std::optional<int> stored = StoredNumber("ComNo" + std::string(keySuffix), 0);
        if (!stored) {
            return 0;
        }
        portNumber = *stored;
    }
    if (portNumber == 0) {
        return 0;
    }
    if (baud == -1) {
        const std::optional<int> stored = StoredNumber("ComBaud" + std::string(keySuffix), 38400);
        if (!stored) {
            return 0;
        }
        baud = *stored;
    }
    port = std::make_unique<C_Com>();
    port->ParityBit = parity;
    port->BaudRate = baud;
    port->DataSize = dataSize;
    port->StopBit = stopBit;
    const std::string number = std::to_string(portNumber);
    port->ComPort = "Com" + number;
    if (port->OpenComm() == 1) {
        return 1;
    }
    basic::ShowMessage(basic::LangText("Com" + number + "が開けません", "Can not open Com" + number),
                       platform::IconStop, App::Title, nullptr);
    return 0;
}

} // namespace FCT_Serial
