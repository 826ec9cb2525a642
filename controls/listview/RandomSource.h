#pragma once

#include <cstdint>
#include <random>

namespace listview {

// Where a shuffle takes its random numbers from; tests inject a fixed one.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A number in 0..bound-1 (bound at least 1).
    virtual std::uint32_t Below(std::uint32_t bound) = 0;
};

// Seeded once when made, from the system's entropy and the clock.
class SeededRandom final : public RandomSource {
public:
    SeededRandom();
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
    std::uint32_t Below(std::uint32_t bound) override;

private:
    std::mt19937_64 engine_;
};

} // namespace listview
