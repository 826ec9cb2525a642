#pragma once

#include <cstring>
#include <dlfcn.h>

// libxcb as Qt's X11 platform loaded it: the program does not link it, so on
// any other desktop nothing of it is needed.
namespace platform::loadedxcb {

// Sets target to the function name of library (null when it lacks it).
template <class F> void Resolve(void* library, const char* name, F& target)
{
    // dlsym gives an object pointer; POSIX guarantees it converts.
    void* symbol = dlsym(library, name);
    static_assert(sizeof(symbol) == sizeof(target));
    std::memcpy(&target, &symbol, sizeof(target));
}

// Calls resolve with the library where the program has loaded it; false,
// calling nothing, where it has not (not on X11).
template <class ResolveAll> bool WithLibrary(ResolveAll resolve)
{
    void* library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (library == nullptr) {
        return false;
    }
    resolve(library);
    // The library stays loaded with Qt's platform plugin; this handle only
    // counts one more reference.
    dlclose(library);
    return true;
}

} // namespace platform::loadedxcb
