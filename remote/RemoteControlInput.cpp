// The input side of the remote devices: box polls and resets, serial
// protocols and MIDI notes, all into the dispatcher.
#include "remote/RemoteControl.h"

#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "foundation/Waits.h"
#include "mainwindow/FrmMain.h"
#include "platform/base/Clock.h"
#include "platform/base/Hooks.h"
#include "remote/MidiIn.h"
#include "remote/MidiNoteMapping.h"
#include "remote/RemoteTargets.h"

#include <algorithm>
#include <type_traits>
#include <vector>

namespace {

constexpr int ContactMode = 4;
constexpr double FirstResetWait = 2.0;
constexpr double LongestResetWait = 10.0;
constexpr std::int32_t MaxPage = 20;
constexpr std::int32_t MaxButton = 100;

} // namespace

void RemoteControl::CheckUSBReset(int channel)
{
    HidChannel& box = hid_[static_cast<std::size_t>(channel)];
    if (box.ok != 1 || box.box == nullptr) {
        return;
    }
    if (box.resetStart != 0) {
        if (basic::ElapsedSince(box.resetStart, 0) > box.resetWait) {
            ResetBox(channel);
        }
        return;
    }
    if (box.box->WhileReadFile() != 0 || box.box->WhileWriteFile() != 0) {
        return;
    }
    if (box.outputSetting < ContactMode || box.getStatus == 0) {
        Note("QuorReadA");
        const std::int32_t code = box.box->QuorRead(0, 1, 0);
        if (code != 0) {
            CheckUSB2(channel, code);
        }
        return;
    }
    Note("QuorReadB");
    const std::int32_t mask = box.box->QuorRead(1, 1, 0);
    if (mask < 0) {
        CheckUSB2(channel, mask);
        return;
    }
    // Inputs are active low; one event per closing.
    const int closed = 255 - mask;
    for (int bit = 0; bit < 8; ++bit) {
        int& state = box.contactState[static_cast<std::size_t>(bit)];
        if ((closed & (1 << bit)) != 0) {
            if (state == 0) {
                state = 1;
                CheckUSB2(channel, bit + 1);
            }
        } else {
            state = 0;
        }
    }
}

void RemoteControl::ArmReset(int channel)
{
    HidChannel& box = hid_[static_cast<std::size_t>(channel)];
    if (box.resetStart != 0) {
        return;
    }
    box.resetStart = platform::Timer();
    // Timer() is 0 only at the stroke of midnight; keep "pending" true.
    if (box.resetStart == 0) {
        box.resetStart = 0.001;
    }
    box.resetWait = FirstResetWait;
    basic::WriteLog("USBResetTimer Set", 0, 0);
}

void RemoteControl::ResetBox(int channel)
{
    HidChannel& box = hid_[static_cast<std::size_t>(channel)];
    Note("HidResetClose " + std::to_string(channel));
    box.box->HidClose();
    basic::WaitMs(50, 0);
    // Events ran inside the wait: the box may be gone or re-opened meanwhile.
    if (box.box == nullptr || box.ok != 1) {
        return;
    }
    Note("HidResetInit " + std::to_string(channel));
    if (box.box->HidInit(64, box.productId, box.accessMode, -1, box.path) == 1) {
        box.resetWait = FirstResetWait;
        box.resetStart = 0;
        basic::WaitMs(50, 0);
        const int outputs = std::clamp(window_.State.NumOut, 0, MainState::Outputs);
        for (int output = 0; output < outputs; ++output) {
            if (parms::IsList[static_cast<std::size_t>(output)] != 1) {
                Note("SendCommand CurrentPage " + std::to_string(output));
                SendRemoteCommand(output, 1, window_.State.CurrentPage[static_cast<std::size_t>(output)]);
                targets_.RefreshButtons(output, 1);
            }
            SendStateLamps(output);
            SendRemoteListStatus(output, 0);
        }
        basic::WriteLog("HID Reset OK pRemote=" + std::to_string(channel), 0, 0);
    } else {
        box.resetStart = platform::Timer();
        basic::WriteLog("HID Reset NG pRemote=" + std::to_string(channel), 0, 0);
        box.resetWait = std::min(box.resetWait + 1.0, LongestResetWait);
    }
}

void RemoteControl::SendStateLamps(int output)
{
    switch (window_.State.OutputState[static_cast<std::size_t>(output)]) {
    case 0:
        SendRemoteCommand(output, 7, 0);
        SendRemoteCommand(output, 10, 0);
        SendRemoteCommand(output, 16, 0);
        break;
    case 1:
        SendRemoteCommand(output, 6, 0);
        SendRemoteCommand(output, 11, 0);
        SendRemoteCommand(output, 16, 0);
        break;
    default:
        SendRemoteCommand(output, 6, 0);
        SendRemoteCommand(output, 11, 0);
        SendRemoteCommand(output, 15, 0);
        break;
    }
}

void RemoteControl::CheckUSB2(int channel, int code)
{
    Note("CheckUSB2 pCommand = " + std::to_string(code));
    HidChannel& box = hid_[static_cast<std::size_t>(channel)];
    if (code == -1) {
        ArmReset(channel);
        return;
    }
    if (code < 0 || code >= RemoteCodes) {
        return;
    }
    const RemoteAssignEntry entry =
        window_.State.RemoteAssignTable[static_cast<std::size_t>(RemoteAssignIndex(channel, code))];
    int remoteCode = 0;
    switch (entry.Function) {
    case RemoteFunction::None:
        return;
    case RemoteFunction::PageOn:
        // Pages 1..20 only: a table entry is public state and may hold anything.
        if (entry.Value < 1 || entry.Value > MaxPage) {
            return;
        }
        remoteCode = 200 + entry.Value;
        break;
    case RemoteFunction::ButtonOn:
        if (entry.Value < 1 || entry.Value > MaxButton) {
            return;
        }
        remoteCode = entry.Value;
        break;
    case RemoteFunction::PlayOn:
        remoteCode = RemoteDispatcher::CodePlay;
        break;
    case RemoteFunction::StopOn:
        remoteCode = RemoteDispatcher::CodeStop;
        break;
    case RemoteFunction::LineOutStatusOn: {
        const bool locked = entry.Output >= 0 && entry.Output < MainState::Outputs &&
                            window_.State.OutputLocked[static_cast<std::size_t>(entry.Output)] != 0;
        remoteCode = locked ? 258 : 257;
        break;
    }
    case RemoteFunction::PauseOn:
        remoteCode = 246;
        break;
    case RemoteFunction::StbyActivate:
        remoteCode = 245;
        break;
    case RemoteFunction::PagePlus:
        remoteCode = 242;
        break;
    case RemoteFunction::PageMinus:
        remoteCode = 243;
        break;
    case RemoteFunction::ListUp:
        remoteCode = 259;
        break;
    case RemoteFunction::ListDown:
        remoteCode = 260;
        break;
    default:
        remoteCode = entry.Value;
        break;
    }
    if (box.outputSetting >= ContactMode) {
        // A contact box acts only through its start and stop inputs; its
        // other codes (inputs 9..16 included) do nothing.
        if (entry.Output < 0 || entry.Output >= MainState::Outputs) {
            return;
        }
        if (entry.Function == RemoteFunction::PlayOn) {
            dispatcher_.ContactInput(entry.Output + 1);
        } else if (entry.Function == RemoteFunction::StopOn) {
            dispatcher_.ContactInput(entry.Output + 5);
        }
        return;
    }
    dispatcher_.ExecRemoteCommand(entry.Output, remoteCode, channel);
}

// ---- Serial ports ----

remote::SerialRemoteContext RemoteControl::SerialContext(int channel) const
{
    const MainState& state = window_.State;
    remote::SerialRemoteContext context;
    context.outputSetting = serial_[static_cast<std::size_t>(channel)].outputSetting;
    context.numOut = state.NumOut;
    context.pageNum = state.PageNum;
    for (int output = 0; output < remote::MaxOutputs; ++output) {
        const auto o = static_cast<std::size_t>(output);
        context.buttonsPerPage[o] = state.ButtonsPerPage[o];
        context.currentPage[o] = state.CurrentPage[o];
        context.isList[o] = parms::IsList[o] == 1;
        context.listItemCount[o] = context.isList[o] ? targets_.ListItemCount(output) : 0;
    }
    return context;
}

void RemoteControl::CarryOut(int channel, const remote::SerialAction& action)
{
    std::visit(
        [&](const auto& step) {
            using Step = std::decay_t<decltype(step)>;
            if constexpr (std::is_same_v<Step, remote::RemoteCommand>) {
                dispatcher_.ExecRemoteCommand(step.output, step.code, -1);
            } else if constexpr (std::is_same_v<Step, remote::ContactClosure>) {
                dispatcher_.ContactInput(step.number);
            } else if constexpr (std::is_same_v<Step, remote::ListRowCue>) {
                targets_.ListSelect(step.output, step.row);
            } else {
                SerialBytes(channel, step.bytes);
            }
        },
        action);
}

bool RemoteControl::RecvSerialRemote(int channel)
{
    const auto c = static_cast<std::size_t>(channel);
    if (serial_[c].polling) {
        return false;
    }
    serial_[c].polling = true;
    struct PollEnd {
        bool& polling;
        ~PollEnd() { polling = false; }
    } pollEnd{serial_[c].polling};

    const std::vector<std::uint8_t> received = ReadSerialPort(channel);
    // The events of the read may have closed or replaced the port.
    SerialChannel& serial = serial_[c];
    if (serial.portOpen != 1 || serial.port == nullptr) {
        return false;
    }
    // What came before the noise and has not acted yet may be its first
    // bytes: it goes with it, and so does a command the noise cut.
    const remote::SerialNoiseGate::Verdict verdict =
        serial.noise.Judge(received.size(), serial.unparsed.size() + serial.rx.buffer.size(), platform::ClockMs());
    if (verdict.endedDropping > 0) {
        LogSerialNoise(channel, verdict.endedDropping);
    }
    if (verdict.noise) {
        serial.unparsed.clear();
        serial.rx = {};
        return false;
    }
    serial.unparsed.insert(serial.unparsed.end(), received.begin(), received.end());
    return CarryOutUnparsed(channel) > 0;
}

std::vector<std::uint8_t> RemoteControl::ReadSerialPort(int channel)
{
    std::vector<std::uint8_t> received;
    std::size_t nextRefill = C_Com::ReadAheadSize;
    std::vector<std::uint8_t> bytes;
    for (bool first = true; received.size() < SerialBytesPerPoll; first = false) {
        // The first read runs pending events, which may replace the port.
        SerialChannel& serial = serial_[static_cast<std::size_t>(channel)];
        if (serial.portOpen != 1 || serial.port == nullptr) {
            break;
        }
        C_Com& port = *serial.port;
        const std::size_t readSize = static_cast<std::size_t>(std::max(port.DataSize, 1));
        bytes.resize(readSize + 1);
        const int count = first ? port.RecvDataB(bytes) : port.RecvMoreB(bytes);
        if (count <= 0) {
            break;
        }
        received.insert(received.end(), bytes.begin() + 1, bytes.begin() + 1 + count);
        // Reading through a flood takes a while: the players are fed
        // meanwhile, as in every wait of the tick.
        if (received.size() >= nextRefill) {
            platform::RefillIfDue();
            nextRefill += C_Com::ReadAheadSize;
        }
        if (static_cast<std::size_t>(count) < readSize) {
            break;
        }
    }
    return received;
}

int RemoteControl::CarryOutUnparsed(int channel)
{
    int commands = 0;
    std::vector<std::uint8_t> piece;
    for (bool first = true; commands < SerialCommandsPerPoll; first = false) {
        // A command may run events that re-apply the settings and replace or
        // close the port: every piece looks the port up afresh, and goes on
        // only while a poll would run now.
        SerialChannel& serial = serial_[static_cast<std::size_t>(channel)];
        if (serial.portOpen != 1 || serial.port == nullptr || serial.unparsed.empty() || (!first && !MayPoll())) {
            break;
        }
        // Each read's size is parsed on its own, so the framing is the same
        // as over one read per poll.
        const std::size_t readSize = static_cast<std::size_t>(std::max(serial.port->DataSize, 1));
        const auto count = static_cast<std::ptrdiff_t>(std::min(readSize, serial.unparsed.size()));
        piece.assign(serial.unparsed.begin(), serial.unparsed.begin() + count);
        serial.unparsed.erase(serial.unparsed.begin(), serial.unparsed.begin() + count);
        commands += remote::FeedSerialInput(
            serial.protocol, serial.rx, piece, [this, channel] { return SerialContext(channel); },
            [this, channel](const remote::SerialAction& action) { CarryOut(channel, action); });
    }
    return commands;
}

void RemoteControl::LogSerialNoise(int channel, std::size_t dropped)
{
    const SerialChannel& serial = serial_[static_cast<std::size_t>(channel)];
    const std::string port = serial.port != nullptr ? serial.port->ComPort : "Com";
    basic::WriteLog(port + " input dropped (noise): " + std::to_string(dropped) + " bytes", 1, 0);
}

// ---- MIDI ----

void RemoteControl::ProcessMidiInput()
{
    const MainState& state = window_.State;
    for (std::uint32_t message = FCT_MIDI::TakeMidiMessage(0); message != 0; message = FCT_MIDI::TakeMidiMessage(0)) {
        std::vector<FCT_MIDI::GridOutput> outputs;
        const int numOut = std::clamp(state.NumOut, 0, MainState::Outputs);
        for (int output = 0; output < numOut; ++output) {
            const auto o = static_cast<std::size_t>(output);
            outputs.push_back({parms::IsList[o] != 1, state.ButtonsPerPage[o]});
        }
        if (const auto command = FCT_MIDI::MapMidiNote(message, midiNoteOffset_, outputs)) {
            dispatcher_.ExecRemoteCommand(command->output, command->code, -1);
        }
    }
}
