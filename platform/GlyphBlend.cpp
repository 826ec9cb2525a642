#include "platform/GlyphBlend.h"

#include "platform/base/LogSink.h"

#include <QByteArray>
#include <QRawFont>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <unordered_map>
#include <utility>

namespace platform {

namespace {

constexpr std::uint16_t unknown = 0xFFFF;

} // namespace

// The value each channel takes, by the channel's value below and the
// coverage; a row of coverages is made when a value below is first met, and
// holds `unknown` until learnt. Values not met yet share one unknown row.
struct GlyphBlender::Table {
    using Row = std::array<std::uint16_t, 256>;

    Table()
    {
        static const Row unknownRow = [] {
            Row row;
            row.fill(unknown);
            return row;
        }();
        for (auto& channel : rows) {
            channel.fill(&unknownRow);
        }
    }

    std::uint16_t& Learn(int channel, unsigned below, unsigned coverage)
    {
        const auto c = static_cast<std::size_t>(channel);
        std::unique_ptr<Row>& own = owned[c][below];
        if (!own) {
            own = std::make_unique<Row>();
            own->fill(unknown);
            rows[c][below] = own.get();
        }
        return (*own)[coverage];
    }

    // Where lookups go: the learnt row, or the shared unknown one.
    std::array<std::array<const Row*, 256>, 3> rows{}; // blue, green, red

private:
    std::array<std::array<std::unique_ptr<Row>, 256>, 3> owned;
};

namespace {

// Fonts at this pixel size and above are filled as outlines by the raster
// engine, not copied from its glyph cache; their lines are left to it.
constexpr qreal cachedGlyphLimit = 64;

struct FontEntry {
    QRawFont font;
    bool blendable = false;
};

bool Blendable(const QRawFont& font)
{
    if (!font.isValid() || font.pixelSize() >= cachedGlyphLimit || std::getenv("QT_MAX_CACHED_GLYPH_SIZE") != nullptr) {
        return false;
    }
    // Coloured glyphs carry their own colours.
    for (const char* table : {"COLR", "CBDT", "sbix", "SVG "}) {
        if (!font.fontTable(table).isEmpty()) {
            return false;
        }
    }
    return true;
}

using CoverageHandle = std::shared_ptr<const GlyphCoverage>;

// Everything kept is per thread: pictures are drawn on the interface thread,
// and another thread gets its own rather than a lock.
struct Kept {
    static constexpr std::size_t fontLimit = 64;
    static constexpr std::size_t coverageLimit = 16384;
    static constexpr std::size_t tableLimit = 32;

    std::vector<FontEntry> fonts;
    std::unordered_map<std::uint64_t, CoverageHandle> coverages;
    struct TableEntry {
        int font;
        QRgb colour;
        std::unique_ptr<GlyphBlender::Table> table;
    };
    std::vector<TableEntry> tables;
    // Placements name fonts by their place in `fonts`; they count only while
    // the list they were made with is kept.
    std::uint64_t generation = 1;
    // Set when the engine drew a colour that contradicts one learnt before:
    // from then on the painter draws all text.
    bool contradicted = false;
};

Kept& Keep()
{
    thread_local Kept kept;
    return kept;
}

// -1: the painter draws this font's lines.
int FontIndex(const QRawFont& font)
{
    Kept& kept = Keep();
    for (std::size_t i = 0; i < kept.fonts.size(); ++i) {
        if (kept.fonts[i].font == font) {
            return kept.fonts[i].blendable ? static_cast<int>(i) : -1;
        }
    }
    if (kept.fonts.size() >= Kept::fontLimit) {
        kept.fonts.clear();
        kept.coverages.clear();
        kept.tables.clear();
        ++kept.generation;
    }
    kept.fonts.push_back({font, Blendable(font)});
    return kept.fonts.back().blendable ? static_cast<int>(kept.fonts.size() - 1) : -1;
}

// The glyph drawn alone at a known fraction of a pixel on an empty alpha
// picture: what it leaves there is its coverage. None when it does not fit.
CoverageHandle Extract(const QRawFont& font, quint32 glyph, int fractionX, int fractionY)
{
    const int size = std::max(16, static_cast<int>(std::ceil(font.pixelSize())));
    const int margin = 2 * size;
    const int side = 4 * size;
    QImage scratch(side, side, QImage::Format_Alpha8);
    if (scratch.isNull()) {
        return nullptr;
    }
    scratch.fill(0);
    {
        QPainter painter(&scratch);
        painter.setPen(QColor(0, 0, 0));
        QGlyphRun single;
        single.setRawFont(font);
        single.setGlyphIndexes({glyph});
        single.setPositions({QPointF(margin + fractionX / 64.0, margin + fractionY / 64.0)});
        painter.drawGlyphRun(QPointF(0, 0), single);
    }
    int left = side;
    int right = -1;
    int top = side;
    int bottom = -1;
    for (int y = 0; y < side; ++y) {
        const uchar* row = scratch.constScanLine(y);
        for (int x = 0; x < side; ++x) {
            if (row[x] != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    auto coverage = std::make_shared<GlyphCoverage>();
    if (right < 0) {
        return coverage; // nothing to draw (a blank)
    }
    if (left == 0 || top == 0 || right == side - 1 || bottom == side - 1) {
        return nullptr; // may have been cut off
    }
    coverage->left = left - margin;
    coverage->top = top - margin;
    coverage->width = right - left + 1;
    coverage->height = bottom - top + 1;
    coverage->alpha.resize(static_cast<std::size_t>(coverage->width) * static_cast<std::size_t>(coverage->height));
    for (int y = 0; y < coverage->height; ++y) {
        const uchar* row = scratch.constScanLine(top + y) + left;
        std::copy(row, row + coverage->width,
                  coverage->alpha.begin() + static_cast<std::ptrdiff_t>(y) * coverage->width);
    }
    return coverage;
}

CoverageHandle Coverage(int font, const QRawFont& rawFont, quint32 glyph, int fractionX, int fractionY)
{
    Kept& kept = Keep();
    const std::uint64_t key = (static_cast<std::uint64_t>(font) << 44) | (static_cast<std::uint64_t>(glyph) << 12) |
                              (static_cast<std::uint64_t>(fractionX) << 6) | static_cast<std::uint64_t>(fractionY);
    const auto found = kept.coverages.find(key);
    if (found != kept.coverages.end()) {
        return found->second;
    }
    if (kept.coverages.size() >= Kept::coverageLimit) {
        kept.coverages.clear();
    }
    return kept.coverages.emplace(key, Extract(rawFont, glyph, fractionX, fractionY)).first->second;
}

// A position in 64ths of a pixel, as the engine takes it; none when it is not
// a whole number of them.
std::optional<int> Sixtyfourths(qreal position)
{
    const qreal scaled = position * 64;
    if (!(std::abs(scaled) < 1e8) || scaled != std::floor(scaled)) {
        return std::nullopt;
    }
    return static_cast<int>(scaled);
}

void Contradicted()
{
    Kept& kept = Keep();
    if (!kept.contradicted) {
        kept.contradicted = true;
        Log("Surface: glyph colours differ from those learnt; text is drawn by the painter from now on");
    }
}

} // namespace

bool GlyphColoursContradicted()
{
    return Keep().contradicted;
}

namespace {

PlacedGlyphs PlaceOnce(const QList<QGlyphRun>& runs, QPointF offset)
{
    PlacedGlyphs placed;
    placed.generation = Keep().generation;
    for (qsizetype r = 0; r < runs.size(); ++r) {
        const QGlyphRun& run = runs[r];
        const QRawFont rawFont = run.rawFont();
        const int font = FontIndex(rawFont);
        if (font < 0) {
            return {};
        }
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        const qsizetype count = std::min(glyphs.size(), positions.size());
        for (qsizetype i = 0; i < count; ++i) {
            const QPointF at = offset + positions[i];
            const std::optional<int> x = Sixtyfourths(at.x());
            const std::optional<int> y = Sixtyfourths(at.y());
            if (!x || !y) {
                return {};
            }
            GlyphPlacement placement;
            placement.coverage = Coverage(font, rawFont, glyphs[i], *x & 63, *y & 63);
            placement.font = font;
            placement.x = (*x >> 6) + (placement.coverage ? placement.coverage->left : 0);
            placement.y = (*y >> 6) + (placement.coverage ? placement.coverage->top : 0);
            placement.run = static_cast<int>(r);
            placement.glyph = static_cast<int>(i);
            placed.glyphs.push_back(std::move(placement));
        }
    }
    placed.blendable = true;
    return placed;
}

} // namespace

PlacedGlyphs PlaceGlyphs(const QList<QGlyphRun>& runs, QPointF offset)
{
    // Fonts let go halfway leave the first runs naming places that now hold
    // others: placed once more, with room for every font of the line.
    for (int attempt = 0; attempt < 2; ++attempt) {
        PlacedGlyphs placed = PlaceOnce(runs, offset);
        if (PlacementCurrent(placed)) {
            return placed;
        }
    }
    return {};
}

bool PlacementCurrent(const PlacedGlyphs& placed)
{
    return placed.generation == Keep().generation;
}

GlyphBlender::GlyphBlender(QImage& image, QRgb colour) : image_(image), colour_(colour | 0xFF000000u) {}

GlyphBlender::Table& GlyphBlender::TableFor(int font)
{
    if (font == lastFont_) {
        return *lastTable_;
    }
    Kept& kept = Keep();
    Table* table = nullptr;
    for (auto& entry : kept.tables) {
        if (entry.font == font && entry.colour == colour_) {
            table = entry.table.get();
        }
    }
    if (table == nullptr) {
        if (kept.tables.size() >= Kept::tableLimit) {
            kept.tables.clear();
        }
        kept.tables.push_back({font, colour_, std::make_unique<Table>()});
        table = kept.tables.back().table.get();
    }
    lastFont_ = font;
    lastTable_ = table;
    return *table;
}

GlyphBlender::~GlyphBlender() = default;

QPainter& GlyphBlender::Painter()
{
    if (!painter_) {
        painter_.emplace(&image_);
        painter_->setPen(QColor(colour_));
    }
    return *painter_;
}

void GlyphBlender::Draw(const QList<QGlyphRun>& runs, QPointF offset, const PlacedGlyphs& placed, int originX,
                        int originY)
{
    const QPointF origin = QPointF(originX, originY) + offset;
    if (!placed.blendable || !PlacementCurrent(placed) || Keep().contradicted ||
        image_.format() != QImage::Format_RGB32) {
        for (const QGlyphRun& run : runs) {
            Painter().drawGlyphRun(origin, run);
        }
        return;
    }
    // Tables are found anew for each line: placing a line may have
    // dropped them.
    lastFont_ = -1;
    for (const GlyphPlacement& placement : placed.glyphs) {
        const int x = originX + placement.x;
        const int y = originY + placement.y;
        Table& table = TableFor(placement.font);
        if (placement.coverage && !Keep().contradicted && Blend(table, *placement.coverage, x, y)) {
            continue;
        }
        DrawByPainter(table, runs[placement.run], placement, origin, x, y);
    }
}

bool GlyphBlender::Blend(const Table& table, const GlyphCoverage& coverage, int x, int y)
{
    const int left = std::max(x, 0);
    const int right = std::min(x + coverage.width, image_.width());
    const int top = std::max(y, 0);
    const int bottom = std::min(y + coverage.height, image_.height());
    if (left >= right || top >= bottom) {
        return true;
    }
    const auto& blue = table.rows[0];
    const auto& green = table.rows[1];
    const auto& red = table.rows[2];
    uchar* const bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    const int width = right - left;
    // Blended aside first: nothing changes unless every combination is known.
    thread_local std::vector<QRgb> blended;
    blended.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(bottom - top));
    QRgb* out = blended.data();
    unsigned seen = 0; // an unknown entry is the only one with bit 8 set
    for (int row = top; row < bottom; ++row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(bits + row * stride);
        const unsigned char* alpha = coverage.alpha.data() + static_cast<std::ptrdiff_t>(row - y) * coverage.width;
        for (int column = left; column < right; ++column, ++out) {
            const unsigned a = alpha[column - x];
            const QRgb below = pixels[column];
            if (a == 0) {
                *out = below;
            } else if (a == 255) {
                *out = colour_;
            } else {
                const unsigned b = (*blue[static_cast<std::size_t>(qBlue(below))])[a];
                const unsigned g = (*green[static_cast<std::size_t>(qGreen(below))])[a];
                const unsigned r = (*red[static_cast<std::size_t>(qRed(below))])[a];
                seen |= b | g | r;
                *out = 0xFF000000u | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
            }
        }
    }
    if ((seen & 0x100) != 0) {
        return false;
    }
    const QRgb* from = blended.data();
    for (int row = top; row < bottom; ++row, from += width) {
        std::copy(from, from + width, reinterpret_cast<QRgb*>(bits + row * stride) + left);
    }
    return true;
}

void GlyphBlender::DrawByPainter(Table& table, const QGlyphRun& run, const GlyphPlacement& placement, QPointF origin,
                                 int x, int y)
{
    QGlyphRun single;
    single.setRawFont(run.rawFont());
    single.setGlyphIndexes({run.glyphIndexes().at(placement.glyph)});
    single.setPositions({run.positions().at(placement.glyph)});
    QPainter& painter = Painter();
    if (!placement.coverage) {
        painter.drawGlyphRun(origin, single);
        return;
    }
    const GlyphCoverage& coverage = *placement.coverage;
    const int left = std::max(x, 0);
    const int right = std::min(x + coverage.width, image_.width());
    const int top = std::max(y, 0);
    const int bottom = std::min(y + coverage.height, image_.height());
    if (left >= right || top >= bottom) {
        painter.drawGlyphRun(origin, single);
        return;
    }
    // What lies below, to learn from what the engine makes of it.
    std::vector<QRgb> before;
    before.reserve(static_cast<std::size_t>(right - left) * static_cast<std::size_t>(bottom - top));
    for (int row = top; row < bottom; ++row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image_.constScanLine(row));
        before.insert(before.end(), pixels + left, pixels + right);
    }
    painter.drawGlyphRun(origin, single);
    std::size_t at = 0;
    for (int row = top; row < bottom; ++row) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image_.constScanLine(row));
        const unsigned char* alpha = coverage.alpha.data() + static_cast<std::ptrdiff_t>(row - y) * coverage.width;
        for (int column = left; column < right; ++column, ++at) {
            const unsigned a = alpha[column - x];
            const QRgb was = before[at];
            const QRgb now = pixels[column];
            if (a == 0 || a == 255) {
                if (now != (a == 0 ? was : colour_)) {
                    Contradicted();
                    return;
                }
                continue;
            }
            for (int channel = 0; channel < 3; ++channel) {
                const int shift = 8 * channel;
                std::uint16_t& entry = table.Learn(channel, (was >> shift) & 0xFF, a);
                const auto value = static_cast<std::uint16_t>((now >> shift) & 0xFF);
                if (entry != unknown && entry != value) {
                    Contradicted();
                    return;
                }
                entry = value;
            }
        }
    }
}

} // namespace platform
