#include "playback/StartTimers.h"

#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

void StartTimers::DisarmTimer(int output)
{
    FrmMain& window = control_.Window();
    const int first = output == -1 ? 0 : output;
    const int last = output == -1 ? window.State.NumOut - 1 : output;
    for (int o = first; o <= last; ++o) {
        if (o < 0 || o >= parms::OutputCount) {
            continue;
        }
        if (parms::StartTimer[playback::At(o)].TimerArmed == 1) {
            window.Ports.StatusLabels->TextTimer_MouseUD(o, 1, false, 0);
        }
    }
}
