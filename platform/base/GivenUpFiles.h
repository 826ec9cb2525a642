#pragma once

#include <memory>
#include <string>
#include <vector>

// Files on a share with a call that was given up on and has not come back:
// a server file call that timed out, or a media graph left to stop on its
// own. The file layer asks it before every call on a share, so that once one
// call on a share was given up, the other files of that share fail at once
// until the share answers again (the call comes back).
namespace platform::givenup {

// Counts a call on file (a native path) as given up until the mark is
// destroyed: destroy it where the call comes back.
class Mark {
public:
    explicit Mark(std::string file);
    ~Mark();
    Mark(const Mark&) = delete;
    Mark& operator=(const Mark&) = delete;

    struct Registry;

private:
    std::shared_ptr<Registry> registry_;
    std::string file_;
};

// The files with a call given up on now, each once.
std::vector<std::string> Files();

} // namespace platform::givenup
