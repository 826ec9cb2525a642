#pragma once

#include "Mutator.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace acceptance {

// One kind of outside input: its name (also the folder of its saved cases
// under tests/data/regress/), good samples to damage, and the largest input
// a case may have.
struct CorruptionKind {
    std::string name;
    std::vector<Bytes> samples;
    std::size_t maxBytes = 64 * 1024;
    int cases = 500;
};

// Checks one input: feeds it to the reader and asserts the reader's
// invariants with gtest assertions. It must not leave state behind that
// changes the next case.
using CaseCheck = std::function<void(std::span<const std::uint8_t> input)>;

// Runs the kind's cases, each a damaged sample, through check, with a seed
// fixed by the kind's name. Before each case its input is written to
// <build>/regress-pending/<kind>.bin, so a crash leaves the case that caused
// it there; a case that fails an assertion is copied to
// <build>/regress-found/<kind>/. Such a file, moved to tests/data/regress/<kind>/,
// is replayed by ReplayRegressCases from then on. Stops at the first failing case.
void RunCorruptionLoop(const CorruptionKind& kind, const CaseCheck& check);

// Runs check on every file saved for the kind under tests/data/regress/<kind>/.
void ReplayRegressCases(const std::string& kind, const CaseCheck& check);

} // namespace acceptance
