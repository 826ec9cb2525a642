#pragma once

#include "mainwindow/ports/RemoteDevicesPort.h"
#include "mainwindow/ports/RemotePort.h"
#include "remote/C_Com.h"
#include "remote/C_HID.h"
#include "remote/RemoteDispatcher.h"
#include "remote/SerialNoiseGate.h"
#include "remote/SerialReceive.h"
#include "remote/StatusOutput.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class FrmMain;
class RemoteTargets;

// The remote devices of the main window: four serial channels, four USB box
// channels and the MIDI input. It opens them from the settings, polls them
// once per engine tick into the dispatcher, and renders status and tally
// reports for them.
class RemoteControl final : public RemotePort, public RemoteDevicesPort, private remote::StatusSink {
public:
    RemoteControl(FrmMain& window, RemoteTargets& targets);
    ~RemoteControl() override;
    RemoteControl(const RemoteControl&) = delete;
    RemoteControl& operator=(const RemoteControl&) = delete;

    // ---- RemotePort ----
    void InitRemoteDevices() override;
    void SendRemoteCommand(int output, int function, int index) override;
    void SendRemoteListStatus(int output, int force) override;
    void SetOutputLock(int output) override;
    HidBoxState HidBox(int box) override;
    // The input side of the engine tick: delayed contact starts, serial
    // ports, boxes, the list wheel and the MIDI ring.
    void PollRemote();

    // ---- RemoteDevicesPort ----
    bool ComOpen(int channel) override;
    void CloseComm(int channel) override;
    bool HidOpen(int channel) override;
    void HidClose(int channel) override;
    bool MidiInOpen() override;
    void CloseMidiIn() override;

    RemoteDispatcher& Dispatcher() { return dispatcher_; }

    // One poll of an open box: reads its code or contact mask, or re-opens
    // it once its reset delay has passed.
    void CheckUSBReset(int channel);
    // One event of a box: a box code, a contact input, or -1 for a failed read.
    void CheckUSB2(int channel, int code);
    // The most one poll reads from a serial port. A poll reads all that has
    // arrived, so noise that piled up in the driver (a wrong baud rate, a
    // loose cable) is read through within a tick or two instead of a few
    // bytes a tick, and a command sent after it acts at once.
    static constexpr std::size_t SerialBytesPerPoll = 64 * 1024;
    // The most commands and contact inputs one poll of a serial port carries
    // out; the rest of what it read waits for the next tick. A key press is
    // one command (two for a page and its button); a poll that comes late
    // may find many presses, and it costs at most this many starts and stops
    // per tick, so the tick still feeds the players.
    static constexpr int SerialCommandsPerPoll = 8;

    // One poll of an open serial port through its protocol; true when a
    // command or contact input was carried out. What a poll reads faster than
    // a box sends is noise (remote::SerialNoiseGate): it is dropped, and the
    // error log tells how many bytes once the line is quiet again or keeps a
    // box's pace.
    bool RecvSerialRemote(int channel);
    // Empties the MIDI ring into the dispatcher.
    void ProcessMidiInput();

    // Where the observation lines go (ShowObservation); none: dropped.
    std::function<void(const std::string&)> Observe;

    // The box object of a channel (tests); null while closed.
    C_HID* Box(int channel) { return hid_[static_cast<std::size_t>(channel)].box.get(); }
    C_Com* Com(int channel) { return serial_[static_cast<std::size_t>(channel)].port.get(); }
    std::int32_t StandbyTally(int output) const { return standbyTally_[static_cast<std::size_t>(output)]; }

private:
    struct SerialChannel {
        std::unique_ptr<C_Com> port;
        int portOpen = 0;
        int protocol = 2;
        int outputSetting = 0;
        int lampCount = 15;
        remote::SerialReceiveState rx;
        remote::SerialNoiseGate noise;
        // Bytes read and found no noise, not yet through the protocol.
        std::deque<std::uint8_t> unparsed;
        // A poll of this port is running: events that run inside it (and may
        // run a tick) do not poll the port again.
        bool polling = false;
    };
    struct HidChannel {
        std::unique_ptr<C_HID> box;
        int ok = 0;
        int productId = 0;
        int accessMode = 0;
        int getStatus = 0;
        int outputSetting = 0;
        std::string path;
        double resetStart = 0; // seconds since midnight; 0 = no reset pending
        double resetWait = 2.0;
        std::array<int, 8> contactState{};
    };

    void OpenSerialChannels();
    void CloseBoxes();
    void OpenBoxes();
    void OpenMidi();
    void Note(const std::string& line);
    // Marks the box as failing: it is re-opened once its reset wait passed.
    void ArmReset(int channel);
    void ResetBox(int channel);
    void SendStateLamps(int output);
    // All that has arrived on the port, at most SerialBytesPerPoll bytes.
    std::vector<std::uint8_t> ReadSerialPort(int channel);
    // The unparsed bytes through the protocol, a read's size at a time, up to
    // SerialCommandsPerPoll commands; returns how many were carried out.
    int CarryOutUnparsed(int channel);
    // Logs the end of a noise episode on the port: bytes dropped.
    void LogSerialNoise(int channel, std::size_t dropped);
    remote::SerialRemoteContext SerialContext(int channel) const;
    void CarryOut(int channel, const remote::SerialAction& action);
    void ScrollListsByWheel();
    // A poll does nothing while the window is not running or a play request
    // is in progress.
    bool MayPoll() const;
    remote::StatusTargets StatusTargetsNow() const;
    int TallyOf(int output) const;

    // remote::StatusSink
    void SerialText(int port, std::string_view text) override;
    void SerialBytes(int port, std::span<const std::uint8_t> bytes) override;
    void HidWrite(int box, std::int32_t code) override;

    FrmMain& window_;
    RemoteTargets& targets_;
    RemoteDispatcher dispatcher_;
    std::array<SerialChannel, 4> serial_{};
    std::array<HidChannel, 4> hid_{};
    std::array<std::int32_t, 4> standbyTally_{};
    std::int32_t midiNoteOffset_ = 48;
};
