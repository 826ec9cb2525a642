#pragma once

#include <string>
#include <thread>

namespace platform::audio {

// Puts a mixer thread under the SCHED_FIFO policy so that no ordinary thread
// delays a period. Returns "" on success, else the reason it was refused (the
// thread then runs under the normal policy).
std::string MakeRealtime(std::thread& thread);

} // namespace platform::audio
