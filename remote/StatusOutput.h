#pragma once

#include "mainwindow/RemoteAssignEntry.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

// How status and tally reports become lamp commands on the remote boxes:
// texts and bytes for the serial ports, lamp codes for the USB boxes. Only
// writes; no reply is read.
namespace remote {

struct StatusSerialPort {
    bool open = false;
    int protocol = 0;      // ComMode_<n>: 1 Text, 2 Binary1, 3 Binary2 (4, 5 get no status)
    int outputSetting = 0; // ComCh_<n>
    int lampCount = 15;    // NumLEDCom_<n>
};

struct StatusHidBox {
    bool open = false;
    bool resetPending = false; // lamp writes wait until the box is back
    int outputSetting = 0;     // HIDCh_<n>: 0..3 an output, 4 and above contacts
};

struct StatusTargets {
    std::array<StatusSerialPort, RemoteChannels> ports{};
    std::array<StatusHidBox, RemoteChannels> boxes{};
    int tallyInvert = 0;            // TallyInvert
    std::array<int, 2> playColor{}; // PlayColor_1, PlayColor_2: 0 Green, 1 Orange, 2 Red, 3 Blue
};

// Where the commands go: serial port n (0..3) and HID box n (0..3).
class StatusSink {
public:
    virtual ~StatusSink() = default;
    virtual void SerialText(int port, std::string_view text) = 0;
    virtual void SerialBytes(int port, std::span<const std::uint8_t> bytes) = 0;
    virtual void HidWrite(int box, std::int32_t code) = 0;
};

// Renders a status function (1..18) of the output with its index (page or
// button from 0) for every open serial port, then every open box.
void SendStatus(const StatusTargets& targets, const RemoteAssignTableData& table, int output, int function, int index,
                StatusSink& sink);

// Sends the standby tally of the output (1 lit) to the "All" ports and the
// contact boxes that carry it.
void SendStandbyTally(const StatusTargets& targets, const RemoteAssignTableData& table, int output, int tally,
                      StatusSink& sink);

} // namespace remote
