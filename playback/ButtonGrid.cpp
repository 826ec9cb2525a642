#include "playback/ButtonGrid.h"

#include "audio/WaveHeader.h"
#include "foundation/Durations.h"
#include "foundation/FileAccess.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "mainwindow/FrmMain.h"
#include "platform/InputCodes.h"
#include "platform/MessageBox.h"
#include "platform/base/Numbers.h"
#include "playback/AssignChecks.h"
#include "playback/ButtonGridMouse.h"
#include "playback/CacheNames.h"
#include "playback/DragMoves.h"
#include "playback/ModeMark.h"
#include "playback/PlaybackControl.h"
#include "playback/PreRead.h"
#include "playback/SlotIndexes.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

constexpr platform::Color White = 0xFFFFFF;
constexpr int WaveOutPlayer = 3;

// DirectSound takes tag PCM only; waveOut also an extensible wave whose
// samples are PCM.
bool PcmBackEndPlays(const WaveInfoRecord& info)
{
    if (info.Valid != 1) {
        return false;
    }
    return parms::PlayerType == WaveOutPlayer ? WaveMMIO::IsPcmWave(info) : info.FormatTag == 1;
}

} // namespace

FrmMain& ButtonGrid::Window()
{
    return control_.Window();
}

AssignRecord& ButtonGrid::Record(int output, int page, int button)
{
    return Window().State.ButtonTable[playback::At(ButtonTableIndex(output, page, button))];
}

bool ButtonGrid::ShownPage(int output, int page)
{
    return Window().State.CurrentPage[playback::At(output)] == page;
}

void ButtonGrid::TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType)
{
    MainState& state = Window().State;
    if (state.Running == 0 || state.ButtonsPerOutput <= 0 || index < 0) {
        return;
    }
    const int output = index / state.ButtonsPerOutput;
    const int button = index % state.ButtonsPerOutput;
    if (!playback::ValidOutput(state, output) || button >= AssignButtons) {
        return;
    }
    const auto o = playback::At(output);
    const int page = state.CurrentPage[o];
    if (page < 0 || page >= AssignPages) {
        return;
    }
    const AssignRecord& record = Record(output, page, button);
    playback::ButtonMouseInputs in;
    in.mouseButton = buttonIndex;
    in.isDown = isDown;
    in.area = buttonType;
    in.switchLR = state.SwitchLR;
    in.pressToPlay = state.PressToPlay;
    in.playerType = parms::PlayerType;
    in.standbyActive = state.STBYActive[o];
    in.blankToStop = state.BlankToStop;
    in.assigned = !record.FileName.empty();
    in.playMode = record.PlayMode;
    in.playingMode = state.PlayingMode[o];
    in.outputState = state.OutputState[o];
    const playback::ButtonMouseDecision decision = playback::DecideButtonMouse(in);
    if (decision.disarmTimer) {
        control_.DisarmTimer(output);
    }
    switch (decision.action) {
    case playback::ButtonMouseAction::Play:
        control_.Pon(output, button, 0, 0, 0);
        break;
    case playback::ButtonMouseAction::Stop:
        control_.StopOutput(output);
        break;
    case playback::ButtonMouseAction::StopWhenStarted:
        state.StopWhenStarted[o] = 1;
        break;
    case playback::ButtonMouseAction::Menu:
        if (MonitorVisible && MonitorVisible()) {
            return;
        }
        state.RCButtonIndex = index;
        parms::MonitorExchange.MonitorOutput = output;
        if (RememberRightClick) {
            RememberRightClick(index);
        }
        if (state.UseButtonRCMenu != 0) {
            Window().CheckButtonModeItems(record.PlayMode);
            state.PendingButtonMenu = 1;
        } else if (MonSound) {
            MonSound(0);
        }
        break;
    case playback::ButtonMouseAction::Nothing:
        break;
    }
}

void ButtonGrid::TolvButton_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects, int shift)
{
    MainState& state = Window().State;
    drag_ = DragSourceState{};
    data.Clear();
    allowedEffects = platform::DropEffectNone;
    if (state.ButtonsPerOutput <= 0 || index < 0) {
        return;
    }
    const int output = index / state.ButtonsPerOutput;
    const int button = index % state.ButtonsPerOutput;
    if (!playback::ValidOutput(state, output) || button >= AssignButtons) {
        return;
    }
    const int page = state.CurrentPage[playback::At(output)];
    const AssignRecord& record = Record(output, page, button);
    if (record.FileName.empty() || basic::FileExists(record.FileName) == 0) {
        return;
    }
    allowedEffects = platform::DropEffectCopy;
    data.SetFormat(platform::FormatFiles);
    data.AddFile(record.FileName);
    drag_.active = true;
    // Ctrl copies; no key or Shift moves the sound.
    drag_.move = shift == 0 || shift == platform::ShiftMask;
    drag_.output = output;
    drag_.page = page;
    drag_.button = button;
    drag_.path = record.FileName;
    playback::dragmoves::Begin();
}

void ButtonGrid::TolvButton_OLECompleteDrag(int, int effect)
{
    const DragSourceState source = drag_;
    drag_ = DragSourceState{};
    const std::optional<std::vector<bool>> takenHere = playback::dragmoves::End(1);
    if (!source.active || !source.move) {
        return;
    }
    // A drag that ended nowhere, or on a button or list of this program that
    // refused the sound, keeps the source as it was.
    const bool taken = takenHere.has_value() ? takenHere->front() : effect != platform::DropEffectNone;
    if (!taken || Record(source.output, source.page, source.button).FileName != source.path) {
        return;
    }
    ClearButton(source.output, source.page, source.button);
    MainState& state = Window().State;
    if (state.STBYActive[playback::At(source.output)] != 0) {
        Window().Ports.Remote->SendRemoteListStatus(source.output, 0);
    }
}

void ButtonGrid::TolvButton_OLEDragOver(int)
{
    if (Window().State.Running != 0 && BringToFront) {
        BringToFront();
    }
}

void ButtonGrid::TolvButton_OLEDropped(int index, platform::DragData& data)
{
    // A button of this program answers every drop: what it does not take
    // stays with the drag's source.
    playback::dragmoves::Answered();
    MainState& state = Window().State;
    if (state.Running == 0 || data.Files().empty() || state.ButtonsPerOutput <= 0 || index < 0) {
        return;
    }
    const int output = index / state.ButtonsPerOutput;
    const int button = index % state.ButtonsPerOutput;
    if (!playback::ValidOutput(state, output)) {
        return;
    }
    const int page = state.CurrentPage[playback::At(output)];
    // Dropped back onto itself: nothing moves.
    if (drag_.active && output == drag_.output && page == drag_.page && button == drag_.button) {
        return;
    }
    // Only the first file goes to the button; the others stay where they were.
    if (AssignButtonFile(index, data.Files().front())) {
        playback::dragmoves::Took(0);
    }
}

bool ButtonGrid::AssignButtonFile(int index, std::string_view path)
{
    MainState& state = Window().State;
    if (state.ButtonsPerOutput <= 0 || index < 0) {
        return false;
    }
    const int output = index / state.ButtonsPerOutput;
    if (!playback::ValidOutput(state, output)) {
        return false;
    }
    return AssignButtonOnPage(output, state.CurrentPage[playback::At(output)], index % state.ButtonsPerOutput, path);
}

std::string ButtonGrid::TitleOf(int output, const std::string& path, int& tipColour)
{
    tipColour = -1;
    std::string title = basic::GetPathPart(path, 0, 0, 1, 0, 0, 0);
    if (parms::DispTip[playback::At(output)] == 0 || Window().Ports.Cache == nullptr) {
        return title;
    }
    std::vector<std::string> texts;
    if (Window().Ports.Cache->GetTipInfo(path, texts, 1) == 1 && !texts.empty()) {
        if (texts.size() > 1) {
            title += texts.front();
            if (const auto colour = numeric::ParseLong(texts.back())) {
                tipColour = *colour;
            }
        }
    }
    return title;
}

bool ButtonGrid::AssignButtonOnPage(int output, int page, int button, std::string_view path)
{
    FrmMain& window = Window();
    MainState& state = window.State;
    if (path.empty() || !playback::ValidOutput(state, output) || page < 0 || page >= AssignPages || button < 0 ||
        button >= AssignButtons) {
        return false;
    }
    std::int32_t refused = 0;
    playback::CheckNameIsText(state, path, refused, &window);
    if (refused != 0) {
        return false;
    }
    const auto o = playback::At(output);
    std::string assignPath(path);
    std::string localName;
    if (std::string server = playback::GetServerFilename(path); !server.empty()) {
        localName = assignPath;
        assignPath = server;
    } else {
        localName = playback::GetLocalFilename(path);
        if (localName.empty() || basic::FileExists(localName) == 0) {
            localName = assignPath;
        }
    }
    playback::CheckDuplicateTitle(state, assignPath, refused, &window);
    if (refused != 0) {
        return false;
    }
    std::int32_t allowed = 1;
    playback::CheckSoundPath(state, assignPath, 1, allowed, &window);
    if (allowed == 0) {
        return false;
    }
    control_.DisarmTimer(output);
    WaveInfoRecord info;
    int invalid = 0;
    if (parms::PlayerType == 0 || parms::PlayerType == WaveOutPlayer) {
        info = WaveMMIO::ReadWaveHeader(localName, 0);
        if (info.Valid == 1 && state.CheckWavFmt != 0 &&
            (info.SampleRate != state.SozaiFreq || info.FormatCode != state.SozaiMode)) {
            basic::ShowMessage(basic::LangText("wav形式が違います", "Invalid Wav."), platform::IconStop, "", &window);
            return false;
        }
        // These back-ends play PCM samples only: a readable A-law or mu-law
        // wave is marked at once, not refused with a log line when pressed.
        invalid = PcmBackEndPlays(info) ? 0 : 1;
    } else {
        invalid = basic::FileExists(localName) != 0 ? 0 : 1;
    }
    AssignRecord& record = Record(output, page, button);
    record.FileName = assignPath;
    record.Invalid = invalid;
    record.LengthMS = 0;
    record.PlayMode = state.DefaultButtonOption;
    record.Cached = 0;
    if (window.Ports.Cache != nullptr && !window.Ports.Cache->IsCached(assignPath, 0).empty()) {
        record.Cached = 1;
    }
    record.StartMS = 0;
    int tipColour = -1;
    const std::string title = TitleOf(output, assignPath, tipColour);
    std::int32_t length = 0;
    playback::ReadCueMarkers(localName, info, length);
    record.LengthMS = length;

    const int index = output * state.ButtonsPerOutput + button;
    if (ShownPage(output, page)) {
        if (controls::UC_TolvButton* control = window.TolvButton.At(index); control != nullptr) {
            if (state.DispButtonTime != 0) {
                control->SetText(4, basic::FormatDuration(record.LengthMS, 1, 0));
                control->SetText(5, "");
            }
            if (parms::ApplyTipColor != 0 && tipColour >= 0) {
                control->SetNormalColor(static_cast<platform::Color>(tipColour));
            }
            control->SetText(0, title);
            control->SetText(3, playback::ModeMark(record.PlayMode));
            control->SetAlert(invalid);
            control->Draw(0);
        }
        control_.SetButtonState(0, index, 0);
    }
    DropCueOf(output, page, button, false);
    if (state.STBYActive[o] != 0) {
        window.Ports.Remote->SendRemoteListStatus(output, 0);
    }
    if (state.CacheAtDrop[o] == 1 && state.SomethingPlays == 0 && record.Cached == 1 && window.Ports.Cache != nullptr) {
        window.Ports.Cache->CacheFile(assignPath, 1);
    }
    if (state.CheckCacheLite == 0 && window.Ports.Cache != nullptr) {
        window.Ports.Cache->CacheAll(1);
    }
    if (state.AssignSTBY != 0) {
        control_.RefreshButtons(output, 0);
    }
    return true;
}

void ButtonGrid::DropCueOf(int output, int page, int button, bool disarm)
{
    MainState& state = Window().State;
    const auto o = playback::At(output);
    if (state.STBYActive[o] != 0 && state.StandbySet[o] != 0 && state.StandbyPage[o] == page &&
        state.StandbyButton[o] == button) {
        state.StandbySet[o] = 0;
        if (disarm) {
            control_.DisarmTimer(output);
        }
    }
}

void ButtonGrid::ClearButton(int output, int page, int button)
{
    MainState& state = Window().State;
    if (!playback::ValidOutput(state, output) || page < 0 || page >= AssignPages || button < 0 ||
        button >= AssignButtons) {
        return;
    }
    AssignRecord& record = Record(output, page, button);
    record.FileName.clear();
    record.Invalid = 1;
    record.Cached = 0;
    record.StartMS = 0;
    record.PlayMode = state.DefaultButtonOption;
    if (ShownPage(output, page)) {
        const int index = output * state.ButtonsPerOutput + button;
        if (controls::UC_TolvButton* control = Window().TolvButton.At(index); control != nullptr) {
            for (const int slot : {0, 3, 4, 5}) {
                control->SetText(slot, "");
            }
            control->SetAlert(0);
            control->Draw(0);
        }
        control_.SetButtonState(0, index, 0);
    }
    DropCueOf(output, page, button, true);
}

void ButtonGrid::ApplyColours(int output, int page, int button)
{
    MainState& state = Window().State;
    if (!ShownPage(output, page)) {
        return;
    }
    const AssignRecord& record = Record(output, page, button);
    controls::UC_TolvButton* control = Window().TolvButton.At(output * state.ButtonsPerOutput + button);
    if (control == nullptr) {
        return;
    }
    if (record.TextColor != 0 || record.BackColor != 0) {
        control->SetNormalColor(static_cast<platform::Color>(record.TextColor));
        control->SetBGColor(static_cast<platform::Color>(record.BackColor));
    } else {
        control->SetNormalColor(White);
        control->SetBGColor(0);
    }
}

void ButtonGrid::DrawButton(int output, int page, int button, int readCue)
{
    FrmMain& window = Window();
    MainState& state = window.State;
    AssignRecord& record = Record(output, page, button);
    const int index = output * state.ButtonsPerOutput + button;
    controls::UC_TolvButton* control = window.TolvButton.At(index);
    if (!record.FileName.empty()) {
        if (readCue != 0) {
            playback::ReadItemCue(state, record);
        }
        if (control != nullptr) {
            const bool defaultPair = record.TextColor == 0 && record.BackColor == 0;
            control->SetNormalColor(defaultPair ? White : static_cast<platform::Color>(record.TextColor));
            control->SetBGColor(defaultPair ? 0 : static_cast<platform::Color>(record.BackColor));
            control->SetAlert(record.Invalid);
            int tipColour = -1;
            control->SetText(0, TitleOf(output, record.FileName, tipColour));
            if (parms::ApplyTipColor != 0 && tipColour >= 0 && record.TextColor == 0) {
                control->SetNormalColor(static_cast<platform::Color>(tipColour));
            }
            if (state.DispButtonTime != 0) {
                control->SetText(4, basic::FormatDuration(record.LengthMS, 1, 0));
                control->SetText(5, record.StartMS != 0 ? basic::FormatDuration(record.StartMS, 1, 0) : "");
            }
        }
    } else if (control != nullptr) {
        for (const int slot : {0, 3, 4, 5}) {
            control->SetText(slot, "");
        }
        control->SetAlert(0);
        control->SetNormalColor(White);
        control->SetBGColor(0);
    }
    if (control == nullptr) {
        return;
    }
    if (state.SerialButtonNum == 1 && state.KeyTarget != output) {
        control->SetText(2, "[" + std::to_string(state.ButtonsPerPage[playback::At(output)] * page + button + 1) + "]");
    }
    control->SetText(3, playback::ModeMark(record.PlayMode));
    control->Draw(0);
}
