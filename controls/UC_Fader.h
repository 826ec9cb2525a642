#pragma once

#include "controls/SurfaceBox.h"
#include "platform/Surface.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

// An owner-drawn vertical stereo fader: two knobs in two columns of one track,
// moving apart or, when linked, as one wide knob. Top is Max, bottom Min.
// Positions are twips from the top of the track. The owner sets FaderType (or
// Max and Min), ShowLR and PointerSize or the knob pictures, calls Init, then
// sets the values. While Locked the control ignores the mouse and the value
// setters and raises nothing.
class UC_Fader final : public QWidget {
public:
    explicit UC_Fader(QWidget* parent = nullptr);
    ~UC_Fader() override;

    // 0: 0..255; 1: 0..1000; other types leave the bounds as they are.
    void SetFaderType(std::int32_t type);

    // Measures the track, makes and paints the knobs when asked (knobStyle is
    // a background style), paints the track and keeps a copy of it.
    void Init(std::int32_t makeKnobs, std::int32_t knobStyle);

    // Knob height in twips.
    std::int32_t PointerSize() const;
    void SetPointerSize(std::int32_t twips);

    // Linked for good: right clicks no longer toggle and Linked 0 is ignored.
    void LockLinked();

    std::int32_t Max() const { return max_; }
    void SetMax(std::int32_t max);
    std::int32_t Min() const { return min_; }
    void SetMin(std::int32_t min);

    std::int32_t Linked() const { return linked_; }
    // Redraws both knobs.
    void SetLinked(std::int32_t linked);
    std::int32_t Locked() const { return locked_; }
    void SetLocked(std::int32_t locked) { locked_ = locked; }
    // Links the knobs and sets the link lock: 1 as LockLinked; any other
    // non-zero value keeps right clicks from toggling but lets the owner unlink.
    void SetLinkDisabled(std::int32_t lock);
    // "L" and "R" under the columns, taking room from the track at Init.
    void SetShowLR(std::int32_t show) { showLR_ = show; }
    // 1 while a press is held.
    std::int32_t Clicked() const { return clicked_; }

    // The knob pictures: A, one column wide; B, both columns wide. They must
    // live as long as the control uses them (those Init makes do).
    void SetKnobPicA(const platform::Surface& picture);
    void SetKnobPicB(const platform::Surface& picture);

    std::int32_t ValueL() const { return valueL_; }
    void SetValueL(std::int32_t value);
    std::int32_t ValueR() const { return valueR_; }
    void SetValueR(std::int32_t value);

    // Sets the value of the left (0), right (1) or both (2) knobs from a knob
    // position and draws; nothing while Max = Min or the track has no length.
    void Draw(std::int32_t position, std::int32_t which);

    std::int32_t TrackLength() const { return trackLength_; }

    std::function<void()> LevelChanged;
    std::function<void()> Hovered;
    std::function<void()> DblClicked;
    std::function<void(std::int32_t changeL, std::int32_t changeR, std::int32_t mode)> AltChanged;
    std::function<void(int button, int shift, double x, double y)> MouseUp;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::int64_t Range() const { return static_cast<std::int64_t>(max_) - min_; }
    void FillControl();
    void RecomputeTrackLength();
    void SetValue(std::int32_t value, std::int32_t which);
    void DrawValues();
    void DrawGroove(platform::Surface& picture, double centreTwips) const;
    void OnPointer(const controls::PointerEvent& event);
    void MoveKnob(int buttons, int shift, double x, double y);

    controls::SurfaceBox* picFader_;
    platform::Surface savedTrack_;

    std::int32_t max_ = 0;
    std::int32_t min_ = 0;
    int knobHeight_ = 0;
    int knobAWidth_ = 0;
    int knobBWidth_ = 0;
    std::int32_t centreL_ = 0;
    std::int32_t centreR_ = 0;
    int knobBCentre_ = 0;
    std::int32_t valueL_ = 0;
    std::int32_t valueR_ = 0;
    std::int32_t clicked_ = 0;
    std::int32_t linkLock_ = 0;
    std::int32_t showLR_ = 0;
    std::int32_t locked_ = 0;
    std::int32_t linked_ = 0;
    const platform::Surface* knobA_ = nullptr;
    const platform::Surface* knobB_ = nullptr;
    std::unique_ptr<platform::Surface> picKnobA_;
    std::unique_ptr<platform::Surface> picKnobB_;
    double lastX_ = 0;
    double lastY_ = 0;
    double lastDrawn_ = 0;
    double grabOffset_ = 0;
    double pressX_ = 0;
    double trackHeight_ = 0;
    std::int32_t trackLength_ = 0;
    bool altMode_ = false;
};
