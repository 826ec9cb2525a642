#include "platform/ProcessPriority.h"

#include "platform/base/LogSink.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/resource.h>

namespace platform {

namespace {

// As far above normal as a desktop program sensibly goes.
constexpr int RaisedNice = -10;

} // namespace

bool RaiseProcessPriority()
{
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, 0);
    if (errno == 0 && current <= RaisedNice) {
        return true;
    }
    if (setpriority(PRIO_PROCESS, 0, RaisedNice) != 0) {
        Log(std::string("The process priority was not raised (") + std::strerror(errno) + ")", 0);
        return false;
    }
    return true;
}

} // namespace platform
