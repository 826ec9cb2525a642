#include "mainwindow/CaptionFit.h"

#include "foundation/Fonts.h"
#include "platform/Surface.h"
#include "platform/TwipsGeometry.h"

#include <QImage>
#include <QRect>

#include <algorithm>
#include <optional>

namespace CaptionFit {

namespace {

constexpr float Step = 0.5F;
constexpr float Smallest = 4.0F;

// Where the ink of text lies, in pixels from the point it is printed at,
// in probe's font; empty for a text without ink.
QRect InkOf(platform::Surface& probe, const std::string& text)
{
    const int cell = std::max(1, platform::TwipsToPixels(probe.TextHeight("漢")));
    const int width = platform::TwipsToPixels(probe.TextWidth(text)) + 2 * cell;
    probe.Resize(std::max(1, width), 3 * cell);
    probe.SetBackColor(0);
    probe.Cls();
    probe.SetForeColor(0xFFFFFF);
    probe.SetCurrentX(platform::PixelsToTwips(cell));
    probe.SetCurrentY(platform::PixelsToTwips(cell));
    probe.Print(text);
    const QImage& image = probe.Image();
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] & 0xFFFFFFU) != 0) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink.translated(-cell, -cell);
}

} // namespace

Fit Fitting(float size, const std::vector<std::string>& texts, const std::string& face, double roomWidth,
            double panelHeight, int frameLines)
{
    const int inner = platform::TwipsToPixels(panelHeight) - 2 * frameLines;
    platform::Surface probe(1, 1);
    const auto centred = [&](float candidate, bool mustFit) -> std::optional<Fit> {
        basic::SetControlFont(&probe, -2, nullptr, candidate, false, false, face);
        QRect ink;
        double widest = 0;
        for (const std::string& text : texts) {
            const QRect textInk = InkOf(probe, text);
            const double width =
                std::max(probe.TextWidth(text), static_cast<double>(platform::PixelsToTwips(textInk.width())));
            if (mustFit && width > roomWidth) {
                return std::nullopt;
            }
            ink |= textInk;
            widest = std::max(widest, width);
        }
        if (mustFit && ink.height() > inner) {
            return std::nullopt;
        }
        const int inkTop = frameLines + (inner - ink.height()) / 2;
        return Fit{candidate, static_cast<double>(platform::PixelsToTwips(inkTop - ink.top())), widest};
    };
    for (float candidate = size; candidate > Smallest; candidate -= Step) {
        if (const std::optional<Fit> fit = centred(candidate, true)) {
            return *fit;
        }
    }
    return *centred(std::min(size, Smallest), false);
}

} // namespace CaptionFit
