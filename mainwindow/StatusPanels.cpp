#include "mainwindow/StatusPanels.h"

#include "foundation/Parms.h"
#include "mainwindow/CaptionFit.h"
#include "mainwindow/CharacterWidth.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/OutputStripSetup.h"
#include "mainwindow/PanelLook.h"
#include "mainwindow/SettingReaders.h"
#include "mainwindow/StripColours.h"
#include "mainwindow/TwipsPlacement.h"
#include "platform/Surface.h"
#include "platform/TwipsGeometry.h"

#include <algorithm>
#include <vector>

namespace StatusPanels {

namespace {

using StripGeometry::PanelKind;

std::string OutputKey(const char* key, int output)
{
    return std::string(key) + std::to_string(output + 1);
}

platform::ControlArray<controls::UC_TextPicture>& PanelArray(FrmMain& window, PanelKind kind)
{
    switch (kind) {
    case PanelKind::OnAir: return window.TextAir;
    case PanelKind::Key: return window.TextKey;
    case PanelKind::Fade: return window.TextFade;
    case PanelKind::Standby: return window.TextSTBY;
    case PanelKind::Timer: return window.TextTimer;
    default: return window.TextShell;
    }
}

// What a panel may show: its caption, or for the timer each kind of label
// playback writes ("Timer", a set time for a start or an end).
std::vector<std::string> PanelTexts(PanelKind kind, const std::string& caption)
{
    if (kind == PanelKind::Timer) {
        return {"Timer", "00:00:00s", "88:88:88e"};
    }
    return {caption};
}

void SetUpPanel(controls::UC_TextPicture& panel, PanelKind kind, const std::string& caption,
                const StripGeometry::StatusStripBox& strip, int count, const StripGeometry::Scale& scale)
{
    TwipsPlacement::SetTop(panel, strip.PanelTop[static_cast<std::size_t>(kind)]);
    TwipsPlacement::SetSize(panel, strip.Width, strip.PanelHeight);
    panel.ResetMe();
    panel.SetDesignType(1);
    const StripGeometry::PanelFont font =
        StripGeometry::StatusPanelFont(kind, CharacterWidth::HasWidthForms(caption), count, strip.PanelHeight, scale);
    const std::string face = font.Impact ? "Impact" : "";
    // Measured with the face this system really draws: where "Impact" comes
    // from a wider or taller substitute, its size alone would cut "ON AIR" to
    // "ON AI" or the foot off "STBY".
    const CaptionFit::Fit fit =
        CaptionFit::Fitting(font.Size, PanelTexts(kind, caption), face,
                            controls::UC_TextPicture::CentredTextRoom(platform::WidthTwips(panel), 1, 0),
                            strip.PanelHeight, PanelLook::FrameLines);
    panel.AddTextSpace(fit.Size, false, false, face, -1, -1);
    panel.SetTextTop(0, static_cast<int>(fit.Top));
    const StripColours::PanelColours unlit = StripColours::UnlitPanel(kind, parms::HiColor);
    panel.AddColorSet(unlit.Text, unlit.Back1, unlit.Back2, 0);
    if (const auto lit = StripColours::LitPanel(kind, parms::HiColor, StripColours::HueOf(parms::StateColor[2]))) {
        panel.AddColorSet(lit->Text, lit->Back1, lit->Back2, 0);
    }
    panel.SetColor(0, 0);
    panel.Init(PanelLook::FrameLines, 0);
    if (kind != PanelKind::Timer) {
        panel.DispMes(0, caption, 0);
    }
    panel.setVisible(true);
}

} // namespace

int Switches::Count() const
{
    return static_cast<int>(std::count(Shown.begin(), Shown.end(), true));
}

Switches ReadSwitches(int output, std::int32_t singlePlayer, std::int32_t useVol, std::int32_t isList)
{
    Switches switches;
    const auto on = [output](const char* key) { return MainSettings::Long(OutputKey(key, output)) == 1; };
    switches.Shown[PanelKind::OnAir] = on("DispONAIR_");
    switches.Shown[PanelKind::Key] = on("DispKEY_");
    switches.Shown[PanelKind::Fade] = on("DispFADE_") && singlePlayer != 1 && useVol == 1;
    switches.Shown[PanelKind::Standby] = on("DispSTBY_") && isList == 0;
    switches.Shown[PanelKind::Timer] = on("DispTimer_");
    switches.ShellName = MainSettings::Text(OutputKey("ShellName_", output));
    switches.Shown[PanelKind::Shell] = !switches.ShellName.empty();
    return switches;
}

std::string Caption(PanelKind kind, const std::string& shellName)
{
    switch (kind) {
    case PanelKind::OnAir: return "ON AIR";
    case PanelKind::Key: return "KEY";
    case PanelKind::Fade: return "FADE";
    case PanelKind::Standby: return "STBY";
    case PanelKind::Shell: return shellName;
    default: return "";
    }
}

void Build(FrmMain& window, int displayOnly)
{
    MainState& state = window.State;
    const StripGeometry::Scale scale = OutputStrips::ScaleOf(state);
    const double pageFrameHeight = platform::HeightTwips(*window.PicturePage(0));
    for (int output = 0; output < MainState::Outputs; ++output) {
        const auto o = static_cast<std::size_t>(output);
        const Switches switches = ReadSwitches(output, parms::SinglePlayer, state.UseVol, parms::IsList[o]);
        state.DispONAIR[o] = switches.Shown[PanelKind::OnAir] ? 1 : 0;
        state.DispKEY[o] = switches.Shown[PanelKind::Key] ? 1 : 0;
        state.DispFADE[o] = switches.Shown[PanelKind::Fade] ? 1 : 0;
        state.DispSTBY[o] = switches.Shown[PanelKind::Standby] ? 1 : 0;
        parms::StartTimer[o].TimerEnabled = switches.Shown[PanelKind::Timer] ? 1 : 0;
        state.IndicatorCount[o] = switches.Count();
        if (output >= state.NumOut) {
            continue;
        }

        if (displayOnly == 0 && output > 0) {
            TwipsPlacement::LoadInto(window.PictureLEDs, output, *window.PictureAll, true);
        }
        PicturePanel* strip = window.PictureLEDs(output);
        if (strip == nullptr) {
            continue;
        }
        const StripGeometry::StatusStripBox box = StripGeometry::StatusStrip(scale, pageFrameHeight, switches.Shown);
        TwipsPlacement::SetSize(*strip, box.Width, box.Height);
        if (switches.Count() == 0) {
            strip->setVisible(false);
            continue;
        }
        strip->setVisible(true);
        TwipsPlacement::Cls(*strip);
        strip->Picture().SetBackColor(window.Picture().BackColor());
        strip->update();
        for (int k = 0; k < StripGeometry::PanelKinds; ++k) {
            const auto kind = static_cast<PanelKind>(k);
            auto& panels = PanelArray(window, kind);
            if (!switches.Shown[static_cast<std::size_t>(k)]) {
                if (output == 0 && panels.At(0) != nullptr) {
                    panels.At(0)->setVisible(false);
                }
                continue;
            }
            if (displayOnly == 0 && output > 0) {
                TwipsPlacement::LoadInto(panels, output, *strip, false);
            }
            if (controls::UC_TextPicture* panel = panels.At(output)) {
                SetUpPanel(*panel, kind, Caption(kind, switches.ShellName), box, switches.Count(), scale);
            }
        }
    }
}

} // namespace StatusPanels
