#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform {

// The report sizes a HID box declares in its report descriptor.
struct HidReportLayout {
    // Bytes of the longest input and output report with the leading
    // report-id byte counted (0 when the box declares none of that kind).
    std::size_t inputLength = 0;
    std::size_t outputLength = 0;
    // True when the box numbers its reports: the system then hands input
    // reports over with their report id; otherwise without one.
    bool numberedReports = false;
};

// Reads the layout from a report descriptor; none when it is malformed
// (an item that runs past the end, a report of absurd size).
std::optional<HidReportLayout> ParseHidReportDescriptor(std::span<const std::uint8_t> descriptor);

} // namespace platform
