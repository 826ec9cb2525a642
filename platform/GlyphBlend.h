#pragma once

#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPointF>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

// The coverage of one glyph as the raster engine draws it at one fraction of
// a pixel, and where it lands from the whole-pixel part of its position.
struct GlyphCoverage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> alpha; // width * height, row by row
};

// A glyph of a laid-out line: its coverage (none: only the painter can draw
// it), where that lands from the line's whole-pixel origin, and which glyph of
// which run it is.
struct GlyphPlacement {
    std::shared_ptr<const GlyphCoverage> coverage;
    int font = 0; // which kept font draws it
    int x = 0;
    int y = 0;
    int run = 0;
    int glyph = 0;
};

struct PlacedGlyphs {
    // False when a run's font is drawn otherwise (large, coloured): the
    // painter then draws the whole line.
    bool blendable = false;
    std::vector<GlyphPlacement> glyphs;
    std::uint64_t generation = 0;
};

// True once the engine drew a colour that contradicts one learnt before;
// from then on the painter draws all text of this thread.
bool GlyphColoursContradicted();

// Works out where the glyphs of a line land when the line is drawn at a
// whole-pixel origin plus `offset` (the same fraction every time).
PlacedGlyphs PlaceGlyphs(const QList<QGlyphRun>& runs, QPointF offset);
// False once the fonts a placement names were let go (too many fonts were
// met): it must be worked out again.
bool PlacementCurrent(const PlacedGlyphs& placed);

// Draws text in one opaque colour on a 32-bit picture with exactly the pixels
// the raster engine gives, without its per-pixel cost: every glyph's coverage
// is kept, and the colour a pixel takes for a coverage and the colour below is
// learnt from the engine itself (for each font, as fonts blend differently)
// the first time the engine draws that combination. A glyph with a combination not learnt yet, or with no kept
// coverage, is drawn by the painter, which is opened only then.
class GlyphBlender {
public:
    GlyphBlender(QImage& image, QRgb colour);
    GlyphBlender(const GlyphBlender&) = delete;
    GlyphBlender& operator=(const GlyphBlender&) = delete;
    ~GlyphBlender();

    // The runs drawn at (originX, originY) + offset, as PlaceGlyphs placed them
    // for that offset.
    void Draw(const QList<QGlyphRun>& runs, QPointF offset, const PlacedGlyphs& placed, int originX, int originY);

    struct Table;

private:
    QPainter& Painter();
    Table& TableFor(int font);
    bool Blend(const Table& table, const GlyphCoverage& coverage, int x, int y);
    void DrawByPainter(Table& table, const QGlyphRun& run, const GlyphPlacement& placement, QPointF origin, int x,
                       int y);

    QImage& image_;
    QRgb colour_;
    std::optional<QPainter> painter_;
    int lastFont_ = -1;
    Table* lastTable_ = nullptr;
};

} // namespace platform
