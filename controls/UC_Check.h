#pragma once

#include "controls/SurfaceBox.h"
#include "platform/Surface.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// An owner-drawn check box, or option button (IsOption): a small sunken box at
// the left, the caption to its right, a tick or a dot when Value is 1. It can
// draw over a piece of its owner's background picture (SetBGPic) to blend
// with a painted window, and several check boxes can share one box image
// through Gradhdc. Nothing is built or drawn while TwipsPerPixel is 0.
class UC_Check final : public QWidget {
public:
    explicit UC_Check(QWidget* parent = nullptr);
    ~UC_Check() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    const std::string& Caption() const { return caption_; }
    // Rebuilds the face (font, width, box) and draws.
    void SetCaption(std::string_view caption);
    // Both are used by the next face build.
    void SetFontSize(float points) { fontSize_ = points; }
    void SetSizeRate(float rate) { sizeRate_ = rate; }
    std::int32_t Value() const { return value_; }
    void SetValue(std::int32_t value);
    // The box image in use; setting another check box's image shares it (a
    // null one is ignored). A box image made by a check box stays alive while
    // any check box shares it; another picture must outlive its use here.
    platform::Surface* Gradhdc() const { return gradHdc_; }
    void SetGradhdc(platform::Surface* boxImage);
    std::int32_t IsOption() const { return isOption_; }
    void SetIsOption(std::int32_t isOption) { isOption_ = isOption; }
    // The owner's picture behind the control and the control's offset in it
    // (twips). The picture must live until CloseBGObj.
    void SetBGPic(std::int32_t x, std::int32_t y, const platform::Surface* picture);
    // Forgets the background picture; the control then draws on its plain
    // background colour.
    void CloseBGObj() { bgPicture_ = nullptr; }
    void Draw();

    // Raised after every click, also when an option button was already set.
    std::function<void()> Click;

private:
    std::int32_t BoxSide() const;
    void BuildFace();
    void OnPointer(const controls::PointerEvent& event);

    controls::SurfaceBox* face_;
    bool enabled_ = true;
    std::string caption_;
    std::int32_t value_ = 0;
    std::int32_t isOption_ = 0;
    std::int32_t faceBuilt_ = 0;
    std::int32_t boxTop_ = 0;
    std::int32_t captionTop_ = 0;
    std::int32_t bgX_ = 0;
    std::int32_t bgY_ = 0;
    std::int32_t bgFlag_ = 0;
    const platform::Surface* bgPicture_ = nullptr;
    float fontSize_ = 9.0f;
    float sizeRate_ = 1.0f;
    platform::Surface* gradHdc_ = nullptr;
    // The box image this control made, and the one shared from another.
    std::shared_ptr<platform::Surface> boxPicture_;
    std::shared_ptr<platform::Surface> sharedBox_;
    bool pressed_ = false;
};
