#include "platform/SerialPort.h"

#include "platform/ErrorText.h"
#include "platform/SerialTermios.h"
#include "platform/base/Clock.h"
#include "platform/base/LogSink.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

namespace {

bool WouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}

} // namespace

SerialPort::~SerialPort()
{
    Close();
}

bool SerialPort::Open(std::string_view name, const std::string& device, const SerialLineSettings& settings)
{
    Close();
    name_ = std::string(name);
    failureLogged_ = false;
    dropLogged_ = false;
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        Log(name_ + " open " + device + " failed r=" + std::to_string(error) + " " + ErrorText(error));
        return false;
    }
    // Nobody else may open the line while we hold it: TIOCEXCL keeps others
    // out, the lock also keeps out a second program running as root.
    termios2 current{};
    const char* failed = nullptr;
    if (::ioctl(fd, TCGETS2, &current) != 0) {
        failed = "TCGETS2";
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        failed = "flock";
    } else if (::ioctl(fd, TIOCEXCL) != 0) {
        failed = "TIOCEXCL";
    }
    if (failed == nullptr) {
        const std::optional<termios2> state = SerialLineState(current, settings);
        if (!state) {
            ::close(fd);
            Log(name_ + " open " + device + " failed: unsupported settings baud=" + std::to_string(settings.baudRate) +
                " parity=" + std::to_string(settings.parity) + " stop=" + std::to_string(settings.stopBits));
            return false;
        }
        if (::ioctl(fd, TCSETS2, &*state) != 0) {
            failed = "TCSETS2";
        }
    }
    if (failed != nullptr) {
        const int error = errno;
        ::close(fd);
        Log(name_ + " open " + device + " " + failed + " failed r=" + std::to_string(error) + " " + ErrorText(error));
        return false;
    }
    fd_ = fd;
    return true;
}

void SerialPort::Close()
{
    if (fd_ < 0) {
        return;
    }
    Drain();
    if (!queue_.Empty()) {
        LogDropped(queue_.Size(), "at close");
        queue_.Clear();
    }
    ::close(fd_);
    fd_ = -1;
}

std::size_t SerialPort::Read(std::span<std::uint8_t> into)
{
    if (fd_ < 0) {
        return 0;
    }
    Drain();
    if (into.empty()) {
        return 0;
    }
    ssize_t count = 0;
    do {
        count = ::read(fd_, into.data(), into.size());
    } while (count < 0 && errno == EINTR);
    if (count > 0) {
        failureLogged_ = false;
        return static_cast<std::size_t>(count);
    }
    if (count < 0 && !WouldBlock(errno)) {
        LogFailure("read", errno);
    }
    return 0;
}

void SerialPort::Write(std::span<const std::uint8_t> bytes)
{
    if (fd_ < 0) {
        return;
    }
    Drain();
    if (bytes.empty()) {
        return;
    }
    // Bytes never overtake the ones already waiting.
    const std::size_t written = queue_.Empty() ? WriteSome(bytes) : 0;
    if (written == bytes.size()) {
        dropLogged_ = false;
    } else {
        const std::size_t left = queue_.Append(bytes.subspan(written), ClockMs());
        if (left > 0) {
            LogDropped(left, "queue full");
        }
    }
}

void SerialPort::Drain()
{
    if (fd_ < 0 || queue_.Empty()) {
        return;
    }
    const std::size_t expired = queue_.DropExpired(ClockMs());
    if (expired > 0) {
        LogDropped(expired, "not sent within 5 s");
    }
    bool moved = false;
    while (!queue_.Empty()) {
        const std::size_t written = WriteSome(queue_.Front());
        if (written == 0) {
            break;
        }
        queue_.Consume(written);
        moved = true;
    }
    // Only a line that takes bytes again starts a new episode of drops; a
    // queue emptied by giving bytes up does not, so a dead line logs once.
    if (moved && queue_.Empty()) {
        dropLogged_ = false;
    }
}

std::size_t SerialPort::WriteSome(std::span<const std::uint8_t> bytes)
{
    ssize_t count = 0;
    do {
        count = ::write(fd_, bytes.data(), bytes.size());
    } while (count < 0 && errno == EINTR);
    if (count > 0) {
        failureLogged_ = false;
        return static_cast<std::size_t>(count);
    }
    if (count < 0 && !WouldBlock(errno)) {
        LogFailure("write", errno);
    }
    return 0;
}

void SerialPort::LogDropped(std::size_t count, std::string_view why)
{
    if (dropLogged_) {
        return;
    }
    dropLogged_ = true;
    Log(name_ + " output dropped (" + std::string(why) + "): " + std::to_string(count) + " bytes");
}

void SerialPort::LogFailure(std::string_view call, int error)
{
    if (failureLogged_) {
        return;
    }
    failureLogged_ = true;
    Log(name_ + " " + std::string(call) + " failed r=" + std::to_string(error) + " " + ErrorText(error));
}

} // namespace platform
