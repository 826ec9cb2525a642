#pragma once

#include "controls/SurfaceBox.h"
#include "platform/Surface.h"
#include "platform/WindowTimer.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

// An owner-drawn linear slider: a track with a draggable pointer and, unless
// NoArrow, two arrow buttons that step the value by SmallChange, once on the
// press and then every 200 ms while held. Lengths are twips. The owner sets
// orientation, flags, bounds and PointerSize, sizes the control, calls Init,
// then sets Value (the first assignment draws the pointer); after a resize it
// calls Init again.
class UC_Slider final : public QWidget {
public:
    explicit UC_Slider(QWidget* parent = nullptr);

    // Lays out the track and arrows, paints the arrows, then runs Init2.
    void Init();
    // Recomputes the track length and paints the pointer image.
    void Init2();

    void SetIsVertical(std::int32_t vertical) { isVertical_ = vertical; }
    // Any value also sets Disabletrim.
    void SetNoArrow(std::int32_t noArrow);
    void SetNoGrad(std::int32_t noGrad) { noGrad_ = noGrad; }
    // The arrows ignore the mouse and get no glyphs.
    void SetDisabletrim(bool disabled) { disableTrim_ = disabled; }
    // Every mouse action is ignored and raises nothing.
    void SetRefuseInput(bool refuse) { refuseInput_ = refuse; }
    void SetCenterLined(bool centerLined) { centerLined_ = centerLined; }

    std::int32_t SmallChange() const { return smallChange_; }
    void SetSmallChange(std::int32_t step) { smallChange_ = step; }
    std::int32_t LargeChange() const { return largeChange_; }
    void SetLargeChange(std::int32_t step) { largeChange_ = step; }

    // The pointer's length along the slider (twips); setting it recomputes
    // the track length without drawing.
    std::int32_t PointerSize() const { return pointerSize_; }
    void SetPointerSizeTwips(std::int32_t twips);
    // The pointer as a fraction of the track (1 or more means 0.95), at least
    // 8 pixels; the pointer image is rebuilt and shows at the next value.
    void SetPointerSize(float fraction);

    // Bounds: neither clamps nor draws the current value.
    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t max) { max_ = max; }
    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t min) { min_ = min; }

    // True from a press on the track or an arrow until its release.
    bool Clicked() const { return clicked_; }

    std::int32_t Value() const { return value_; }
    // Clamps to Min..Max and draws the pointer there; nothing while Max = Min.
    void SetValue(std::int32_t value) { SetValueDraw(value); }

    // Takes the value from a pointer position (twips from the track's start)
    // and draws; nothing while Max = Min or the track has no length.
    void Draw(std::int32_t position);

    // Where the pointer was drawn last (twips from the track's start).
    double PointerPosition() const { return pointerPosition_; }
    // Length the pointer can travel (twips).
    double TrackLength() const { return trackLength_; }

    std::function<void(bool isDown, int button)> MouseUD;
    std::function<void(int button)> Scrolled;
    std::function<void()> DblClicked;

private:
    bool Vertical() const { return isVertical_ != 0; }
    double TrackAlong() const { return Vertical() ? trackHeight_ : trackWidth_; }
    void MeasureTrack();
    void PaintFace(platform::Surface& surface) const;
    void SetValueDraw(std::int64_t value);
    void DrawPointer(double position);
    void DrawArrow(int index, bool pressed);
    void Step();
    void OnTrackPointer(const controls::PointerEvent& event);
    void OnArrowPointer(int index, const controls::PointerEvent& event);
    void PressArrow(int index);
    void RaiseScrolled();

    controls::SurfaceBox* pictureSlider_;
    std::array<controls::SurfaceBox*, 2> pictureArrow_{};
    platform::Surface pictureGrad_;
    std::array<platform::Surface, 2> pictureSrc_;
    platform::WindowTimer timerCheck_;

    std::int32_t value_ = 0;
    std::int32_t max_ = 1000;
    std::int32_t min_ = 0;
    double trackWidth_ = 0;
    double trackHeight_ = 0;
    double trackLength_ = 0;
    std::int32_t pointerSize_ = 480;
    std::int32_t smallChange_ = 10;
    std::int32_t largeChange_ = 0;
    std::int32_t isVertical_ = 0;
    std::int32_t noArrow_ = 0;
    std::int32_t noGrad_ = 0;
    bool disableTrim_ = false;
    bool refuseInput_ = false;
    bool centerLined_ = false;
    bool clicked_ = false;
    std::array<platform::Color, 3> pointerColours_{};
    int glyphWidth_ = 6;
    int glyphHeight_ = 10;
    int maskRow_ = 10;
    std::array<int, 2> glyphX_{};
    std::array<int, 2> glyphY_{};
    double pointerPosition_ = 0;
    double grabOffset_ = 0;
    double lastCoordinate_ = 0;
    std::array<int, 2> held_{};
};
