#pragma once

namespace platform {

// The hourglass over every window of the program while the program is busy.
void SetBusyCursor(bool busy);
bool BusyCursor();

// Shows the hourglass for its life (and restores what was there before).
class ScopedBusyCursor {
public:
    ScopedBusyCursor() : previous_(BusyCursor()) { SetBusyCursor(true); }
    ~ScopedBusyCursor() { SetBusyCursor(previous_); }
    ScopedBusyCursor(const ScopedBusyCursor&) = delete;
    ScopedBusyCursor& operator=(const ScopedBusyCursor&) = delete;

private:
    bool previous_;
};

} // namespace platform
