#pragma once

#include <cstdint>

namespace audiotest {

// Measures the heap memory (malloc, new and their relatives) the calling thread
// asks for while a meter is armed: the bytes of all requests together (an
// upper bound of the peak) and the largest single request. Under the
// sanitizers the sizes come from their allocation hooks, elsewhere from
// replaced allocation functions.
struct AllocatedBytes {
    std::int64_t Total = 0;
    std::int64_t Largest = 0;
};

void ArmAllocationMeter();
AllocatedBytes DisarmAllocationMeter();

} // namespace audiotest
