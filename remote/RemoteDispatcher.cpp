#include "remote/RemoteDispatcher.h"

#include "foundation/Parms.h"
#include "mainwindow/MainState.h"
#include "remote/RemoteTargets.h"

namespace {

constexpr int ListWhilePlayRefused = 2;

} // namespace

RemoteDispatcher::RemoteDispatcher(MainState& state, RemoteTargets& targets) : state_(state), targets_(targets) {}

bool RemoteDispatcher::IsListOutput(int output) const
{
    return parms::IsList[static_cast<std::size_t>(output)] == 1;
}

void RemoteDispatcher::ExecRemoteCommand(int output, int code, int sourceKey)
{
    if (code == 0 || output < 0 || output >= state_.NumOut || output >= MainState::Outputs) {
        return;
    }
    const auto o = static_cast<std::size_t>(output);
    if (code >= 1 && code <= 100) {
        if (IsListOutput(output)) {
            PlayNextItem(output, sourceKey);
        } else {
            PlayButtonCode(output, code, sourceKey);
        }
        return;
    }
    if (code >= 201 && code <= 220) {
        targets_.ChangePage(output, code - 201, 0);
        return;
    }
    switch (code) {
    case CodeStop:
        targets_.StopOutput(output);
        break;
    case 242:
        StepPage(output, 1);
        break;
    case 243:
        StepPage(output, -1);
        break;
    case CodePlay:
        if (IsListOutput(output)) {
            PlayNextItem(output, -1);
        } else if (state_.StandbySet[o] != 0) {
            targets_.PlayStandby(output, 0);
        }
        break;
    case 245:
        if (state_.DispSTBY[o] != 0) {
            targets_.StbyLabelClicked(output);
        }
        break;
    case 246:
        if (parms::UsePause != 0) {
            targets_.PlayButtonsClicked(output, 2);
        }
        break;
    case CodeRelease:
        Release(output, sourceKey);
        break;
    case 257:
    case 258:
        state_.OutputLocked[o] = code == 257 ? 1 : 0;
        targets_.SetOutputLock(output);
        break;
    case 259:
        MoveListCursor(output, -1);
        break;
    case 260:
        MoveListCursor(output, 1);
        break;
    default:
        break;
    }
}

void RemoteDispatcher::PlayNextItem(int output, int sourceKey)
{
    if (state_.OutputState[static_cast<std::size_t>(output)] > 0 && state_.ListWhilePlay == ListWhilePlayRefused) {
        return;
    }
    targets_.Pon(output, 0, 0, 0, 0);
    if (sourceKey >= 0 && sourceKey < MainState::Outputs) {
        state_.SourceOutput[static_cast<std::size_t>(sourceKey)] = output;
    }
}

void RemoteDispatcher::PlayButtonCode(int output, int code, int sourceKey)
{
    const auto o = static_cast<std::size_t>(output);
    if (code > state_.ButtonsPerPage[o]) {
        return;
    }
    if (state_.BlankToStop == 0) {
        const auto index = static_cast<std::size_t>(ButtonTableIndex(output, state_.CurrentPage[o], code - 1));
        if (index >= state_.ButtonTable.size() || state_.ButtonTable[index].FileName.empty()) {
            return;
        }
    }
    targets_.Pon(output, code - 1, 0, 0, 0);
    if (sourceKey >= 0 && sourceKey < MainState::Outputs) {
        state_.SourceOutput[static_cast<std::size_t>(sourceKey)] = output;
    }
}

void RemoteDispatcher::StepPage(int output, int step)
{
    const int last = state_.PageNum - 1;
    int page = state_.CurrentPage[static_cast<std::size_t>(output)] + step;
    if (page > last) {
        page = 0;
    } else if (page < 0) {
        page = last;
    }
    targets_.ChangePage(output, page, 0);
}

void RemoteDispatcher::Release(int output, int sourceKey)
{
    if (sourceKey >= 0 && sourceKey < MainState::Outputs) {
        output = state_.SourceOutput[static_cast<std::size_t>(sourceKey)];
        // The source's output may be gone since a re-apply shrank NumOut.
        if (output < 0 || output >= state_.NumOut) {
            return;
        }
    }
    const auto o = static_cast<std::size_t>(output);
    if (state_.PlayingMode[o] != 1 || IsListOutput(output) || state_.STBYActive[o] != 0) {
        return;
    }
    if (state_.OutputState[o] == 0) {
        // Released before the start happened: the tick stops it once it plays.
        state_.StopWhenStarted[o] = 1;
    } else {
        targets_.StopOutput(output);
    }
}

void RemoteDispatcher::MoveListCursor(int output, int step)
{
    if (!IsListOutput(output)) {
        return;
    }
    const int count = targets_.ListItemCount(output);
    if (count < 1) {
        return;
    }
    int row = targets_.ListSelectedItem(output);
    bool move = true;
    if (row < 0) {
        row = state_.ListItem[static_cast<std::size_t>(output)];
        if (row < 1) {
            row = 0;
            move = false;
        }
    }
    if (move) {
        row += step;
        if (row < 0) {
            row = state_.LoopListCursor != 0 ? count - 1 : 0;
        } else if (row >= count) {
            row = state_.LoopListCursor != 0 ? 0 : count - 1;
        }
    }
    targets_.ListSelectAndClick(output, row);
}

void RemoteDispatcher::ContactInput(int number)
{
    if (number >= 1 && number <= 4) {
        const int output = number - 1;
        if (targets_.TimerArmed(output)) {
            return;
        }
        if (startDelayMs_ < 1) {
            ExecRemoteCommand(output, CodePlay, -1);
        } else {
            // A second closure during the delay starts the delay again.
            delayedStart_[static_cast<std::size_t>(output)] = startDelayMs_;
        }
    } else if (number >= 5 && number <= 8) {
        const int output = number - 5;
        if (!targets_.TimerArmed(output)) {
            ExecRemoteCommand(output, CodeStop, -1);
        }
    }
}

void RemoteDispatcher::TickDelayedStarts()
{
    for (int output = 0; output < MainState::Outputs; ++output) {
        std::int32_t& remaining = delayedStart_[static_cast<std::size_t>(output)];
        if (remaining > 0) {
            remaining -= parms::TimerInt > 0 ? parms::TimerInt : 1;
            if (remaining < 1) {
                remaining = 0;
                ExecRemoteCommand(output, CodePlay, -1);
            }
        }
    }
}
