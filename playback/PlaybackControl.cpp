#include "playback/PlaybackControl.h"

#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "platform/base/Hooks.h"
#include "playback/SlotIndexes.h"

#include <string>

namespace {

void NotAvailable(std::string_view what)
{
    basic::WriteLog(std::string(what) + ": not available in this build", 0, 0);
}

} // namespace

PlaybackControl::PlaybackControl(FrmMain& window) : window_(window)
{
    platform::SetRefillHook([this] { RefillPlayers(); });
    Hooks.CheckTimer = [this] { Timers.CheckTimer(); };
    Hooks.ProcessFade = [this](int output) { Fading.ProcessFade(output); };
    Hooks.DrawStatusBar = [this] { Status.DrawStatusBar(); };
    Hooks.AddObservation = [this](std::string_view text) { Observation.AddObservation(text); };
}

MainState& PlaybackControl::StateOf(FrmMain& window)
{
    return window.State;
}

PlaybackControl::~PlaybackControl()
{
    platform::SetRefillHook(nullptr);
}

void PlaybackControl::RefillPlayers()
{
    MainState& state = window_.State;
    if (parms::UseSamplePos != 1) {
        return;
    }
    const int count = std::min(state.PlayerCount, static_cast<int>(state.Players.size()));
    for (int slot = 0; slot < count; ++slot) {
        const int output = playback::OutputOfSlot(state, slot);
        if (output < MainState::Outputs && state.PonBusy[playback::At(output)] == 0) {
            state.PlayerAt(slot).ProgressionPlay();
        }
    }
}

bool PlaybackControl::Observing() const
{
    return window_.State.ShowObservation == 1 && Hooks.AddObservation;
}

void PlaybackControl::Observe(std::string_view text)
{
    if (Observing()) {
        Hooks.AddObservation(text);
    }
}

void PlaybackControl::ChangePage(int output, int page, int all)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->ChangePage(output, page, all);
    } else {
        NotAvailable("Changing pages");
    }
}

void PlaybackControl::ShowPageTitle(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->ShowPageTitle(output);
    } else {
        NotAvailable("ShowPageTitle");
    }
}

void PlaybackControl::DrawKeyAssign()
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->DrawKeyAssign();
    } else {
        NotAvailable("DrawKeyAssign");
    }
}

void PlaybackControl::NewAssign()
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->NewAssign();
    } else {
        NotAvailable("Clearing every assignment");
    }
}

void PlaybackControl::TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType)
{
    if (OtherEvents != nullptr) {
        OtherEvents->TolvButton_MouseUD(index, buttonIndex, isDown, buttonType);
    } else {
        NotAvailable("TolvButton_MouseUD");
    }
}

void PlaybackControl::TolvButton_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects, int shift)
{
    if (OtherEvents != nullptr) {
        OtherEvents->TolvButton_OLEStartDrag(index, data, allowedEffects, shift);
    } else {
        data.Clear();
        allowedEffects = platform::DropEffectNone;
        NotAvailable("TolvButton_OLEStartDrag");
    }
}

void PlaybackControl::TolvButton_OLECompleteDrag(int index, int effect)
{
    if (OtherEvents != nullptr) {
        OtherEvents->TolvButton_OLECompleteDrag(index, effect);
    } else {
        NotAvailable("TolvButton_OLECompleteDrag");
    }
}

void PlaybackControl::TolvButton_OLEDragOver(int index)
{
    if (OtherEvents != nullptr) {
        OtherEvents->TolvButton_OLEDragOver(index);
    } else {
        NotAvailable("TolvButton_OLEDragOver");
    }
}

void PlaybackControl::TolvButton_OLEDropped(int index, platform::DragData& data)
{
    if (OtherEvents != nullptr) {
        OtherEvents->TolvButton_OLEDropped(index, data);
    } else {
        NotAvailable("TolvButton_OLEDropped");
    }
}

void PlaybackControl::LV_RightClicked(int index, float x, float y)
{
    if (OtherEvents != nullptr) {
        OtherEvents->LV_RightClicked(index, x, y);
    } else {
        NotAvailable("LV_RightClicked");
    }
}

void PlaybackControl::PageButtons_RightClicked(int index, int clickedIndex)
{
    if (OtherEvents != nullptr) {
        OtherEvents->PageButtons_RightClicked(index, clickedIndex);
    } else {
        NotAvailable("PageButtons_RightClicked");
    }
}

void PlaybackControl::PageButtons_ButtonClicked(int index, int clickedIndex)
{
    if (OtherEvents != nullptr) {
        OtherEvents->PageButtons_ButtonClicked(index, clickedIndex);
    } else {
        NotAvailable("PageButtons_ButtonClicked");
    }
}

void PlaybackControl::TextPage_MouseUD(int index, int button, bool isDown, int pIndex)
{
    if (OtherEvents != nullptr) {
        OtherEvents->TextPage_MouseUD(index, button, isDown, pIndex);
    } else {
        NotAvailable("TextPage_MouseUD");
    }
}

void PlaybackControl::CtrlButton_ButtonClicked(int index, int clickedIndex)
{
    if (OtherEvents != nullptr) {
        OtherEvents->CtrlButton_ButtonClicked(index, clickedIndex);
    } else {
        NotAvailable("CtrlButton_ButtonClicked");
    }
}
