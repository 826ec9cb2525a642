#include "platform/FontCreation.h"

#include "platform/base/LogSink.h"
#include "platform/base/Numbers.h"

#include <QByteArray>
#include <QFontMetricsF>
#include <QRawFont>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

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

int BigEndian16(const QByteArray& table, int offset)
{
    const auto high = static_cast<unsigned char>(table[offset]);
    const auto low = static_cast<unsigned char>(table[offset + 1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((high << 8) | low));
}

// The face's own ascent and descent for setting text. The typographic values
// of its OS/2 table come first: for the CJK face they are the ideographic em
// box, so a cell holds glyphs as large as the Japanese interface faces draw in
// the same cell. Faces without them give the line metrics Qt reports,
// measured at a size where rounding to pixels no longer matters.
DesignMetrics MeasureDesign(QFont face)
{
    constexpr int referenceEm = 1000;
    face.setPixelSize(referenceEm);
    const QRawFont raw = QRawFont::fromFont(face);
    const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
    constexpr int typoDescenderOffset = 70;
    if (os2.size() >= typoDescenderOffset + 2 && raw.unitsPerEm() > 0) {
        const int ascent = BigEndian16(os2, typoDescenderOffset - 2);
        const int descent = -BigEndian16(os2, typoDescenderOffset);
        if (ascent > 0 && descent >= 0) {
            const double cell = ascent + descent;
            return {cell / raw.unitsPerEm(), ascent / cell};
        }
    }
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
