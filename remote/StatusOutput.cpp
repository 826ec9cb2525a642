#include "remote/StatusOutput.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace remote {

namespace {

constexpr int ProtocolText = 1;
constexpr int ProtocolBinary1 = 2;
constexpr int ProtocolBinary2 = 3;
constexpr int SettingAll = 4;

std::string Lamp(char letter, int number)
{
    char text[8];
    std::snprintf(text, sizeof text, "%c%03d", letter, std::clamp(number, 0, 999));
    return text;
}

void SendByte(StatusSink& sink, int port, std::int64_t value)
{
    const auto byte = static_cast<std::uint8_t>(std::clamp<std::int64_t>(value, 0, 255));
    sink.SerialBytes(port, std::span(&byte, 1));
}

// A lamp of an "All" port: lit or out, swapped by TallyInvert.
void SendAllLamp(StatusSink& sink, int port, int protocol, int lamp, bool lit, int invert)
{
    if (protocol == ProtocolText) {
        sink.SerialText(port, Lamp(lit != (invert != 0) ? 'B' : 'C', lamp));
    } else {
        SendByte(sink, port, lit ? lamp + 100 * invert : lamp + 100 - 100 * invert);
    }
}

void SendToTextOrBinary1(const StatusTargets& targets, int port, int output, int function, int index,
                         StatusSink& sink)
{
    const StatusSerialPort& p = targets.ports[static_cast<std::size_t>(port)];
    if (p.outputSetting >= 0 && p.outputSetting <= 3) {
        // 64 bits: the index comes from callers and the lamp count from a setting.
        const std::int64_t n = std::int64_t{index} + 1;
        if (p.outputSetting != output || n > p.lampCount) {
            return;
        }
        char letter = 0;
        std::int64_t byte = 0;
        switch (function) {
        case 1:
            letter = 'P';
            byte = n + 200;
            break;
        case 2:
            letter = 'Q';
            byte = n + 220;
            break;
        case 3:
            letter = 'B';
            byte = n;
            break;
        case 4:
        case 5:
            letter = 'C';
            byte = n + 100;
            break;
        default:
            return;
        }
        if (p.protocol == ProtocolText) {
            sink.SerialText(port, Lamp(letter, static_cast<int>(n)));
        } else {
            SendByte(sink, port, byte);
        }
        return;
    }
    if (p.outputSetting == SettingAll && function >= 6 && function <= 11) {
        const int family = (function - 6) / 2; // 0 play, 1 standby, 2 stop
        const int lamp = output + 1 + 4 * family;
        const bool lit = (function % 2) == 0;
        SendAllLamp(sink, port, p.protocol, lamp, lit, targets.tallyInvert);
    }
}

int ColourCode(int colour)
{
    switch (colour) {
    case 1:
        return 5; // Orange
    case 2:
        return 3; // Red
    default:
        return 4; // Green, Blue
    }
}

void SendToBinary2(const StatusTargets& targets, int port, int output, int function, int index, StatusSink& sink)
{
    int code = 0;
    switch (function) {
    case 1:
        code = 1;
        break;
    case 2:
        code = 2;
        break;
    case 3:
        code = ColourCode(targets.playColor[0]);
        break;
    case 4:
        code = 6;
        break;
    case 5:
        code = ColourCode(targets.playColor[1]);
        break;
    case 6:
        code = 7;
        break;
    case 7:
        code = 8;
        break;
    case 12:
        code = 15;
        break;
    case 15:
        code = 11;
        break;
    case 16:
        code = 12;
        break;
    case 17:
        code = 9;
        break;
    case 18:
        code = 10;
        break;
    default:
        return;
    }
    const int setting = targets.ports[static_cast<std::size_t>(port)].outputSetting;
    int target = 0;
    if (setting >= 0 && setting <= 3) {
        if (setting != output) {
            return;
        }
        target = 0x80;
    } else if (setting == SettingAll) {
        target = 0x80 + output;
    } else if (setting >= 5 && setting <= 7) {
        target = 0x80 + output + (setting - 4);
    } else if (setting >= 8 && setting <= 10) {
        target = 0x80 + output - (setting - 7);
    } else {
        return;
    }
    if (target < 0x80 || target > 0x83) {
        return;
    }
    const std::uint8_t frame[3] = {
        static_cast<std::uint8_t>(target), static_cast<std::uint8_t>(code),
        static_cast<std::uint8_t>(std::clamp<std::int64_t>(std::int64_t{index} + 1, 0, 255))};
    sink.SerialBytes(port, frame);
}

// The _ON number of the family a status function belongs to, 0 for none.
int FamilyOf(int function)
{
    switch (function) {
    case 1:
    case 2:
        return RemoteFunction::PageOn;
    case 3:
    case 4:
    case 5:
        return RemoteFunction::ButtonOn;
    case 6:
    case 7:
        return RemoteFunction::PlayOn;
    case 8:
    case 9:
        return RemoteFunction::StbyOn;
    case 10:
    case 11:
        return RemoteFunction::StopOn;
    case 13:
    case 14:
        return RemoteFunction::LineOutStatusOn;
    case 17:
    case 18:
        return RemoteFunction::StbyActivate;
    default:
        return 0;
    }
}

bool IsOnFunction(int function)
{
    return function == 1 || function == 3 || function == 6 || function == 8 || function == 10 || function == 13 ||
           function == 17;
}

void HidWriteIfSendable(StatusSink& sink, int box, int value)
{
    value = std::min(value, 255);
    // The box drops 0 and 255 itself; never send them.
    if (value > 0 && value < 255) {
        sink.HidWrite(box, value);
    }
}

void SendToHid(const StatusTargets& targets, const RemoteAssignTableData& table, int box, int output, int function,
               int index, StatusSink& sink)
{
    const StatusHidBox& b = targets.boxes[static_cast<std::size_t>(box)];
    const int family = FamilyOf(function);
    if (family == 0) {
        return;
    }
    const bool on = IsOnFunction(function);
    if (b.outputSetting >= 4) {
        if (family == RemoteFunction::PageOn || family == RemoteFunction::ButtonOn) {
            return;
        }
        for (int lamp = 1; lamp <= 8; ++lamp) {
            const RemoteAssignEntry& entry = table[static_cast<std::size_t>(RemoteAssignIndex(box, lamp))];
            if (entry.Output == output && entry.Function == family) {
                HidWriteIfSendable(sink, box,
                                   on ? lamp + 100 * targets.tallyInvert : lamp + 100 - 100 * targets.tallyInvert);
            }
        }
        return;
    }
    for (int code = 0; code < RemoteCodes; ++code) {
        const RemoteAssignEntry& entry = table[static_cast<std::size_t>(RemoteAssignIndex(box, code))];
        if (entry.Output != output || entry.Function != family) {
            continue;
        }
        bool matches = false;
        switch (family) {
        case RemoteFunction::PageOn:
        case RemoteFunction::ButtonOn:
            matches = entry.Value == std::int64_t{index} + 1;
            break;
        case RemoteFunction::PlayOn:
        case RemoteFunction::StbyOn:
        case RemoteFunction::StopOn:
            matches = entry.Value == 1;
            break;
        default:
            matches = true;
            break;
        }
        if (matches) {
            HidWriteIfSendable(sink, box, on ? code : code + 100);
        }
    }
}

} // namespace

void SendStatus(const StatusTargets& targets, const RemoteAssignTableData& table, int output, int function, int index,
                StatusSink& sink)
{
    for (int port = 0; port < RemoteChannels; ++port) {
        const StatusSerialPort& p = targets.ports[static_cast<std::size_t>(port)];
        if (!p.open) {
            continue;
        }
        if (p.protocol == ProtocolText || p.protocol == ProtocolBinary1) {
            SendToTextOrBinary1(targets, port, output, function, index, sink);
        } else if (p.protocol == ProtocolBinary2) {
            SendToBinary2(targets, port, output, function, index, sink);
        }
    }
    for (int box = 0; box < RemoteChannels; ++box) {
        const StatusHidBox& b = targets.boxes[static_cast<std::size_t>(box)];
        if (b.open && !b.resetPending) {
            SendToHid(targets, table, box, output, function, index, sink);
        }
    }
}

void SendStandbyTally(const StatusTargets& targets, const RemoteAssignTableData& table, int output, int tally,
                      StatusSink& sink)
{
    const bool lit = tally == 1;
    for (int channel = 0; channel < RemoteChannels; ++channel) {
        const StatusSerialPort& p = targets.ports[static_cast<std::size_t>(channel)];
        if (p.open && (p.protocol == ProtocolText || p.protocol == ProtocolBinary1) && p.outputSetting == SettingAll) {
            SendAllLamp(sink, channel, p.protocol, output + 5, lit, targets.tallyInvert);
        }
        const StatusHidBox& b = targets.boxes[static_cast<std::size_t>(channel)];
        if (b.open && !b.resetPending && b.outputSetting == SettingAll) {
            for (int code = 0; code <= 8; ++code) {
                const RemoteAssignEntry& entry = table[static_cast<std::size_t>(RemoteAssignIndex(channel, code))];
                if (entry.Output == output && entry.Function == RemoteFunction::StbyOn) {
                    HidWriteIfSendable(sink, channel,
                                       lit ? code + 100 * targets.tallyInvert
                                           : code + 100 - 100 * targets.tallyInvert);
                }
            }
        }
    }
}

} // namespace remote
