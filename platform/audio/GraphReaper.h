#pragma once

#include <memory>

namespace platform::audio::graphreaper {

// What is left of a graph that could not be stopped in time: its destructor
// stops and frees it, blocking for as long as the graph's reads do.
class Leftover {
public:
    virtual ~Leftover() = default;
};

// Destroys leftover on a thread of its own that nothing waits for, not even
// the program's exit: a read of a share that never answers keeps it forever.
void Leave(std::unique_ptr<Leftover> leftover);
// Leftovers not destroyed yet.
int Unfinished();
// Waits up to timeoutMs until every leftover is destroyed (tests).
bool WaitUntilFinished(int timeoutMs);

} // namespace platform::audio::graphreaper
