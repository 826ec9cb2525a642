#include "platform/HidapiChannel.h"

#include <hidapi.h>

#include <cerrno>

namespace platform {

namespace {

int FailureCode()
{
    return errno != 0 ? -errno : -EIO;
}

} // namespace

HidapiChannel::~HidapiChannel()
{
    hid_close(device_);
}

int HidapiChannel::Read(std::span<std::uint8_t> into, int timeoutMs)
{
    errno = 0;
    const int result = hid_read_timeout(device_, into.data(), into.size(), timeoutMs);
    return result >= 0 ? result : FailureCode();
}

int HidapiChannel::Write(std::span<const std::uint8_t> report)
{
    errno = 0;
    const int result = hid_write(device_, report.data(), report.size());
    return result >= 0 ? result : FailureCode();
}

} // namespace platform
