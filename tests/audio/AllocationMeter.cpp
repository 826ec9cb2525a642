#include "AllocationMeter.h"

#include <malloc.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

thread_local bool armed = false;
thread_local bool scribbled = false;
thread_local audiotest::AllocatedBytes measured;

void Measure(std::size_t bytes)
{
    if (armed) {
        const auto size = static_cast<std::int64_t>(bytes);
        measured.Total += size;
        measured.Largest = std::max(measured.Largest, size);
    }
}

} // namespace

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, std::size_t),
                                                         void (*freeHook)(const volatile void*));

namespace {

void OnMalloc(const volatile void*, std::size_t size)
{
    Measure(size);
}

void OnFree(const volatile void*) {}

const bool hooksInstalled = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree) != 0;

} // namespace

#else

// glibc's own entry points, to which the replacements below forward.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);

void* malloc(std::size_t size) noexcept
{
    Measure(size);
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept
{
    Measure(count * size);
    return __libc_calloc(count, size);
}

void* realloc(void* pointer, std::size_t size) noexcept
{
    Measure(size);
    return __libc_realloc(pointer, size);
}

void* memalign(std::size_t alignment, std::size_t size) noexcept
{
    Measure(size);
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    Measure(size);
    return __libc_memalign(alignment, size);
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) noexcept
{
    Measure(size);
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) {
        return 12; // ENOMEM
    }
    *result = pointer;
    return 0;
}

void free(void* pointer) noexcept
{
    if (armed && scribbled && pointer != nullptr) {
        std::memset(pointer, audiotest::FreedByte, malloc_usable_size(pointer));
    }
    __libc_free(pointer);
}
}

namespace {
const bool hooksInstalled = true;
}

#endif

namespace audiotest {

void ArmAllocationMeter(FreedMemory freed)
{
    measured = AllocatedBytes{};
    scribbled = freed == FreedMemory::Scribbled;
    armed = hooksInstalled;
}

AllocatedBytes DisarmAllocationMeter()
{
    armed = false;
    return measured;
}

} // namespace audiotest
