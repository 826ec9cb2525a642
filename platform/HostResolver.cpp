#include "platform/HostResolver.h"

#include "platform/SystemHostResolver.h"

namespace platform {

namespace {
HostResolver* installed = nullptr;
} // namespace

HostResolver& CurrentHostResolver()
{
    static SystemHostResolver system;
    return installed != nullptr ? *installed : system;
}

void SetHostResolver(HostResolver* resolver)
{
    installed = resolver;
}

} // namespace platform
