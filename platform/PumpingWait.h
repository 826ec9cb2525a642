#pragma once

#include <chrono>
#include <future>

// Waits on something outside the program (a socket, a worker thread) from the
// user-interface thread. They wait in short slices and dispatch window events
// and feed the players between them, as every wait of the program does, so a
// slow network never freezes the window or starves the audio.
namespace platform {

using SteadyTime = std::chrono::steady_clock::time_point;

// The longest slice between two pumps, well inside the players' refill interval.
inline constexpr int WaitSliceMs = 10;

// Dispatches pending events and feeds the players when due.
void PumpBetweenSlices();

// The deadline timeoutMs (at least 0) from now. Network time-outs run on the
// machine's steady clock: the virtual clock of a test cannot make a real
// socket answer sooner.
SteadyTime DeadlineAfter(int timeoutMs);

// Waits until the descriptor reports one of events, or the deadline passes.
// The events it reported (error and hang-up included), 0 once the deadline
// has passed, -1 when poll failed.
int PollPumping(int fd, short events, SteadyTime deadline);

// Waits for a worker's result, pumping between slices.
template <class Result> Result WaitPumping(std::future<Result>& future)
{
    while (future.wait_for(std::chrono::milliseconds(WaitSliceMs)) != std::future_status::ready) {
        PumpBetweenSlices();
    }
    return future.get();
}

} // namespace platform
