#include "platform/Surface.h"

#include "platform/FontCreation.h"
#include "platform/GlyphBlend.h"
#include "platform/LineWalk.h"
#include "platform/base/LogSink.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

namespace {

QRgb ToRgb(Color color)
{
    const auto plain = static_cast<std::uint32_t>(ResolveColor(color));
    return qRgb(static_cast<int>(plain & 0xFF), static_cast<int>((plain >> 8) & 0xFF),
                static_cast<int>((plain >> 16) & 0xFF));
}

Color FromRgb(QRgb pixel)
{
    return Rgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

QImage BlankImage(int width, int height, Color color)
{
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (image.isNull() && width > 0 && height > 0) {
        Log("Surface: no memory for a picture of " + std::to_string(width) + " x " + std::to_string(height));
    }
    image.fill(ToRgb(color));
    return image;
}

// The font a picture box starts with: the interface face at 9 points.
FontHandle DefaultFont()
{
    static FontHandle font;
    static int madeFor = -1;
    if (font == nullptr || madeFor != basic::TwipsPerPixel) {
        madeFor = basic::TwipsPerPixel;
        const int cell = madeFor > 0 ? static_cast<int>(numeric::RoundToInt64(9.0 * 20.0 / madeFor)) : 12;
        font = CreateFontIndirect({cell, 0, false, 128, "ＭＳ Ｐゴシック"});
    }
    return font;
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            return lines;
        }
        start = end + 1;
    }
}

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One line of text in one font, measured and laid out when first asked.
struct Shape {
    bool laidOut = false;
    QList<QGlyphRun> runs;
    qreal ascent = 0; // of the laid-out line, above its baseline
    // From the line's start to where text after it would go: what the
    // font's metrics give for the text, trailing blanks and tabs included.
    qreal advance = 0;
    // Where the glyphs land from the print position, worked out at the
    // first print.
    std::optional<PlacedGlyphs> placed;
};

// Texts shaped once per font: the controls print and measure the same few
// texts on every redraw, and shaping is most of a redraw's cost. Drawing the
// kept glyph runs gives the very pixels that printing the text does.
class ShapeCache {
public:
    // A text measured is nearly always printed next (centred captions, the
    // bars' times), so it is measured on its layout: shaped once, not twice.
    int Advance(const FontHandle& font, std::string_view text)
    {
        return static_cast<int>(std::lround(LaidOut(font, text).advance));
    }

    Shape& LaidOut(const FontHandle& font, std::string_view text)
    {
        Shape& shape = Find(font, text);
        if (!shape.laidOut) {
            QTextLayout layout(ToQString(text), font->face);
            layout.beginLayout();
            QTextLine line = layout.createLine();
            if (line.isValid()) {
                line.setLineWidth(1e9);
                line.setPosition(QPointF(0, 0));
                shape.ascent = line.ascent();
                shape.advance = line.horizontalAdvance();
            }
            layout.endLayout();
            shape.runs = layout.glyphRuns();
            shape.laidOut = true;
        }
        return shape;
    }

private:
    static constexpr std::size_t capacity = 4096;

    struct Key {
        const Font* font;
        std::string text;
    };
    // Looked up by a view of the text, so a lookup makes no copy of it.
    struct KeyView {
        const Font* font;
        std::string_view text;
    };
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(const KeyView& key) const
        {
            return std::hash<std::string_view>()(key.text) ^ (std::hash<const Font*>()(key.font) << 1);
        }
        std::size_t operator()(const Key& key) const { return (*this)(KeyView{key.font, key.text}); }
    };
    struct KeyEqual {
        using is_transparent = void;
        static KeyView View(const Key& key) { return {key.font, key.text}; }
        static KeyView View(const KeyView& key) { return key; }
        template <typename A, typename B> bool operator()(const A& a, const B& b) const
        {
            return View(a).font == View(b).font && View(a).text == View(b).text;
        }
    };
    // The handle keeps the font alive, so no other font can take its address
    // while its shapes are kept.
    struct Entry {
        FontHandle font;
        Shape shape;
    };

    Shape& Find(const FontHandle& font, std::string_view text)
    {
        const auto found = shapes_.find(KeyView{font.get(), text});
        if (found != shapes_.end()) {
            return found->second.shape;
        }
        if (shapes_.size() >= capacity) {
            shapes_.clear();
        }
        return shapes_.emplace(Key{font.get(), std::string(text)}, Entry{font, Shape{}}).first->second.shape;
    }

    std::unordered_map<Key, Entry, KeyHash, KeyEqual> shapes_;
};

ShapeCache& Shapes()
{
    // Pictures are drawn on the interface thread; another thread gets a
    // cache of its own rather than a lock.
    thread_local ShapeCache cache;
    return cache;
}

// Pixel positions far outside any picture are held at a distance the line
// walk can cover without overflowing.
constexpr int coordinateLimit = 1 << 20;

int LimitCoordinate(int value)
{
    return std::clamp(value, -coordinateLimit, coordinateLimit);
}

QPainter::CompositionMode CompositionFor(DrawMode mode)
{
    return mode == DrawMode::MaskPen ? QPainter::RasterOp_SourceAndDestination : QPainter::CompositionMode_Source;
}

} // namespace

Surface::Surface(int widthPx, int heightPx) : image_(BlankImage(widthPx, heightPx, backColor_)) {}

void Surface::Resize(int widthPx, int heightPx)
{
    if (widthPx == PixelWidth() && heightPx == PixelHeight()) {
        return;
    }
    QImage resized = BlankImage(widthPx, heightPx, backColor_);
    if (!resized.isNull() && !image_.isNull()) {
        QPainter painter(&resized);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, image_);
    }
    image_ = resized;
}

double Surface::Width() const
{
    return ToTwips(PixelWidth());
}

double Surface::Height() const
{
    return ToTwips(PixelHeight());
}

void Surface::SetPicture(const QImage& picture)
{
    image_ = picture.convertToFormat(QImage::Format_RGB32);
}

void Surface::SetBackColor(Color color)
{
    backColor_ = color;
    Cls();
}

void Surface::SetDrawWidth(int width)
{
    drawWidth_ = std::max(width, 1);
}

const FontHandle& Surface::Font() const
{
    if (font_ == nullptr) {
        font_ = DefaultFont();
    }
    return font_;
}

void Surface::SetFont(const FontHandle& font)
{
    if (font != nullptr) {
        font_ = font;
    }
}

int Surface::ToPixel(double twips) const
{
    if (basic::TwipsPerPixel <= 0) {
        return 0;
    }
    const double pixels = numeric::RoundHalfEven(twips / basic::TwipsPerPixel);
    if (!(pixels == pixels)) {
        return 0; // not a number
    }
    return static_cast<int>(
        std::clamp(pixels, static_cast<double>(-coordinateLimit), static_cast<double>(coordinateLimit)));
}

double Surface::ToTwips(int pixels) const
{
    return static_cast<double>(pixels) * std::max(basic::TwipsPerPixel, 0);
}

void Surface::Cls()
{
    image_.fill(ToRgb(backColor_));
    currentX_ = 0;
    currentY_ = 0;
}

void Surface::PlotPixel(int x, int y, unsigned rgb)
{
    if (x < 0 || y < 0 || x >= PixelWidth() || y >= PixelHeight()) {
        return;
    }
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
    row[x] = drawMode_ == DrawMode::MaskPen ? (row[x] & rgb) : rgb;
}

void Surface::PixelLine(int x1, int y1, int x2, int y2, Color color)
{
    if (drawWidth_ > 1) {
        if ((x1 == x2 && y1 == y2) || image_.isNull()) {
            return;
        }
        QPainter painter(&image_);
        painter.setCompositionMode(CompositionFor(drawMode_));
        painter.setPen(QPen(QColor(ToRgb(color)), drawWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(x1, y1, x2, y2);
        return;
    }
    // The error walk, stopping before the end point.
    const QRgb rgb = ToRgb(color);
    ForEachPixelOnPicture(x1, y1, x2, y2, PixelWidth(), PixelHeight(), [this, rgb](int x, int y) { PlotPixel(x, y, rgb); });
}

void Surface::FillPixels(int left, int top, int right, int bottom, Color color, bool withDrawMode)
{
    // Inclusive corners, in any order.
    const int x1 = std::max(std::min(left, right), 0);
    const int x2 = std::min(std::max(left, right), PixelWidth() - 1);
    const int y1 = std::max(std::min(top, bottom), 0);
    const int y2 = std::min(std::max(top, bottom), PixelHeight() - 1);
    const QRgb rgb = ToRgb(color);
    const bool mask = withDrawMode && drawMode_ == DrawMode::MaskPen;
    for (int y = y1; y <= y2; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        for (int x = x1; x <= x2; ++x) {
            row[x] = mask ? (row[x] & rgb) : rgb;
        }
    }
}

void Surface::BoxOutline(int x1, int y1, int x2, int y2, Color color)
{
    const int left = std::min(x1, x2);
    const int right = std::max(x1, x2);
    const int top = std::min(y1, y2);
    const int bottom = std::max(y1, y2);
    if (fillStyle_ == 0 && right - left > 1 && bottom - top > 1) {
        FillPixels(left + 1, top + 1, right - 1, bottom - 1, fillColor_, true);
    }
    // A wider pen thickens the outline on both sides of the corner points.
    const int inward = drawWidth_ / 2;
    const int outward = (drawWidth_ - 1) / 2;
    for (int k = -outward; k <= inward; ++k) {
        const int l = left + k;
        const int t = top + k;
        const int r = right - k;
        const int b = bottom - k;
        if (l > r || t > b) {
            break;
        }
        FillPixels(l, t, r, t, color, true);
        FillPixels(l, b, r, b, color, true);
        FillPixels(l, t, l, b, color, true);
        FillPixels(r, t, r, b, color, true);
    }
}

void Surface::Line(double x1, double y1, double x2, double y2, std::optional<Color> color, LineShape shape)
{
    if (basic::TwipsPerPixel <= 0) {
        return;
    }
    const Color pen = color.value_or(foreColor_);
    const int px1 = ToPixel(x1);
    const int py1 = ToPixel(y1);
    const int px2 = ToPixel(x2);
    const int py2 = ToPixel(y2);
    switch (shape) {
    case LineShape::Line:
        PixelLine(px1, py1, px2, py2, pen);
        break;
    case LineShape::Box:
        BoxOutline(px1, py1, px2, py2, pen);
        break;
    case LineShape::FilledBox:
        FillPixels(px1, py1, px2, py2, pen, true);
        break;
    }
    currentX_ = x2;
    currentY_ = y2;
}

void Surface::Circle(double x, double y, double radius, std::optional<Color> color)
{
    const int cx = ToPixel(x);
    const int cy = ToPixel(y);
    const int r = std::abs(ToPixel(radius));
    currentX_ = x;
    currentY_ = y;
    if (image_.isNull() || basic::TwipsPerPixel <= 0) {
        return;
    }
    QPainter painter(&image_);
    painter.setCompositionMode(CompositionFor(drawMode_));
    painter.setPen(QPen(QColor(ToRgb(color.value_or(foreColor_))), drawWidth_ > 1 ? drawWidth_ : 0));
    if (fillStyle_ == 0) {
        painter.setBrush(QColor(ToRgb(fillColor_)));
    }
    painter.drawEllipse(QRect(cx - r, cy - r, 2 * r, 2 * r));
}

void Surface::Print(std::string_view text)
{
    const FontHandle& handle = Font();
    const platform::Font& font = *handle;
    std::optional<GlyphBlender> blender;
    if (!image_.isNull() && basic::TwipsPerPixel > 0) {
        blender.emplace(image_, ToRgb(foreColor_));
    }
    for (const std::string_view line : SplitLines(text)) {
        const int x = ToPixel(currentX_);
        const int top = ToPixel(currentY_);
        if (!line.empty() && blender) {
            Shape& shape = Shapes().LaidOut(handle, line);
            const QPointF offset(0, font.ascent - shape.ascent);
            if (!shape.placed || !PlacementCurrent(*shape.placed)) {
                shape.placed = PlaceGlyphs(shape.runs, offset);
            }
            blender->Draw(shape.runs, offset, *shape.placed, x, top);
        }
        currentX_ = 0;
        currentY_ += ToTwips(font.cellHeight);
    }
}

double Surface::TextWidth(std::string_view text) const
{
    const FontHandle& font = Font();
    if (text.find('\n') == std::string_view::npos) {
        // One line, as nearly every measured text is.
        if (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
        }
        return ToTwips(Shapes().Advance(font, text));
    }
    int widest = 0;
    for (const std::string_view line : SplitLines(text)) {
        widest = std::max(widest, Shapes().Advance(font, line));
    }
    return ToTwips(widest);
}

double Surface::TextHeight(std::string_view text) const
{
    const auto lines = static_cast<int>(SplitLines(text).size());
    return ToTwips(lines * Font()->cellHeight);
}

bool Surface::BitBlt(int x, int y, int width, int height, const Surface& source, int sourceX, int sourceY, RasterOp op)
{
    return StretchBlt(x, y, width, height, source, sourceX, sourceY, width, height, op);
}

bool Surface::StretchBlt(int x, int y, int width, int height, const Surface& source, int sourceX, int sourceY,
                         int sourceWidth, int sourceHeight, RasterOp op)
{
    if (op != RasterOp::SrcCopy && op != RasterOp::SrcAnd && op != RasterOp::SrcInvert) {
        Log("BitBlt: raster operation " + std::to_string(static_cast<std::uint32_t>(op)) + " not supported");
        return false;
    }
    if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) {
        return true;
    }
    // A copy within one picture reads the source before anything is written.
    const QImage from = &source == this ? image_.copy() : source.image_;
    // Only the part that lands on this picture is walked.
    const int firstRow = static_cast<int>(std::clamp<long long>(-static_cast<long long>(y), 0, height));
    const int endRow = static_cast<int>(std::clamp<long long>(static_cast<long long>(PixelHeight()) - y, 0, height));
    const int firstColumn = static_cast<int>(std::clamp<long long>(-static_cast<long long>(x), 0, width));
    const int endColumn = static_cast<int>(std::clamp<long long>(static_cast<long long>(PixelWidth()) - x, 0, width));
    if (width == sourceWidth && height == sourceHeight) {
        CopyUnscaled(from, x, y, sourceX, sourceY, {firstColumn, firstRow, endColumn, endRow}, op);
        return true;
    }
    for (int row = firstRow; row < endRow; ++row) {
        const long long fromY = sourceY + static_cast<long long>(row) * sourceHeight / height;
        if (fromY < 0 || fromY >= from.height()) {
            continue;
        }
        auto* target = reinterpret_cast<QRgb*>(image_.scanLine(y + row));
        const auto* origin = reinterpret_cast<const QRgb*>(from.constScanLine(static_cast<int>(fromY)));
        for (int column = firstColumn; column < endColumn; ++column) {
            const long long fromX = sourceX + static_cast<long long>(column) * sourceWidth / width;
            if (fromX < 0 || fromX >= from.width()) {
                continue;
            }
            const QRgb pixel = origin[fromX];
            QRgb& to = target[x + column];
            switch (op) {
            case RasterOp::SrcCopy:
                to = pixel;
                break;
            case RasterOp::SrcAnd:
                to &= pixel;
                break;
            case RasterOp::SrcInvert:
                to = (to ^ pixel) | 0xFF000000u;
                break;
            }
        }
    }
    return true;
}

void Surface::CopyUnscaled(const QImage& from, int x, int y, int sourceX, int sourceY, const PixelRect& span,
                           RasterOp op)
{
    // The block transfers of every redraw: whole rows at a time, only the
    // part that exists on both pictures.
    const long long columnShift = static_cast<long long>(sourceX) - x;
    const int first = static_cast<int>(std::max<long long>(x + static_cast<long long>(span.left), -columnShift));
    const int end =
        static_cast<int>(std::min<long long>(x + static_cast<long long>(span.right), from.width() - columnShift));
    if (first >= end) {
        return;
    }
    // Rows are found from the first one, so the picture is made writable
    // once, not once a row.
    uchar* const targetBits = image_.bits();
    const qsizetype targetStride = image_.bytesPerLine();
    const uchar* const originBits = from.constBits();
    const qsizetype originStride = from.bytesPerLine();
    const int fromHeight = from.height();
    const int count = end - first;
    for (int row = span.top; row < span.bottom; ++row) {
        const long long fromY = sourceY + static_cast<long long>(row);
        if (fromY < 0 || fromY >= fromHeight) {
            continue;
        }
        auto* target = reinterpret_cast<QRgb*>(targetBits + (y + row) * targetStride) + first;
        const auto* origin = reinterpret_cast<const QRgb*>(originBits + fromY * originStride) + (first + columnShift);
        switch (op) {
        case RasterOp::SrcCopy:
            std::copy(origin, origin + count, target);
            break;
        case RasterOp::SrcAnd:
            for (int i = 0; i < count; ++i) {
                target[i] &= origin[i];
            }
            break;
        case RasterOp::SrcInvert:
            for (int i = 0; i < count; ++i) {
                target[i] = (target[i] ^ origin[i]) | 0xFF000000u;
            }
            break;
        }
    }
}

void Surface::MoveToEx(int x, int y)
{
    penX_ = LimitCoordinate(x);
    penY_ = LimitCoordinate(y);
}

void Surface::LineTo(int x, int y)
{
    x = LimitCoordinate(x);
    y = LimitCoordinate(y);
    PixelLine(penX_, penY_, x, y, foreColor_);
    penX_ = x;
    penY_ = y;
}

Color Surface::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= PixelWidth() || y >= PixelHeight()) {
        return ColorInvalid;
    }
    return FromRgb(image_.pixel(x, y));
}

bool Surface::SetPixelV(int x, int y, Color color)
{
    if (x < 0 || y < 0 || x >= PixelWidth() || y >= PixelHeight()) {
        return false;
    }
    image_.setPixel(x, y, ToRgb(color));
    return true;
}

void Surface::EdgeRing(const PixelRect& rect, unsigned flags, Color topLeft, Color bottomRight)
{
    const int right = rect.right - 1;
    const int bottom = rect.bottom - 1;
    if (right < rect.left || bottom < rect.top) {
        return;
    }
    // The shadow sides run the full length, so they own the two corners where
    // light and shadow meet.
    if ((flags & EdgeLeft) != 0) {
        FillPixels(rect.left, rect.top, rect.left, bottom - 1, topLeft, false);
    }
    if ((flags & EdgeTop) != 0) {
        FillPixels(rect.left, rect.top, right - 1, rect.top, topLeft, false);
    }
    if ((flags & EdgeRight) != 0) {
        FillPixels(right, rect.top, right, bottom, bottomRight, false);
    }
    if ((flags & EdgeBottom) != 0) {
        FillPixels(rect.left, bottom, right, bottom, bottomRight, false);
    }
}

bool Surface::DrawEdge(const PixelRect& rect, unsigned edge, unsigned flags)
{
    const bool soft = (flags & EdgeSoft) != 0;
    std::optional<std::pair<Color, Color>> outer;
    if ((edge & EdgeRaisedOuter) != 0) {
        outer.emplace(GetSysColor(soft ? ColorBtnHighlight : Color3dLight), GetSysColor(Color3dDkShadow));
    } else if ((edge & EdgeSunkenOuter) != 0) {
        outer.emplace(GetSysColor(soft ? Color3dDkShadow : ColorBtnShadow), GetSysColor(ColorBtnHighlight));
    }
    std::optional<std::pair<Color, Color>> inner;
    if ((edge & EdgeRaisedInner) != 0) {
        inner.emplace(GetSysColor(soft ? Color3dLight : ColorBtnHighlight), GetSysColor(ColorBtnShadow));
    } else if ((edge & EdgeSunkenInner) != 0) {
        inner.emplace(GetSysColor(soft ? ColorBtnShadow : Color3dDkShadow), GetSysColor(Color3dLight));
    }
    PixelRect ring = rect;
    if (outer) {
        EdgeRing(ring, flags, outer->first, outer->second);
        ring = {ring.left + 1, ring.top + 1, ring.right - 1, ring.bottom - 1};
    }
    if (inner) {
        EdgeRing(ring, flags, inner->first, inner->second);
    }
    return true;
}

} // namespace platform
