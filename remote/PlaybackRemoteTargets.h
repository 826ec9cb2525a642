#pragma once

#include "remote/RemoteTargets.h"

#include <functional>

class FrmMain;
class PlaybackControl;
class RemotePort;

// The remote dispatcher's actions carried out by the window's playback
// control, as the mouse and the keyboard carry them out.
class PlaybackRemoteTargets final : public RemoteTargets {
public:
    PlaybackRemoteTargets(FrmMain& window, PlaybackControl& playback);

    // The list's click handler (the play list's), run after a remote cursor
    // move selected a row; none: the row is only selected.
    std::function<void(int output)> ListClicked;

    void Pon(int output, int button, int fromStandby, std::int32_t startMs, int noTick) override;
    void StopOutput(int output) override;
    void PlayButtonsClicked(int output, int button) override;
    void PlayStandby(int output, int fromTimer) override;
    void ChangePage(int output, int page, int all) override;
    void StbyLabelClicked(int output) override;
    void SetOutputLock(int output) override;
    bool TimerArmed(int output) override;
    int ListItemCount(int output) override;
    int ListSelectedItem(int output) override;
    void ListSelectAndClick(int output, int row) override;
    void ListSelect(int output, int row) override;
    void RefreshButtons(int output, int all) override;

private:
    FrmMain& window_;
    PlaybackControl& playback_;
};
