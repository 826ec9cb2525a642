#pragma once

namespace platform {

// Asks for a higher scheduling priority for the calling thread and the
// threads it starts afterwards (the start-up calls it on the UI thread, which
// feeds the players). Ordinary users are usually not allowed to raise it;
// then the process keeps its priority and the refusal is logged. True when
// the priority was raised.
bool RaiseProcessPriority();

} // namespace platform
