#include "platform/SerialTermios.h"

#include <array>
#include <utility>

namespace platform {

namespace {

// The rates that have a code of their own; the rest go by BOTHER.
constexpr std::array<std::pair<int, unsigned>, 22> standardRates{{
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},       {200, B200},
    {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200}, {230400, B230400},
    {460800, B460800}, {500000, B500000}, {576000, B576000}, {921600, B921600},
}};

unsigned RateCode(int rate)
{
    for (const auto& [value, code] : standardRates) {
        if (value == rate) {
            return code;
        }
    }
    return BOTHER;
}

} // namespace

std::optional<termios2> SerialLineState(const termios2& current, const SerialLineSettings& settings)
{
    if (settings.baudRate < 1) {
        return std::nullopt;
    }
    if (settings.parity != ParityNone && settings.parity != ParityOdd && settings.parity != ParityEven) {
        return std::nullopt;
    }
    if (settings.stopBits != OneStopBit && settings.stopBits != TwoStopBits) {
        return std::nullopt;
    }
    termios2 state = current;
    state.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                            IXANY | IUCLC | IMAXBEL | INPCK | IGNPAR);
    state.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    state.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    state.c_cflag &=
        ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | (CBAUD << IBSHIFT));
    state.c_cflag |= CS8 | CREAD | CLOCAL;
    if (settings.parity != ParityNone) {
        state.c_cflag |= PARENB;
        if (settings.parity == ParityOdd) {
            state.c_cflag |= PARODD;
        }
        state.c_iflag |= INPCK | IGNPAR;
    }
    if (settings.stopBits == TwoStopBits) {
        state.c_cflag |= CSTOPB;
    }
    // The input rate bits stay 0: the input runs at the output rate.
    state.c_cflag |= RateCode(settings.baudRate);
    state.c_ispeed = static_cast<speed_t>(settings.baudRate);
    state.c_ospeed = static_cast<speed_t>(settings.baudRate);
    state.c_cc[VMIN] = 0;
    state.c_cc[VTIME] = 0;
    return state;
}

} // namespace platform
