#pragma once

#include "platform/DrawingTypes.h"
#include "platform/Font.h"
#include "platform/FontTarget.h"
#include "platform/SysColors.h"
#include "platform/base/TextMeasure.h"

#include <QImage>

#include <optional>
#include <string_view>

namespace platform {

// A picture that keeps what is drawn on it, with the drawing state and
// operations of a picture box: pen and fill, background colour, font, print
// position and the pixel operations. Lengths of the picture-box operations are
// twips, converted with basic::TwipsPerPixel; the pixel operations take
// pixels. Pixel rules: a line leaves out its end point, a filled box includes
// both corners, text is drawn without a background.
class Surface final : public TextMeasure, public FontTarget {
public:
    explicit Surface(int widthPx = 1, int heightPx = 1);

    // Size. Growing keeps the picture at the top left and fills the new part
    // with the background colour.
    int PixelWidth() const { return image_.width(); }
    int PixelHeight() const { return image_.height(); }
    void Resize(int widthPx, int heightPx);
    double Width() const;
    double Height() const;
    double ScaleWidth() const { return Width(); }
    double ScaleHeight() const { return Height(); }

    // Replaces the picture by a loaded one (an icon library, a splash image)
    // and takes its size.
    void SetPicture(const QImage& picture);
    const QImage& Image() const { return image_; }

    // Colours may be system colours (&H800000xx); they are looked up when used.
    Color ForeColor() const { return foreColor_; }
    void SetForeColor(Color color) { foreColor_ = color; }
    Color BackColor() const { return backColor_; }
    // Setting the background colour clears the picture to it.
    void SetBackColor(Color color);
    Color FillColor() const { return fillColor_; }
    void SetFillColor(Color color) { fillColor_ = color; }
    // 0 fills boxes and circles with FillColor; 1 (the default) leaves them open.
    int FillStyle() const { return fillStyle_; }
    void SetFillStyle(int style) { fillStyle_ = style; }
    int DrawWidth() const { return drawWidth_; }
    void SetDrawWidth(int width);
    platform::DrawMode DrawMode() const { return drawMode_; }
    void SetDrawMode(platform::DrawMode mode) { drawMode_ = mode; }

    // Print position in twips.
    double CurrentX() const { return currentX_; }
    void SetCurrentX(double twips) { currentX_ = twips; }
    double CurrentY() const { return currentY_; }
    void SetCurrentY(double twips) { currentY_ = twips; }

    const FontHandle& Font() const;
    void SetFont(const FontHandle& font);
    void ApplyFont(const FontHandle& font) override { SetFont(font); }

    // Picture-box operations, in twips.
    // Clears to the background colour and moves the print position home.
    void Cls();
    // Without a colour the line takes ForeColor; the print position moves to
    // the second point.
    void Line(double x1, double y1, double x2, double y2, std::optional<Color> color = std::nullopt,
              LineShape shape = LineShape::Line);
    void Circle(double x, double y, double radius, std::optional<Color> color = std::nullopt);
    // Prints at the print position in ForeColor, then moves to the start of
    // the next line.
    void Print(std::string_view text);
    double TextWidth(std::string_view text) const override;
    double TextHeight(std::string_view text) const;

    // Device operations, in pixels.
    bool BitBlt(int x, int y, int width, int height, const Surface& source, int sourceX, int sourceY, RasterOp op);
    bool StretchBlt(int x, int y, int width, int height, const Surface& source, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight, RasterOp op);
    // Lines drawn from the pen position with ForeColor, DrawWidth and DrawMode.
    void MoveToEx(int x, int y);
    void LineTo(int x, int y);
    // ColorInvalid outside the picture.
    Color GetPixel(int x, int y) const;
    bool SetPixelV(int x, int y, Color color);
    // A bevelled rectangle in the system button colours.
    bool DrawEdge(const PixelRect& rect, unsigned edge, unsigned flags);

private:
    int ToPixel(double twips) const;
    double ToTwips(int pixels) const;
    void PixelLine(int x1, int y1, int x2, int y2, Color color);
    // span: the columns and rows (relative to x, y) that land on this picture.
    void CopyUnscaled(const QImage& from, int x, int y, int sourceX, int sourceY, const PixelRect& span, RasterOp op);
    void FillPixels(int left, int top, int right, int bottom, Color color, bool withDrawMode);
    void PlotPixel(int x, int y, unsigned rgb);
    void BoxOutline(int x1, int y1, int x2, int y2, Color color);
    void EdgeRing(const PixelRect& rect, unsigned flags, Color topLeft, Color bottomRight);

    Color foreColor_ = 0;
    Color backColor_ = SystemColor(ColorBtnFace);
    QImage image_;
    Color fillColor_ = 0;
    int fillStyle_ = 1;
    int drawWidth_ = 1;
    platform::DrawMode drawMode_ = platform::DrawMode::CopyPen;
    double currentX_ = 0;
    double currentY_ = 0;
    mutable FontHandle font_;
    int penX_ = 0;
    int penY_ = 0;
};

} // namespace platform
