#pragma once

#include "platform/base/LogSink.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// What the platform layer logs while this lives: it is installed as the
// layer's log sink, and taken out again at its end.
class CapturedLog {
public:
    CapturedLog()
    {
        platform::SetLogSink([this](std::string_view text, int) { lines_.emplace_back(text); });
    }
    ~CapturedLog() { platform::SetLogSink(nullptr); }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    // Lines that hold part.
    int LinesWith(std::string_view part) const
    {
        return static_cast<int>(std::count_if(lines_.begin(), lines_.end(), [part](const std::string& line) {
            return line.find(part) != std::string::npos;
        }));
    }
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

} // namespace testsupport
