#pragma once

// Status and lamp output to the remote boxes, and their set-up.
class RemotePort {
public:
    virtual ~RemotePort() = default;

    // Status and lamp functions of the boxes.
    static constexpr int PageOff = 2;
    static constexpr int ButtonOn = 3;
    static constexpr int ButtonOff = 4;
    static constexpr int PlayOff = 7;
    static constexpr int StopOn = 10;
    static constexpr int StopOff = 11;
    static constexpr int EndOfLampTest = 12;
    static constexpr int LineOutStatusOff = 14;
    static constexpr int StbyDeactivate = 18;

    // Opens the serial ports, HID boxes and MIDI input from their settings.
    virtual void InitRemoteDevices() = 0;
    // Sends a status or lamp function with its index to every channel of the output.
    virtual void SendRemoteCommand(int output, int function, int index) = 0;
    // The output's list and standby tally; force 1 sends it as off, even unchanged.
    virtual void SendRemoteListStatus(int output, int force) = 0;
    // Enables the output's controls by its lock state.
    virtual void SetOutputLock(int output) = 0;
    // The input side of the engine tick: delayed contact starts, serial
    // ports, USB boxes, the list wheel and the MIDI input.
    virtual void PollRemote() = 0;
};
