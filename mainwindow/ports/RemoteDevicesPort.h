#pragma once

// The remote devices of the four remote channels (0..3) and the MIDI input,
// as the unload closes them.
class RemoteDevicesPort {
public:
    virtual ~RemoteDevicesPort() = default;
    virtual bool ComOpen(int channel) = 0;
    virtual void CloseComm(int channel) = 0;
    virtual bool HidOpen(int channel) = 0;
    virtual void HidClose(int channel) = 0;
    virtual bool MidiInOpen() = 0;
    virtual void CloseMidiIn() = 0;
};
