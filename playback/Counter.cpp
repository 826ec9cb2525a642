#include "playback/Counter.h"

#include "foundation/Durations.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

#include <cmath>

namespace {

std::string Duration(std::int64_t ms)
{
    return basic::FormatDuration(static_cast<std::int32_t>(std::clamp<std::int64_t>(ms, INT32_MIN, INT32_MAX)), 1, 0);
}

} // namespace

void Counter::UpdateCounter(int slot, int fromBar)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (!playback::ValidSlot(state, slot)) {
        return;
    }
    const auto s = playback::At(slot);
    controls::UC_TextPicture* counter = window.PicCounter.At(slot);
    controls::UC_Bar* bar = window.ProgBar.At(slot);
    const std::int64_t span = state.SpanMS[s];
    if (state.CounterTitle[s] == 1 && counter != nullptr) {
        counter->DispMes(0, state.PlayerTitle[s], 1);
        counter->DispMes(1, "Total/" + Duration(span), 0);
    }
    std::int64_t elapsed = 0;
    std::int64_t remaining = 0;
    if (fromBar == 1) {
        const double value = bar != nullptr ? bar->Value() : 0;
        elapsed = static_cast<std::int64_t>(std::trunc(value / 1000.0 * static_cast<double>(span)));
        remaining = static_cast<std::int64_t>(std::trunc((1000.0 - value) / 1000.0 * static_cast<double>(span)));
    } else {
        std::int64_t position = state.PlayerAt(slot).Position();
        elapsed = position - state.FromMS[s];
        position = std::max<std::int64_t>(position, state.FromMS[s]);
        remaining = state.ToMS[s] - position;
    }
    // The blank stands where the remaining time has its minus sign.
    std::string elapsedText(1, ' ');
    elapsedText += Duration(elapsed);
    std::string remainingText(1, '-');
    remainingText += Duration(remaining);
    const bool showElapsed = s >= state.DispLap.size() || state.DispLap[s] != 0;
    const std::string line = showElapsed ? elapsedText : remainingText;
    const std::string onBar = showElapsed ? remainingText : elapsedText.substr(1);
    if (counter != nullptr) {
        counter->DispMes(2, line, 0);
    }
    if (parms::DispBarTime != 0 && bar != nullptr) {
        bar->SetTextToDisp(onBar);
    }
}
