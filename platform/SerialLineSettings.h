#pragma once

namespace platform {

// Parity codes of a serial line.
inline constexpr int ParityNone = 0;
inline constexpr int ParityOdd = 1;
inline constexpr int ParityEven = 2;
// Stop-bit codes of a serial line.
inline constexpr int OneStopBit = 0;
inline constexpr int TwoStopBits = 2;

// What a serial line is opened with; the data bits are always 8.
struct SerialLineSettings {
    int baudRate = 38400;
    int parity = ParityNone;
    int stopBits = OneStopBit;
};

} // namespace platform
