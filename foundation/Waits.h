#pragma once

// Measuring and waiting on the seconds-since-midnight timer of the injectable
// clock, safely across midnight.
namespace basic {

// Waits ms milliseconds, dispatching pending window events on every turn (so
// timers, clicks and keys run inside the wait) and feeding the players at
// least every 20 ms; between turns it sleeps sleepMs (1 ms when 0, so the
// wait never spins a core). ms <= 0 dispatches pending events once.
void WaitMs(int ms, int sleepMs);

// Seconds since start (a value of the timer). Unless noWrap, a start a little
// in the future (up to 1 s of jitter) gives 0 and a start before midnight read
// after midnight gives the time that really passed.
double ElapsedSince(double start, int noWrap);

} // namespace basic
