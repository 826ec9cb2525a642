#include "controls/listview/RandomSource.h"

#include <chrono>

namespace listview {

SeededRandom::SeededRandom()
{
    std::random_device device;
    const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seed{device(), device(), static_cast<unsigned>(now), static_cast<unsigned>(now >> 32)};
    engine_.seed(seed);
}

std::uint32_t SeededRandom::Below(std::uint32_t bound)
{
    if (bound <= 1) {
        return 0;
    }
    return std::uniform_int_distribution<std::uint32_t>(0, bound - 1)(engine_);
}

} // namespace listview
