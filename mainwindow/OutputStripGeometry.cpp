#include "mainwindow/OutputStripGeometry.h"

#include "platform/base/Numbers.h"

#include <algorithm>

namespace StripGeometry {

namespace {

// Design lengths in twips at SizeFactor 1.
constexpr double TitleHeight = 390;
constexpr double PageButtonsHeight = 465;
constexpr double StatusStripWidth = 1020;
constexpr double TransportWidth = 2235;
constexpr double FaderWidth = 390;
constexpr double MetersWidth = 450;
constexpr double PanHeight = 150;
constexpr double CounterWidth = 2400;
// Page buttons take this many pixels beyond their own widths.
constexpr double PageRowExtraPixels = 18;

// A product of a design length and the size factor, in the single precision
// the sizes are kept in.
double Scaled(double length, const Scale& scale)
{
    return static_cast<double>(static_cast<float>(length) * scale.SizeFactor);
}

} // namespace

std::int32_t Snap(double twips, int twipsPerPixel)
{
    const std::int64_t whole = numeric::RoundToInt64(twips);
    const std::int64_t pixel = std::max(1, twipsPerPixel);
    return static_cast<std::int32_t>(numeric::DivTrunc(whole, pixel) * pixel);
}

std::int32_t SnapScaled(double length, const Scale& scale)
{
    return Snap(Scaled(length, scale), scale.TwipsPerPixel);
}

Scale MakeScale(float sizeFactor, int twipsPerPixel)
{
    Scale scale;
    scale.SizeFactor = sizeFactor;
    scale.TwipsPerPixel = twipsPerPixel;
    scale.UnitHeight = SnapScaled(90, scale);
    scale.UnitGap = 2 * twipsPerPixel;
    return scale;
}

PageSelectorBox PageSelector(const Scale& scale, std::int32_t pageButtonWidth, std::int32_t pageNum)
{
    const double m = scale.UnitHeight;
    PageSelectorBox box;
    box.Title.Top = m;
    box.Title.Left = m;
    box.Title.Height = SnapScaled(TitleHeight, scale);
    box.Buttons.Top = box.Title.Height + box.Title.Top + scale.UnitGap;
    box.Buttons.Left = m;
    box.Buttons.Height = SnapScaled(PageButtonsHeight, scale);
    const float rowPixels =
        static_cast<float>(pageButtonWidth) * scale.SizeFactor * static_cast<float>(pageNum) +
        static_cast<float>(PageRowExtraPixels);
    box.Buttons.Width = static_cast<double>(rowPixels) * scale.TwipsPerPixel;
    box.Title.Width = box.Buttons.Width;
    box.FrameHeight = m + box.Buttons.Top + box.Buttons.Height;
    box.FrameWidth = box.Title.Width + 2 * m;
    return box;
}

StatusStripBox StatusStrip(const Scale& scale, double pageFrameHeight, const std::array<bool, PanelKinds>& shown)
{
    StatusStripBox box;
    box.Width = SnapScaled(StatusStripWidth, scale);
    box.Height = pageFrameHeight;
    box.PanelTop.fill(-1);
    const int count = static_cast<int>(std::count(shown.begin(), shown.end(), true));
    if (count == 0) {
        return box;
    }
    const int p = scale.TwipsPerPixel;
    box.PanelHeight = Snap(box.Height / std::max(count, 2), p) - p;
    // Two pixels between the panels; one where two would push the last panel
    // past the strip's foot (when the count divides the strip into whole
    // pixels), so that no panel is cut off. The panel height leaves at least
    // one pixel per panel, so one-pixel gaps always fit.
    const double gap = count * box.PanelHeight + (count - 1) * 2.0 * p <= box.Height ? 2.0 * p : p;
    double top = 0;
    for (int kind = 0; kind < PanelKinds; ++kind) {
        if (!shown[static_cast<std::size_t>(kind)]) {
            continue;
        }
        box.PanelTop[static_cast<std::size_t>(kind)] = top;
        top += box.PanelHeight + gap;
    }
    return box;
}

PanelFont StatusPanelFont(PanelKind kind, bool captionHasWidthForms, int indicatorCount, double panelHeight,
                          const Scale& scale)
{
    const double inner = panelHeight - 4.0 * scale.TwipsPerPixel;
    if (kind == Timer) {
        return indicatorCount <= 3 ? PanelFont{14.0F * scale.SizeFactor, true}
                                   : PanelFont{static_cast<float>(inner / 24), true};
    }
    if (!captionHasWidthForms) {
        return indicatorCount <= 2 ? PanelFont{14.0F * scale.SizeFactor, false}
                                   : PanelFont{static_cast<float>(inner / 24), false};
    }
    return indicatorCount <= 2 ? PanelFont{16.0F * scale.SizeFactor, true}
                               : PanelFont{static_cast<float>(inner / 19), true};
}

StripBox PlayerStrip(const Scale& scale, const StripFeatures& features, double titleHeight, double pageButtonsHeight)
{
    const double m = scale.UnitHeight;
    const double g = scale.UnitGap;
    const double p = scale.TwipsPerPixel;
    const bool single = features.SinglePlayer == 1;
    const double useVol = features.UseVol == 1 ? 1 : 0;
    const double useSpeed = features.UseSpeed == 1 ? 1 : 0;
    const double usePan = features.UsePan == 1 ? 1 : 0;
    const double useSamplePos = features.UseSamplePos == 1 ? 1 : 0;

    StripBox box;
    // The pan slider is sized first, so the fader and the speed slider see
    // its height of this build.
    box.Pan.Height = SnapScaled(PanHeight, scale);

    box.Counter.Height = titleHeight + pageButtonsHeight + g;
    box.Buttons.Width = SnapScaled(TransportWidth, scale);
    box.Buttons.Height = pageButtonsHeight;
    box.Bar.Height = titleHeight;
    box.Bar.Width = box.Buttons.Width;

    box.Fader.Height = single ? box.Counter.Height
                              : box.Counter.Height + box.Buttons.Height + box.Bar.Height + 3 * g +
                                    usePan * (box.Pan.Height + g);
    box.Fader.Width = SnapScaled(FaderWidth, scale);
    box.Speed.Height = box.Fader.Height;
    box.Speed.Width = box.Pan.Height;

    box.Meters.Height = box.Fader.Height;
    box.Meters.Width = SnapScaled(MetersWidth, scale);
    box.MeterL.Left = 4 * p;
    box.MeterR.Width = Snap((box.Meters.Width - 10 * p) / 2, scale.TwipsPerPixel);
    box.MeterL.Width = box.MeterR.Width;
    box.MeterR.Left = box.MeterL.Left + box.MeterL.Width + g;
    box.MeterL.Height = box.Meters.Height - 8 * p;
    box.MeterR.Height = box.MeterL.Height;
    box.MeterL.Top = 3 * p;
    box.MeterR.Top = 3 * p;

    box.Speed.Top = m;
    box.Speed.Left = m;
    box.Fader.Top = m;
    box.Fader.Left = m + useSpeed * (box.Speed.Width + g);

    box.Counter.Width = single ? Scaled(CounterWidth, scale) : box.Buttons.Width;
    box.Counter.Top = m;
    box.Counter.Left = m + useVol * (box.Fader.Width + g) + useSpeed * (box.Speed.Width + g);
    box.Meters.Top = m;

    if (single) {
        box.Bar.Top = m;
        box.Meters.Left = box.Counter.Right() + g;
        box.Bar.Left = features.PlayerType == 3 ? box.Meters.Right() + g : box.Counter.Right() + g;
        box.PanelHeight = box.Counter.Height + 2 * m;
        box.PanelWidth = box.Bar.Right() + m;
        box.Buttons.Left = box.Bar.Left;
    } else {
        box.Buttons.Left = box.Counter.Left;
        box.PanelHeight = box.Fader.Height + 2 * m;
        box.PanelWidth = box.Buttons.Right() + useSamplePos * (box.Meters.Width + g) + m;
        box.Pan.Width = box.Counter.Width;
        box.Pan.Top = m + box.Counter.Height + g;
        box.Pan.Left = box.Counter.Left;
        box.Bar.Top = box.Counter.Bottom() + g + usePan * (box.Pan.Height + g);
        box.Bar.Left = box.Counter.Left;
        box.Meters.Left = box.Counter.Right() + g;
    }
    // The buttons sit one pixel above the lower margin.
    box.Buttons.Top = box.PanelHeight - box.Buttons.Height - m - p;

    box.FaderShown = useVol != 0;
    box.SpeedShown = useSpeed != 0;
    box.PanShown = usePan != 0 && !single;
    box.MetersShown = useSamplePos != 0;
    return box;
}

double StripPanelTop(double firstTop, double panelHeight, int strip, const Scale& scale)
{
    return static_cast<double>(static_cast<float>(firstTop) +
                               static_cast<float>(strip) *
                                   (static_cast<float>(panelHeight) + static_cast<float>(scale.UnitHeight)));
}

FirstRow FirstOutputRow(const Scale& scale, const StripBox& strip, double ledsWidth, double pageFrameHeight,
                        std::int32_t playersPerOutput)
{
    const double m = scale.UnitHeight;
    FirstRow row;
    row.StripPanel = {m, 0, strip.PanelWidth, strip.PanelHeight};
    row.LedsLeft = row.StripPanel.Right() + m;
    // A fixed 120 twips, not scaled, between the status panels and the page
    // selector.
    row.PageLeft = row.LedsLeft + ledsWidth + 120;
    const double content = playersPerOutput > 1 ? row.StripPanel.Right() + m : row.StripPanel.Left;
    row.ContentLeft = static_cast<std::int32_t>(numeric::RoundToInt64(content));
    row.FirstButtonTop = pageFrameHeight + m;
    return row;
}

} // namespace StripGeometry
