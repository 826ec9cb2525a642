#include "cache/TemporaryNames.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>

namespace cache::filehand {

namespace {

constexpr int HighestNumber = 9999;

std::mt19937& Generator()
{
    static std::mt19937 generator = [] {
        std::random_device device;
        const auto now = static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        std::seed_seq seed{device(), device(), now};
        return std::mt19937(seed);
    }();
    return generator;
}

} // namespace

NumberSource SeededNumberSource()
{
    return [] {
        std::uniform_int_distribution<int> numbers(0, HighestNumber);
        return numbers(Generator());
    };
}

std::string TemporaryName(std::string_view folder, int number)
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04d", number < 0 || number > HighestNumber ? 0 : number);
    return std::string(folder) + "~tmp" + digits + ".tmp";
}

bool LooksTemporary(std::string_view fileName)
{
    return fileName.size() == 12 && fileName.starts_with("~tmp") && fileName.ends_with(".tmp");
}

} // namespace cache::filehand
