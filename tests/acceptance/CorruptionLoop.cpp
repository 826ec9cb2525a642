#include "CorruptionLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace acceptance {

namespace {

namespace fs = std::filesystem;

void WriteCase(const fs::path& path, std::span<const std::uint8_t> bytes)
{
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::uint64_t SeedOf(const std::string& name)
{
    // FNV-1a: the seed of a kind never changes with the library or platform.
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char c : name) {
        hash = (hash ^ static_cast<std::uint8_t>(c)) * 0x100000001B3ULL;
    }
    return hash;
}

} // namespace

void RunCorruptionLoop(const CorruptionKind& kind, const CaseCheck& check)
{
    ASSERT_FALSE(kind.samples.empty());
    const auto started = std::chrono::steady_clock::now();
    const fs::path pending = fs::path(TOLV_REGRESS_OUT) / "regress-pending" / (kind.name + ".bin");
    Mutator mutator(SeedOf(kind.name));
    for (int number = 0; number < kind.cases; ++number) {
        const Bytes& sample = kind.samples[mutator.Below(static_cast<std::uint32_t>(kind.samples.size()))];
        // Now and then a sample unharmed, or damaged twice over.
        Bytes input = mutator.Mutate(sample, kind.maxBytes);
        if (mutator.Below(8) == 0) {
            input = mutator.Mutate(input, kind.maxBytes);
        }
        WriteCase(pending, input);
        {
            SCOPED_TRACE(kind.name + " case " + std::to_string(number));
            check(input);
        }
        if (testing::Test::HasFailure()) {
            const fs::path found =
                fs::path(TOLV_REGRESS_OUT) / "regress-found" / kind.name / ("case-" + std::to_string(number) + ".bin");
            WriteCase(found, input);
            ADD_FAILURE() << "saved as " << found.string() << "; move it to tests/data/regress/" << kind.name
                          << "/ once mended";
            return;
        }
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    std::printf("[ loop     ] %s: %d cases in %lld ms\n", kind.name.c_str(), kind.cases, static_cast<long long>(ms));
}

void ReplayRegressCases(const std::string& kind, const CaseCheck& check)
{
    const fs::path folder = fs::path(TOLV_REGRESS_DIR) / kind;
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        return;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().string());
        check(input);
    }
}

} // namespace acceptance
