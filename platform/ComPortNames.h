#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The device behind a port name "ComN" (any case, N from 1): the path in the
// environment variable TOLV_COM<N> when it is set and not empty, else
// /dev/ttyS<N-1>. None for any other name.
std::optional<std::string> ComDevicePath(std::string_view portName);

} // namespace platform
