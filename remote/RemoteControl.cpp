#include "remote/RemoteControl.h"

#include "foundation/DayLog.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/SubClass.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/SettingReaders.h"
#include "platform/MessageBox.h"
#include "platform/base/Clock.h"
#include "platform/base/Hooks.h"
#include "remote/MidiIn.h"
#include "remote/RemoteAssignTable.h"
#include "remote/RemoteTargets.h"
#include "remote/SerialPortSetup.h"

#include <algorithm>
#include <string>

RemoteControl::RemoteControl(FrmMain& window, RemoteTargets& targets)
    : window_(window), targets_(targets), dispatcher_(window.State, targets)
{
}

RemoteControl::~RemoteControl()
{
    for (int channel = 0; channel < RemoteChannels; ++channel) {
        HidClose(channel);
        CloseComm(channel);
    }
    // The MIDI input was opened here; it must not outlive its owner.
    if (FCT_MIDI::MidiInOpen != 0) {
        CloseMidiIn();
    }
}

void RemoteControl::Note(const std::string& line)
{
    if (window_.State.ShowObservation != 0 && Observe) {
        Observe(line);
    }
}

// ---- Set-up ----

void RemoteControl::InitRemoteDevices()
{
    OpenSerialChannels();
    CloseBoxes();
    OpenBoxes();
    std::array<std::int32_t, RemoteChannels> channelOutputs{};
    for (int channel = 0; channel < RemoteChannels; ++channel) {
        channelOutputs[static_cast<std::size_t>(channel)] = hid_[static_cast<std::size_t>(channel)].outputSetting;
    }
    remote::LoadRemoteAssignTable(window_.State.RemoteAssignTable, channelOutputs, &window_);
    dispatcher_.SetStartDelay(MainSettings::Long("FSInt", 0));
    OpenMidi();
}

void RemoteControl::OpenSerialChannels()
{
    for (int n = 1; n <= RemoteChannels; ++n) {
        SerialChannel& channel = serial_[static_cast<std::size_t>(n - 1)];
        if (const std::size_t dropped = channel.noise.Finish(); dropped > 0) {
            LogSerialNoise(n - 1, dropped);
        }
        channel.rx = {};
        channel.unparsed.clear();
        const std::string suffix = "_" + std::to_string(n);
        channel.protocol = MainSettings::Long("ComMode" + suffix, 2);
        channel.outputSetting = MainSettings::Long("ComCh" + suffix, n - 1);
        channel.portOpen = FCT_Serial::OpenSerialPort(channel.port, 0, suffix, -1, -1,
                                                      remote::SerialReadSize(channel.protocol),
                                                      remote::SerialParity(channel.protocol), 0);
        channel.noise = remote::SerialNoiseGate(remote::SerialCommandBytes(channel.protocol), platform::ClockMs());
    }
}

void RemoteControl::CloseBoxes()
{
    for (int n = 1; n <= RemoteChannels; ++n) {
        SerialChannel& serial = serial_[static_cast<std::size_t>(n - 1)];
        serial.lampCount = MainSettings::Long("NumLEDCom_" + std::to_string(n), 15);
        HidChannel& channel = hid_[static_cast<std::size_t>(n - 1)];
        if (channel.box != nullptr) {
            channel.ok = 0;
            platform::Pump();
            channel.box->HidClose();
            channel.box.reset();
        }
    }
}

void RemoteControl::OpenBoxes()
{
    std::array<int, RemoteChannels> productIds{};
    for (int n = 1; n <= RemoteChannels; ++n) {
        const auto c = static_cast<std::size_t>(n - 1);
        HidChannel& channel = hid_[c];
        const std::string suffix = "_" + std::to_string(n);
        channel.productId = MainSettings::Long("USBHIDID" + suffix, 0);
        productIds[c] = channel.productId;
        channel.outputSetting = std::max(0, MainSettings::Long("HIDCh" + suffix, n - 1));
        channel.resetStart = 0;
        channel.contactState = {};
        if (channel.productId <= 0) {
            continue;
        }
        const int instance = static_cast<int>(
            std::count(productIds.begin(), productIds.begin() + static_cast<std::ptrdiff_t>(c), channel.productId));
        window_.State.SourceOutput[c] = -1;
        channel.getStatus = MainSettings::Long("HIDGetStatus" + suffix, 0);
        channel.accessMode = MainSettings::Long("HIDAsync" + suffix, 0);
        channel.resetWait = 2.0;
        channel.box = std::make_unique<C_HID>();
        const int index = n - 1;
        channel.box->NotifyProc = [this, index](std::int32_t code) {
            Note("HID" + std::to_string(index + 1) + "_NotifyID=" + std::to_string(code));
        };
        if (channel.box->HidInit(64, channel.productId, channel.accessMode, instance) != 1) {
            channel.box.reset();
            basic::ShowMessage(basic::LangText("quorvantHIDを初期化できませんでした", "quorvantHID not found"),
                               platform::IconStop, "", &window_);
            continue;
        }
        const int retrials = 200 / std::max<int>(parms::TimerInt, 20);
        channel.box->SetReadRetrialCount(retrials);
        channel.box->SetRaiseNotify(window_.State.ShowObservation);
        channel.path = channel.box->HIDFilename();
        channel.box->SetLogError(1);
        basic::WriteLog("l=" + std::to_string(index) + " HIDGetStatus=" + std::to_string(channel.getStatus) +
                            " HIDAsync=" + std::to_string(channel.accessMode) +
                            " ReadRetrialCount=" + std::to_string(channel.box->ReadRetrialCount()) +
                            " USBHIDFN(l)=" + channel.path,
                        0, 0);
        channel.ok = 1;
    }
}

void RemoteControl::OpenMidi()
{
    if (FCT_MIDI::MidiInOpen != 0) {
        FCT_MIDI::CloseMidiIn(0);
    }
    FCT_MIDI::MidiInOpen = 0;
    FCT_MIDI::UseMIDIIn = MainSettings::Long("UseMIDIIn", 0);
    FCT_MIDI::MidiInDeviceID[0] = MainSettings::Long("MidiInDeviceID", 0);
    if (FCT_MIDI::UseMIDIIn == 1) {
        FCT_MIDI::MidiInOpen = FCT_MIDI::OpenMidiIn(0);
        midiNoteOffset_ = MainSettings::Long("MIDINoteOffset", 48);
    }
}

RemotePort::HidBoxState RemoteControl::HidBox(int box)
{
    // Boxes are numbered 1..4 here, as the status bar shows them.
    if (box < 1 || box > RemoteChannels) {
        return {};
    }
    const HidChannel& channel = hid_[static_cast<std::size_t>(box - 1)];
    return {channel.productId > 0 ? channel.productId : 0, channel.ok, static_cast<float>(channel.resetStart),
            static_cast<float>(channel.resetWait)};
}

// ---- Devices as the unload closes them ----

bool RemoteControl::ComOpen(int channel)
{
    return channel >= 0 && channel < RemoteChannels && serial_[static_cast<std::size_t>(channel)].portOpen == 1;
}

void RemoteControl::CloseComm(int channel)
{
    if (channel < 0 || channel >= RemoteChannels) {
        return;
    }
    SerialChannel& serial = serial_[static_cast<std::size_t>(channel)];
    if (const std::size_t dropped = serial.noise.Finish(); dropped > 0) {
        LogSerialNoise(channel, dropped);
    }
    if (serial.port != nullptr) {
        serial.port->CloseComm();
    }
    serial.portOpen = 0;
}

bool RemoteControl::HidOpen(int channel)
{
    return channel >= 0 && channel < RemoteChannels && hid_[static_cast<std::size_t>(channel)].ok == 1;
}

void RemoteControl::HidClose(int channel)
{
    if (channel < 0 || channel >= RemoteChannels) {
        return;
    }
    HidChannel& box = hid_[static_cast<std::size_t>(channel)];
    box.ok = 0;
    if (box.box != nullptr) {
        box.box->HidClose();
    }
}

bool RemoteControl::MidiInOpen()
{
    return FCT_MIDI::MidiInOpen != 0;
}

void RemoteControl::CloseMidiIn()
{
    FCT_MIDI::CloseMidiIn(0);
    FCT_MIDI::MidiInOpen = 0;
}

// ---- Poll ----

bool RemoteControl::MayPoll() const
{
    const MainState& state = window_.State;
    return state.Running != 0 &&
           std::none_of(state.PonBusy.begin(), state.PonBusy.end(), [](std::int32_t busy) { return busy != 0; });
}

void RemoteControl::PollRemote()
{
    if (!MayPoll()) {
        return;
    }
    Note("ProgFS");
    dispatcher_.TickDelayedStarts();
    for (int channel = 0; channel < RemoteChannels; ++channel) {
        if (serial_[static_cast<std::size_t>(channel)].portOpen == 1) {
            Note("CheckCom");
            RecvSerialRemote(channel);
        }
    }
    platform::Pump();
    for (int channel = 0; channel < RemoteChannels; ++channel) {
        if (hid_[static_cast<std::size_t>(channel)].ok == 1) {
            Note("CheckUSB");
            CheckUSBReset(channel);
        }
    }
    ScrollListsByWheel();
    if (FCT_MIDI::MidiInOpen != 0) {
        Note("CheckMIDI");
        ProcessMidiInput();
    }
}

void RemoteControl::ScrollListsByWheel()
{
    const int outputs = std::clamp(window_.State.NumOut, 0, MainState::Outputs);
    bool anyList = false;
    for (int output = 0; output < outputs; ++output) {
        anyList = anyList || parms::IsList[static_cast<std::size_t>(output)] == 1;
    }
    if (!anyList) {
        return;
    }
    Note("WheelUD");
    const int delta = FCT_SubClass::GetWheelDelta(&window_);
    if (delta == 0) {
        return;
    }
    for (int output = 0; output < outputs; ++output) {
        if (parms::IsList[static_cast<std::size_t>(output)] != 1 || !window_.LV.Exists(output)) {
            continue;
        }
        UC_ListView& list = *window_.LV(output);
        if (list.isVisible() && list.rect().contains(list.mapFromGlobal(QCursor::pos()))) {
            list.VBarScroll(delta);
            list.ReDraw();
        }
    }
}

// ---- Status and tally ----

remote::StatusTargets RemoteControl::StatusTargetsNow() const
{
    remote::StatusTargets targets;
    for (std::size_t c = 0; c < RemoteChannels; ++c) {
        const SerialChannel& serial = serial_[c];
        targets.ports[c] = {serial.portOpen == 1, serial.protocol, serial.outputSetting, serial.lampCount};
        const HidChannel& box = hid_[c];
        targets.boxes[c] = {box.ok == 1, box.resetStart != 0, box.outputSetting};
    }
    // 0 or 1: the lamp arithmetic adds 100 x TallyInvert.
    targets.tallyInvert = window_.State.TallyInvert == 1 ? 1 : 0;
    targets.playColor = {window_.State.StateColorSet[1] - 1, window_.State.StateColorSet[2] - 1};
    return targets;
}

void RemoteControl::SendRemoteCommand(int output, int function, int index)
{
    if (output < 0 || output >= MainState::Outputs) {
        return;
    }
    remote::SendStatus(StatusTargetsNow(), window_.State.RemoteAssignTable, output, function, index, *this);
}

int RemoteControl::TallyOf(int output) const
{
    const MainState& state = window_.State;
    const auto o = static_cast<std::size_t>(output);
    if (state.OutputState[o] != 0 && state.TallySTBYWhilePlay != 1) {
        return 0;
    }
    if (parms::IsList[o] == 1) {
        return targets_.ListSelectedItem(output) >= 0 || state.ListItem[o] >= 1 ? 1 : 0;
    }
    if (state.DispSTBY[o] != 0) {
        return state.StandbySet[o] == 1 && state.STBYActive[o] == 1 ? 1 : 0;
    }
    for (int page = 0; page < std::min(state.PageNum, AssignPages); ++page) {
        for (int button = 0; button < AssignButtons; ++button) {
            const auto index = static_cast<std::size_t>(ButtonTableIndex(output, page, button));
            if (index < state.ButtonTable.size() && !state.ButtonTable[index].FileName.empty() &&
                state.ButtonTable[index].Invalid == 0) {
                return 1;
            }
        }
    }
    return 0;
}

void RemoteControl::SendRemoteListStatus(int output, int force)
{
    if (output < 0 || output >= MainState::Outputs) {
        return;
    }
    const int tally = force == 1 ? 0 : TallyOf(output);
    std::int32_t& last = standbyTally_[static_cast<std::size_t>(output)];
    if (tally == last && force == 0) {
        return;
    }
    remote::SendStandbyTally(StatusTargetsNow(), window_.State.RemoteAssignTable, output, tally, *this);
    last = tally;
}

void RemoteControl::SerialText(int port, std::string_view text)
{
    SerialChannel& serial = serial_[static_cast<std::size_t>(port)];
    if (serial.port != nullptr) {
        serial.port->SendText(text);
    }
}

void RemoteControl::SerialBytes(int port, std::span<const std::uint8_t> bytes)
{
    SerialChannel& serial = serial_[static_cast<std::size_t>(port)];
    if (serial.port != nullptr) {
        serial.port->SendDataB(bytes, static_cast<int>(bytes.size()));
    }
}

void RemoteControl::HidWrite(int box, std::int32_t code)
{
    HidChannel& channel = hid_[static_cast<std::size_t>(box)];
    if (channel.box == nullptr || channel.ok != 1 || channel.resetStart != 0) {
        return;
    }
    // A lamp the box did not take within its time-out: the box is failing
    // like one that does not answer. Its reset resends every lamp once it is
    // back; until then no lamp waits for it, so a page of lamps cannot hold
    // the engine tick for a time-out each.
    if (channel.box->QuorWrite(code) == 0 && channel.box != nullptr && channel.ok == 1) {
        ArmReset(box);
    }
}
