#pragma once

#include "platform/IoThread.h"

#include <cstdlib>
#include <string>

namespace testsupport {

// Server paths ("//host/share/...") reach the folder given here for as long
// as this lives, and a server call may wait as long as virtual time needs:
// time runs by the pumps in these tests, and a real slow machine must not
// look like a dead server. Both are put back as they were at the end.
class ServerFolders {
public:
    explicit ServerFolders(const std::string& uncRoot)
    {
        const char* root = std::getenv("TOLV_UNC_ROOT");
        previousRoot_ = root != nullptr ? root : "";
        hadRoot_ = root != nullptr;
        setenv("TOLV_UNC_ROOT", uncRoot.c_str(), 1);
        savedWaitLimit_ = platform::io::WaitLimitMs();
        platform::io::SetWaitLimitMs(600000);
    }
    ~ServerFolders()
    {
        platform::io::SetWaitLimitMs(savedWaitLimit_);
        if (hadRoot_) {
            setenv("TOLV_UNC_ROOT", previousRoot_.c_str(), 1);
        } else {
            unsetenv("TOLV_UNC_ROOT");
        }
    }
    ServerFolders(const ServerFolders&) = delete;
    ServerFolders& operator=(const ServerFolders&) = delete;

private:
    std::string previousRoot_;
    bool hadRoot_ = false;
    int savedWaitLimit_ = 0;
};

} // namespace testsupport
