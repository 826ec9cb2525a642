#pragma once

#include <cstdint>
#include <string>

namespace audiofile {

// A sample rate in kHz as a decimal number without trailing zeros: 44100 is
// "44.1", 48000 "48", 22050 "22.05".
std::string RateInKilohertz(std::int32_t rate);

} // namespace audiofile
