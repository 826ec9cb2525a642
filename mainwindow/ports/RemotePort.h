#pragma once

#include <cstdint>

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

    // What the status bar shows of USB remote box 1..4.
    struct HidBoxState {
        std::int32_t Used = 0;       // a product id above 0: a box is configured
        std::int32_t OK = 0;         // 1 = working
        float ResetStart = 0.0F;     // seconds of the day a reset began, 0 none
        float ResetWait = 2.0F;      // seconds the reset waits
    };
    virtual HidBoxState HidBox(int box)
    {
        (void)box;
        return {};
    }
};
