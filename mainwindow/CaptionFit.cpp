#include "mainwindow/CaptionFit.h"

#include "foundation/Fonts.h"
#include "platform/Surface.h"
#include "platform/TwipsGeometry.h"

#include <QImage>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <utility>

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
    int left = image.width();
    int right = -1;
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] & 0xFFFFFFU) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = top < 0 ? y : top;
                bottom = y;
            }
        }
    }
    if (right < 0) {
        return {};
    }
    return QRect(QPoint(left, top), QPoint(right, bottom)).translated(-cell, -cell);
}

} // namespace

Fit Fitting(float size, const std::vector<std::string>& texts, const std::string& face, double roomWidth,
            double panelHeight, int frameLines)
{
    const int inner = platform::TwipsToPixels(panelHeight) - 2 * frameLines;
    platform::Surface probe(1, 1);
    // The texts at candidate: their widest width and their ink together.
    const auto measured = [&](float candidate) {
        basic::SetControlFont(&probe, -2, nullptr, candidate, false, false, face);
        QRect ink;
        double widest = 0;
        for (const std::string& text : texts) {
            const QRect textInk = InkOf(probe, text);
            widest = std::max(
                {widest, probe.TextWidth(text), static_cast<double>(platform::PixelsToTwips(textInk.width()))});
            ink |= textInk;
        }
        return std::pair{widest, ink};
    };
    const auto centred = [&](float candidate, double widest, const QRect& ink) {
        const int inkTop = frameLines + (inner - ink.height()) / 2;
        return Fit{candidate, static_cast<double>(platform::PixelsToTwips(inkTop - ink.top())), widest};
    };
    const auto [widestAtSize, inkAtSize] = measured(size);
    if (widestAtSize <= roomWidth && inkAtSize.height() <= inner) {
        return centred(size, widestAtSize, inkAtSize);
    }
    // Width and ink grow with the size: the search starts a step above the
    // size at which the texts would just fill the room, so that a long text
    // takes a few drawings, not one for every step down to its size.
    const double scale = std::clamp(
        std::min(roomWidth / std::max(widestAtSize, 1.0), static_cast<double>(inner) / std::max(inkAtSize.height(), 1)),
        0.0, 1.0);
    const double stepsDown = std::max(1.0, std::floor((1.0 - scale) * size / Step) - 1);
    const float start = static_cast<float>(std::max<double>(Smallest, size - stepsDown * Step));
    for (float candidate = start; candidate > Smallest; candidate -= Step) {
        const auto [widest, ink] = measured(candidate);
        if (widest <= roomWidth && ink.height() <= inner) {
            return centred(candidate, widest, ink);
        }
    }
    const float smallest = std::min(size, Smallest);
    const auto [widest, ink] = measured(smallest);
    return centred(smallest, widest, ink);
}

} // namespace CaptionFit
