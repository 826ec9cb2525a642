#pragma once

#include "platform/Form.h"
#include "platform/Surface.h"

#include <array>
#include <cstdint>
#include <functional>

class FadeWindowHost;
class UC_Check;
namespace controls {
class SurfaceBox;
struct PointerEvent;
} // namespace controls

// The fade settings window: the fade-out of the sound that plays and the
// fade-in of the next one drawn as two lines on a time scale of 2 ms per
// twip, with three handles that set the fade-out time (handle 1), the fade-in
// offset (handle 2) and the fade-in time (handle 0). Every change is stored
// in parms::FOTime, FIOffset and FITime at once and handed to the main
// window. Key releases go on to the main window.
class FrmFade final : public platform::Form {
public:
    // Size of the drawing and of a handle, twips.
    static constexpr int SurfaceWidth = 6135;
    static constexpr int SurfaceHeight = 1935;
    static constexpr int HandleSide = 150;
    // Left edge of handle 1 at which the fade-out ends (fade-out time 0).
    static constexpr int FadeOutEnd = 3600;
    // Vertical place of the handles 0, 1, 2 (left edge of their top).
    static constexpr std::array<int, 3> HandleTop{600, 345, 1725};
    // Grey of the lines, as &HBBGGRR.
    static constexpr platform::Color LineColor = 0xA0A0A0;

    FrmFade(FadeWindowHost& host, QWidget* owner);
    ~FrmFade() override;
    FrmFade(const FrmFade&) = delete;
    FrmFade& operator=(const FrmFade&) = delete;

    // Places the window and the handles from the stored times and draws.
    void Form_Load();

    // Redraws the curve, recomputes and stores the three times, hands them to
    // the main window and prints them.
    void DrawLines();
    // One drag step of handle index with the pointer at x twips inside it.
    void DragHandle(int index, double x);
    // All three times to 0.
    void PictureFade_DblClick();

    // Left edge of handle index, twips.
    std::int32_t HandleLeft(int index) const { return left_.at(static_cast<std::size_t>(index)); }
    controls::SurfaceBox& PictureFade() { return *pictureFade_; }
    controls::SurfaceBox& PicturePoint(int index) { return *pictures_.at(static_cast<std::size_t>(index)); }
    UC_Check& CheckAutoSel() { return *checkAutoSel_; }

    // Called at the end of the unload, when the times and the window
    // position are saved.
    std::function<void()> AfterUnload;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnHandlePointer(int index, const controls::PointerEvent& event);
    void PlaceHandles();
    void DrawHandle(int index);
    void Unloading();

    FadeWindowHost& host_;
    platform::Surface picture_;
    controls::SurfaceBox* pictureFade_;
    std::array<controls::SurfaceBox*, 3> pictures_{};
    UC_Check* checkAutoSel_;
    std::array<std::int32_t, 3> left_{FadeOutEnd, FadeOutEnd, FadeOutEnd};
};
