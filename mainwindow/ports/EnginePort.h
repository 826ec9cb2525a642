#pragma once

// The engine tick of playback control. The main window's timer TimerUpdate
// runs it; it does nothing while the window is not Running.
class EnginePort {
public:
    virtual ~EnginePort() = default;
    virtual void TimerUpdate_Timer() = 0;
};
