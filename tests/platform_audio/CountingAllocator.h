#pragma once

#include <cstdint>

namespace audiotest {

// Counts the heap allocations (malloc, new and their relatives) that the
// calling thread makes while it is armed. Under the sanitizers the count comes
// from their allocation hooks, elsewhere from replaced allocation functions.
void ArmAllocationCounting();
// Disarms and returns the allocations counted since the thread armed.
std::int64_t DisarmAllocationCounting();
// The allocations counted so far on the calling thread while armed.
std::int64_t AllocationsCounted();

} // namespace audiotest
