#include "platform/SocketHandle.h"

#include <unistd.h>

namespace platform {

SocketHandle::~SocketHandle()
{
    if (fd_ >= 0) {
        close(fd_);
    }
}

} // namespace platform
