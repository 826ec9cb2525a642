#include "audio/RateText.h"

#include <cstdlib>

namespace audiofile {

std::string RateInKilohertz(std::int32_t rate)
{
    const std::int64_t value = rate;
    std::string text = value < 0 ? "-" : "";
    const std::int64_t magnitude = std::llabs(value);
    text += std::to_string(magnitude / 1000);
    std::string fraction = std::to_string(1000 + magnitude % 1000).substr(1);
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        text += "." + fraction;
    }
    return text;
}

} // namespace audiofile
