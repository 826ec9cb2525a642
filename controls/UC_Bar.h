#pragma once

#include "platform/Surface.h"

#include <QWidget>

#include <functional>
#include <string>
#include <string_view>

namespace controls {

class SurfaceBox;
struct PointerEvent;

// A horizontal position bar: a sunken frame whose filled part shows Value out
// of Max, with an optional centred text. Clicking or dragging seeks: the bar
// turns the mouse position into a value and reports it, and while the mouse
// holds it, values written by the program are ignored, so that periodic
// position updates do not fight the operator's drag.
class UC_Bar final : public QWidget {
public:
    explicit UC_Bar(QWidget* parent = nullptr);
    ~UC_Bar() override;
    UC_Bar(const UC_Bar&) = delete;
    UC_Bar& operator=(const UC_Bar&) = delete;

    // Prepares the empty and the filled band and draws an empty bar; Max
    // becomes 1000.
    void Init();
    void SetStyle(float fontSize, bool fontBold, std::string_view fontName, platform::Color foreColor);
    // Draws the bar filled up to x (twips from the left edge).
    void Draw(double x);

    void SetMax(int max) { max_ = max; }
    int Max() const { return max_; }
    void SetLocked(int locked) { locked_ = locked; }
    // 0 takes the system button shadow; used from the next Init.
    void SetBarColor(platform::Color colour) { barColor_ = colour; }
    void SetNoGrad(int flat) { noGrad_ = flat; }
    // A new text shows at once on a bar drawn before, at the value it shows;
    // a bar not drawn yet shows it when it is first drawn.
    void SetTextToDisp(std::string_view text);
    const std::string& TextToDisp() const { return textToDisp_; }
    bool Clicked() const { return clicked_; }
    // Ignored while the bar is held; otherwise limited to 0..Max and drawn.
    void SetValue(int value);
    int Value() const { return value_; }

    // The visible bar.
    const platform::Surface& Picture() const;

    // Left button pressed (true) or released (false); Value already follows.
    std::function<void(bool& isDown)> MouseUD;
    std::function<void()> Scrolled;
    // Another button released on the bar; always false.
    std::function<void(bool& isDown)> RightClicked;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    double InnerWidth() const;
    double InnerHeight() const;
    void ValueFromMouse(double x);

    void OnPointer(const PointerEvent& event);
    void OnMouseDown(int button, int shift, double x, double y);
    void OnMouseMove(int button, int shift, double x, double y);
    void OnMouseUp(int button, int shift, double x, double y);

    SurfaceBox* face_;
    platform::Surface grad_;

    int value_ = 0;
    int max_ = 1000;
    double trackWidth_ = 0;
    bool clicked_ = false;
    std::string textToDisp_;
    int locked_ = 0;
    platform::Color barColor_ = 0;
    int noGrad_ = 0;
    bool prepared_ = false;
    double lastMoveX_ = 0;
    // What the face shows: a position update that would draw the same
    // picture again (the same pixel, text, size and style) draws nothing.
    struct Drawn {
        bool valid = false;
        int end = 0;
        int from = 0;
        std::string text;
        QSize size;
    };
    Drawn drawn_;
    bool drawnOnce_ = false;
    double drawnX_ = 0; // the fill's end (twips) of the last drawing
    platform::PixelRect frame_{};
};

} // namespace controls
