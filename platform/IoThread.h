#pragma once

#include <cstdint>
#include <functional>
#include <string>

// File calls that may block on the network (a server share) run on an I/O
// thread. The caller waits as the program always waits: dispatching window
// events and feeding the players, so no call stalls the user interface or the
// sound. The I/O thread never runs program code: it makes one file call and
// hands its result back through an atomic.
namespace platform::io {

// The file call to make on the I/O thread; returns a count, a descriptor or
// -errno. It must own everything it touches: after a time-out the caller is
// gone while the call may still run.
using Work = std::function<std::int64_t()>;
// Runs instead of delivering the result when the caller gave up (closes a
// descriptor that was opened too late, for instance).
using Abandon = std::function<void(std::int64_t result)>;

// Runs work on the I/O thread and waits for it, pumping and refilling. After
// WaitLimitMs() on the program's clock without an answer (inside a press, by
// the press's deadline: platform::PressDeadline) the call is given up:
// the result is -ETIMEDOUT, a line names what timed out, and later calls run
// on a fresh I/O thread while the stuck one finishes in its own time. file
// names the file the call concerns ("" none): until a call on it or on
// another file of its share (platform::ShareOf) that was given up on has come
// back, a later call is not made and gives -ETIMEDOUT at once, so presses do
// not wait again and again for a share that stopped answering.
std::int64_t Run(Work work, Abandon abandon, const std::string& what, const std::string& file = {});

// How long a caller waits for a server (15 s unless changed).
int WaitLimitMs();
void SetWaitLimitMs(int ms);

// Blocks until every I/O thread is idle, including ones given up on (tests).
void WaitUntilIdle();

} // namespace platform::io
