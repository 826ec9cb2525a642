#pragma once

#include "platform/SerialLineSettings.h"
#include "platform/SerialOutputQueue.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// One serial port, used without events by the thread that owns it: reads take
// what the driver holds and return at once; writes never block. Bytes the
// driver cannot take yet wait in the port's own queue (at most
// SerialOutputQueue::Capacity bytes), which every read and every write moves
// on; bytes still waiting after SerialOutputQueue::MaxAgeMs on the program
// clock are given up, with one log line until the queue empties again.
class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device for this program alone, in raw mode with 8 data bits
    // and the settings; name ("Com2") labels the log lines. A port already
    // open is closed first. False, with a log line, when the device is
    // missing, in use, not a serial line, or refuses the settings.
    bool Open(std::string_view name, const std::string& device, const SerialLineSettings& settings);
    // Hands what it can of the queue to the driver once more, then closes.
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // Moves the queue on, then reads what has arrived, at most into.size()
    // bytes. Returns the count; 0 when nothing arrived or the port is closed.
    std::size_t Read(std::span<std::uint8_t> into);
    // Moves the queue on, then writes the bytes behind whatever still waits.
    void Write(std::span<const std::uint8_t> bytes);
    // Gives up expired bytes and hands waiting ones to the driver.
    void Drain();

    // Bytes waiting in the port's queue.
    std::size_t QueuedBytes() const { return queue_.Size(); }
    // The open descriptor (-1 while closed), for waiting on it.
    int Descriptor() const { return fd_; }

private:
    std::size_t WriteSome(std::span<const std::uint8_t> bytes);
    void LogDropped(std::size_t count, std::string_view why);
    void LogFailure(std::string_view call, int error);

    int fd_ = -1;
    std::string name_;
    SerialOutputQueue queue_;
    bool dropLogged_ = false;
    bool failureLogged_ = false;
};

} // namespace platform
