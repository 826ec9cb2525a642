#pragma once

#include "platform/SerialPort.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// A remote box on one serial port, used without events: the engine tick polls
// it and status output writes to it. Reads return at once with what has
// arrived; writes never wait (bytes the line cannot take yet are queued by the
// port and given up after 5 s).
class C_Com {
public:
    // Bytes taken from the driver in one system call. Reads hand them out
    // DataSize at a time, so a poll that reads on through a burst costs a
    // few calls, not one per command.
    static constexpr std::size_t ReadAheadSize = 4096;

    // Bytes asked for per read by RecvData and RecvDataB.
    int DataSize = 0;
    // The port to open: "Com" followed by its number.
    std::string ComPort;
    int BaudRate = 0;
    // 0 none, 2 even (1 odd).
    int ParityBit = 0;
    // 0 one stop bit (2 two).
    int StopBit = 0;

    // 1 when ComPort opened with BaudRate, 8 data bits, ParityBit and
    // StopBit; 0 otherwise (the port stays closed). A port already open is
    // closed first.
    int OpenComm();
    void CloseComm();
    bool IsOpen() const { return port_.IsOpen(); }

    // One byte per character, the low byte of its code; nothing when the text
    // is empty or no port is open.
    void SendText(std::string_view text);
    // The first count bytes (at most all of them); nothing when no port is open.
    void SendDataB(std::span<const std::uint8_t> bytes, int count);
    void SendDatalp(std::span<const std::uint8_t> bytes);

    // "" when no port is open; otherwise pumps pending window events once and
    // returns up to DataSize bytes that have arrived, one character per byte.
    std::string RecvData();
    // Pumps pending window events once, reads up to DataSize bytes (at most
    // bytes.size() - 1) into bytes[1..] and puts their count into bytes[0]
    // when it is below 256. Returns the count.
    int RecvDataB(std::span<std::uint8_t> bytes);
    // A further read of the same poll: as RecvDataB, without pumping again.
    int RecvMoreB(std::span<std::uint8_t> bytes);

    // The port below: its queue and descriptor.
    const platform::SerialPort& Port() const { return port_; }

private:
    std::size_t ReadSize() const;
    // Up to into.size() bytes in arrival order: first those read ahead, then
    // what the driver holds.
    std::size_t Take(std::span<std::uint8_t> into);
    void ForgetReadAhead();

    platform::SerialPort port_;
    std::array<std::uint8_t, ReadAheadSize> ahead_{};
    // The bytes read ahead and not yet handed out: ahead_[aheadFrom_, aheadTo_).
    std::size_t aheadFrom_ = 0;
    std::size_t aheadTo_ = 0;
};
