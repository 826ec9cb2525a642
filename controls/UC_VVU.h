#pragma once

#include "platform/Surface.h"

#include <QWidget>

namespace controls {

class SurfaceBox;
struct PointerEvent;

// A vertical level meter on the fader's scale (its top is 0 dB). Init paints
// the fully lit meter (green, red above the red point) and a small peak-mark
// band once; DrawVU only copies the part between the bottom and the level,
// plus the peak mark, onto the control or into a picture the caller gives.
// Sizes are pixels.
class UC_VVU final : public QWidget {
public:
    explicit UC_VVU(QWidget* parent = nullptr);
    ~UC_VVU() override;
    UC_VVU(const UC_VVU&) = delete;
    UC_VVU& operator=(const UC_VVU&) = delete;

    // dB where the red zone begins; used from the next Init.
    void SetRedPoint(float db) { redPoint_ = db; }
    float RedPoint() const { return redPoint_; }
    void Init();
    // Adds the picture at (x, y) of source onto the lit meter, channel by
    // channel (a scale drawn over the meter, say); after Init.
    void MergePic(const platform::Surface* source, int x, int y);
    void ClearVU();
    // target null draws on the control itself (cleared first); otherwise into
    // target at (x, y), over what the caller painted there.
    void DrawVU(float levelDb, float peakDb, platform::Surface* target, int x, int y);

    // The visible meter, and the prepared picture.
    const platform::Surface& Picture() const;
    const platform::Surface& LitPicture() const { return pic_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The row of a level on this meter: 0 at 0 dB, the meter height at the
    // bottom of the curve, negative above 0 dB.
    int RowOf(double levelDb) const;

    SurfaceBox* face_;
    platform::Surface pic_;
    int meterHeight_ = 0;
    int meterWidth_ = 0;
    float redPoint_ = -20.0f;
};

} // namespace controls
