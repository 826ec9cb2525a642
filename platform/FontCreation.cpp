#include "platform/FontCreation.h"

#include "platform/base/LogSink.h"
#include "platform/base/Numbers.h"

#include <QFontMetricsF>

#include <algorithm>
#include <array>
#include <cmath>

namespace platform {

namespace {

struct FaceMapping {
    std::string_view faceName;
    std::string_view family;
    QFont::Stretch stretch;
    int minimumWeight;
};

constexpr std::string_view cjkFamily = "Noto Sans CJK JP";

const std::array<FaceMapping, 3> faceMappings{{
    {"ＭＳ Ｐゴシック", cjkFamily, QFont::Unstretched, 0},
    {"メイリオ", cjkFamily, QFont::Unstretched, 0},
    {"Impact", "DejaVu Sans", QFont::Condensed, 700},
}};

const FaceMapping* FindMapping(std::string_view faceName)
{
    for (const FaceMapping& mapping : faceMappings) {
        if (mapping.faceName == faceName) {
            return &mapping;
        }
    }
    return nullptr;
}

// Largest cell the program could sensibly ask for; larger requests are faults.
constexpr int maximumCellHeight = 2000;

struct DesignMetrics {
    double cellPerEm = 1.0;   // (ascent + descent) / em
    double ascentShare = 0.8; // ascent / (ascent + descent)
};

// Measured at a size where the rounding of the metrics to pixels no longer
// matters.
DesignMetrics MeasureDesign(QFont face)
{
    constexpr int referenceEm = 1000;
    face.setPixelSize(referenceEm);
    const QFontMetricsF metrics(face);
    const double cell = metrics.ascent() + metrics.descent();
    if (cell <= 0) {
        return {};
    }
    return {cell / referenceEm, metrics.ascent() / cell};
}

} // namespace

std::string InstalledFamily(std::string_view faceName)
{
    const FaceMapping* mapping = FindMapping(faceName);
    return std::string(mapping != nullptr ? mapping->family : faceName);
}

FontHandle CreateFontIndirect(const LogicalFont& request)
{
    if (request.height <= 0 || request.height > maximumCellHeight) {
        Log("CreateFontIndirect failed: cell height " + std::to_string(request.height) + " face " + request.faceName);
        return nullptr;
    }
    const FaceMapping* mapping = FindMapping(request.faceName);
    QFont face(QString::fromStdString(InstalledFamily(request.faceName)));
    int weight = request.weight > 0 ? std::clamp(request.weight, 1, 1000) : static_cast<int>(QFont::Normal);
    if (mapping != nullptr) {
        face.setStretch(mapping->stretch);
        weight = std::max(weight, mapping->minimumWeight);
    }
    face.setWeight(static_cast<QFont::Weight>(weight));
    face.setItalic(request.italic);

    const DesignMetrics design = MeasureDesign(face);
    face.setPixelSize(std::max(1, static_cast<int>(numeric::RoundToInt64(request.height / design.cellPerEm))));
    auto font = std::make_shared<Font>();
    font->face = face;
    font->cellHeight = request.height;
    font->ascent = static_cast<int>(numeric::RoundToInt64(request.height * design.ascentShare));
    return font;
}

} // namespace platform
