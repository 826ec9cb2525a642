#include "platform/base/LogSink.h"

#include <utility>

namespace platform {

namespace {
LogSink logSink;
}

void SetLogSink(LogSink sink)
{
    logSink = std::move(sink);
}

void Log(std::string_view text, int kind)
{
    if (logSink) {
        logSink(text, kind);
    }
}

} // namespace platform
