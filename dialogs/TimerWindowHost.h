#pragma once

// What the start-timer dialog calls of the main window when it closes.
class TimerWindowHost {
public:
    virtual ~TimerWindowHost() = default;
    // Stores and redraws the timer of parms::TimerEditOutput; nothing for -1.
    virtual void SetTimerProc() = 0;
};
