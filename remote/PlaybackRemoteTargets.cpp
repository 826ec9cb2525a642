#include "remote/PlaybackRemoteTargets.h"

#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "playback/PlaybackControl.h"

PlaybackRemoteTargets::PlaybackRemoteTargets(FrmMain& window, PlaybackControl& playback)
    : window_(window), playback_(playback)
{
}

void PlaybackRemoteTargets::Pon(int output, int button, int fromStandby, std::int32_t startMs, int noTick)
{
    playback_.Pon(output, button, fromStandby, startMs, noTick);
}

void PlaybackRemoteTargets::StopOutput(int output)
{
    playback_.StopOutput(output);
}

void PlaybackRemoteTargets::PlayButtonsClicked(int output, int button)
{
    playback_.PlayButtons_ButtonClicked(output, button);
}

void PlaybackRemoteTargets::PlayStandby(int output, int fromTimer)
{
    playback_.PlayStandby(output, fromTimer);
}

void PlaybackRemoteTargets::ChangePage(int output, int page, int all)
{
    playback_.ChangePage(output, page, all);
}

void PlaybackRemoteTargets::StbyLabelClicked(int output)
{
    // As the release of a left click on the label.
    playback_.TextSTBY_MouseUD(output, 1, false, 0);
}

void PlaybackRemoteTargets::SetOutputLock(int output)
{
    window_.Ports.Remote->SetOutputLock(output);
}

bool PlaybackRemoteTargets::TimerArmed(int output)
{
    if (output < 0 || output >= parms::OutputCount) {
        return false;
    }
    const parms::StartTimerRecord& timer = parms::StartTimer[static_cast<std::size_t>(output)];
    return timer.TimerEnabled != 0 && timer.TimerArmed != 0;
}

int PlaybackRemoteTargets::ListItemCount(int output)
{
    return window_.LV.Exists(output) ? window_.LV(output)->ItemCount() : 0;
}

int PlaybackRemoteTargets::ListSelectedItem(int output)
{
    return window_.LV.Exists(output) ? window_.LV(output)->SelectedItem() : -1;
}

void PlaybackRemoteTargets::ListSelect(int output, int row)
{
    if (!window_.LV.Exists(output)) {
        return;
    }
    UC_ListView& list = *window_.LV(output);
    list.UnSelectAll();
    list.SetSelectedItem(row);
    list.SetIsSelected(row, 1);
    list.ShowSelected(0);
    list.ReDraw();
}

void PlaybackRemoteTargets::ListSelectAndClick(int output, int row)
{
    ListSelect(output, row);
    if (ListClicked) {
        ListClicked(output);
    } else {
        basic::WriteLog("The play list's click is not available in this build", 0, 0);
    }
}

void PlaybackRemoteTargets::RefreshButtons(int output, int all)
{
    playback_.RefreshButtons(output, all);
}
