#include "playback/Fades.h"

#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "mainwindow/MainState.h"
#include "platform/base/Numbers.h"

#include <algorithm>

namespace {

constexpr int ShortestTick = 15;
constexpr std::int32_t Playing = 3;

// MaxAtt spread over time ms in steps of tick ms; at least one per tick, so
// that a fade of any length reaches its end.
std::int32_t StepOver(std::int32_t maxAtt, std::int32_t time, int tick)
{
    if (time <= 0) {
        return maxAtt;
    }
    const double step = static_cast<double>(maxAtt) / static_cast<double>(time) * tick;
    return static_cast<std::int32_t>(std::max<std::int64_t>(1, numeric::RoundToInt64(step)));
}

std::size_t At(int index)
{
    return static_cast<std::size_t>(index);
}

} // namespace

std::array<std::int32_t, 3> Fades::ComputeFadeParm(std::int32_t timerInt, std::int32_t maxAtt, std::int32_t fiTime,
                                                   std::int32_t foTime, std::int32_t fiOffset)
{
    const int tick = std::max<int>(timerInt, ShortestTick);
    std::array<std::int32_t, 3> parm{};
    parm[0] = StepOver(maxAtt, fiTime, tick);
    parm[1] = StepOver(maxAtt, foTime, tick);
    parm[2] = fiOffset > 0
                  ? static_cast<std::int32_t>(numeric::RoundToInt64(static_cast<double>(fiOffset) / tick))
                  : 0;
    return parm;
}

void Fades::SetFadeParm()
{
    state_.FadeParm = ComputeFadeParm(parms::TimerInt, parms::MaxAtt, parms::FITime, parms::FOTime, parms::FIOffset);
}

int Fades::SlotOf(int output, int player) const
{
    return output * std::max(1, state_.PlayersPerOutput) + player;
}

int Fades::CurrentSlot(int output) const
{
    // With one player per output CurrentPlayer names the output's own slot.
    if (state_.PlayersPerOutput <= 1) {
        return output;
    }
    return SlotOf(output, state_.CurrentPlayer[At(output)]);
}

bool Fades::HasSlot(int slot) const
{
    return slot >= 0 && slot < state_.PlayerCount && At(slot) < state_.StopRequested.size() &&
           At(slot) < state_.SpanMS.size();
}

void Fades::StartDelayed(int output, bool fullLevel)
{
    const int slot = CurrentSlot(output);
    if (!HasSlot(slot) || state_.StopRequested[At(slot)] != 0) {
        return;
    }
    if (fullLevel) {
        SetFullLevel(slot);
    }
    Player& player = state_.PlayerAt(slot);
    if (player.Play() == 0) {
        state_.SpanMS[At(slot)] = -1;
        basic::WriteLog("PonFail2 " + player.FileName(), 0, 0);
    }
}

void Fades::SetFullLevel(int slot)
{
    faders_.SetLevel(slot, 0);
    state_.PlayerAt(slot).SetAttenuation(0);
}

void Fades::ProcessFade(int output)
{
    if (output < 0 || output >= state_.NumOut || output >= MainState::Outputs) {
        return;
    }
    const auto o = At(output);
    const std::int32_t maxAtt = parms::MaxAtt;
    if (state_.FadeInDelay[o] > 0) {
        if (state_.FadeInDelay[o] == 1) {
            StartDelayed(output, state_.FadeParm[0] == maxAtt);
        }
        --state_.FadeInDelay[o];
    }
    const int current = CurrentSlot(output);
    const int players = std::max(1, state_.PlayersPerOutput);
    for (int k = 0; k < players; ++k) {
        const int slot = SlotOf(output, k);
        if (!HasSlot(slot)) {
            break;
        }
        StepPlayer(output, slot, slot == current);
    }
}

void Fades::StepPlayer(int output, int slot, bool current)
{
    const std::int32_t maxAtt = parms::MaxAtt;
    Player& player = state_.PlayerAt(slot);
    std::int32_t level = faders_.Level(slot);
    if (player.mode() != Playing) {
        // An idle player waits silent for its next fade-in.
        if (level != -maxAtt) {
            faders_.SetLevel(slot, -maxAtt);
            player.SetAttenuation(-maxAtt);
        }
        return;
    }
    if (!current) {
        if (level > -maxAtt) {
            level = std::max(level - state_.FadeParm[1], -maxAtt);
            faders_.SetLevel(slot, level);
        } else {
            player.StopIO();
            state_.StopRequested[At(slot)] = 1;
        }
    } else if (state_.FadeInDelay[At(output)] <= 0) {
        const std::int32_t top = faders_.Top(slot);
        if (level < top) {
            level = std::min(level + state_.FadeParm[0], top);
            faders_.SetLevel(slot, level);
        }
    }
    player.SetAttenuation(level);
}

std::int32_t Fades::ToggleFade(int output)
{
    if (output < 0 || output >= MainState::Outputs) {
        return 0;
    }
    const auto o = At(output);
    state_.FadeOn[o] = state_.FadeOn[o] != 0 ? 0 : 1;
    if (state_.FadeOn[o] == 0 && state_.FadeInDelay[o] > 0) {
        // Without fade mode nothing would count the delay down any more.
        state_.FadeInDelay[o] = 0;
        if (output < state_.NumOut) {
            StartDelayed(output, true);
        }
    }
    return state_.FadeOn[o];
}
