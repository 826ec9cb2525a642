#pragma once

#include <cstdint>
#include <functional>
#include <string>

// File calls that may block on the network (a server share) run on an I/O
// thread of their share. The caller waits as the program always waits:
// dispatching window events and feeding the players, so no call stalls the
// user interface or the sound. The I/O thread never runs program code: it makes one file call and
// hands its result back through an atomic.
namespace platform::io {

// The file call to make on the I/O thread; returns a count, a descriptor or
// -errno. It must own everything it touches: after a time-out the caller is
// gone while the call may still run.
using Work = std::function<std::int64_t()>;
// Runs instead of delivering the result when the caller gave up (closes a
// descriptor that was opened too late, for instance).
using Abandon = std::function<void(std::int64_t result)>;

// Whether a call is made while an earlier call on its share is given up on.
enum class WhenShareGivenUp {
    Refuse,    // fails at once with -ETIMEDOUT
    MakeAnyway // a close: skipped, the descriptor would stay open for good
};

// Runs work on an I/O thread of the share the file lies on (platform::ShareOf;
// calls on local disks and calls without a file share one thread of their
// own) and waits for it, pumping and refilling: a share that stops answering
// holds up only calls on its own files. After WaitLimitMs() on the program's
// clock without an answer (inside a press, by the press's deadline:
// platform::PressDeadline) the call is given up: the result is -ETIMEDOUT, a
// line names what timed out, and later calls on that share run on a fresh
// thread while the stuck one finishes in its own time. Until a call on file or
// on another file of its share that was given up on has come back, a later
// call is not made and gives -ETIMEDOUT at once (unless made anyway), so
// presses do not wait again and again for a share that stopped answering.
std::int64_t Run(Work work, Abandon abandon, const std::string& what, const std::string& file = {},
                 WhenShareGivenUp whenGivenUp = WhenShareGivenUp::Refuse);

// How long a caller waits for a server (15 s unless changed).
int WaitLimitMs();
void SetWaitLimitMs(int ms);

// Blocks until every I/O thread is idle, including ones given up on (tests).
void WaitUntilIdle();

} // namespace platform::io
