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

// What becomes of the memory freed while a meter is armed. Scribbled
// overwrites it before it goes back to the heap, as a debugging heap does: a
// voice that goes on reading a freed page then plays no longer the sound but
// the scribble, in every build (the sanitizers report such a read anyway).
enum class FreedMemory { Kept, Scribbled };
// The byte scribbled over freed memory.
inline constexpr unsigned char FreedByte = 0xA5;

void ArmAllocationMeter(FreedMemory freed = FreedMemory::Kept);
AllocatedBytes DisarmAllocationMeter();

} // namespace audiotest
