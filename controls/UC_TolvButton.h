#pragma once

#include "controls/CharacterWrap.h"
#include "platform/DragData.h"
#include "platform/Surface.h"
#include "platform/SysColors.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {
class DropTarget;
} // namespace platform

namespace controls {

class SurfaceBox;
struct PointerEvent;

// One sound button: a lamp cell showing the play state, up to six short
// texts, a face colour or picture, a pressed look, and mouse, drag-out and
// drop reporting. The owner hands it three pictures (the whole-button
// background, the face of the text area and the strip of lamp cells) and the
// button copies from them on every Draw. Positions are twips.
class UC_TolvButton final : public QWidget {
public:
    static constexpr int TextSlots = 6;

    explicit UC_TolvButton(QWidget* parent = nullptr);
    ~UC_TolvButton() override;
    UC_TolvButton(const UC_TolvButton&) = delete;
    UC_TolvButton& operator=(const UC_TolvButton&) = delete;

    // Sizes the picture to the control and lays out the text area, the lamp
    // and the title column; after the layout type and the fonts of slots 0
    // and 1 are set, and after every resize.
    void Init();
    // Redraws the whole button; pressed moves the text area down that many
    // pixels.
    void Draw(int pressed);

    // 0: a tall lamp at the left and the title lines in a column beside it;
    // 1: a wide lamp at the top left and one title line beside it.
    void SetButtonType(int type) { buttonType_ = type; }
    void SetActivated(int cell) { activated_ = cell; }
    int Activated() const { return activated_; }
    void SetLocked(int locked) { locked_ = locked; }
    void SetNormalColor(platform::Color colour) { normalColor_ = colour; }
    void SetAlert(int alert) { alert_ = alert; }
    void SetAlertColor(platform::Color colour) { alertColor_ = colour; }
    // 0 shows the face picture in the text area.
    void SetBGColor(platform::Color colour) { bgColor_ = colour; }
    // Slots 1..3 are the title lines, 4 the bottom right, 5 the bottom left,
    // 0 the wrapped text at the top left. No redraw.
    void SetText(int index, std::string_view text);
    // The text of a slot ("" for none).
    std::string Text(int index) const;
    // The next Draw looks the slot's font up again.
    void SetFont(int index, float size, bool bold);

    // The pictures copied from; null leaves that part undrawn. They belong to
    // the owner and must outlive their use here.
    void SetPicHDC(const platform::Surface* background) { picHdc_ = background; }
    void SetPic2HDC(const platform::Surface* face) { pic2Hdc_ = face; }
    void SetSelHDC(const platform::Surface* lamps) { selHdc_ = lamps; }
    QWidget* CtrlhWnd() const;

    // The picture the button draws on.
    const platform::Surface& Picture() const;

    // Mouse button (1 left, 2 right, 4 middle), down or up, and the area hit:
    // 0 the text area, 1 the lamp area.
    std::function<void(int& buttonIndex, bool& isDown, int& buttonType)> MouseUD;
    std::function<void(platform::DragData& data)> OLEDropped;
    // Fills the data of a drag out of the button and the effects it allows;
    // shift is the Shift state when the drag began.
    std::function<void(platform::DragData& data, int& allowedEffects, int& shift)> OLEStartDrag;
    std::function<void()> OLEDragOver;
    // The drag out of the button ended with this effect (none: nobody took it).
    std::function<void(int effect)> OLECompleteDrag;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Slot {
        std::string text;
        int fontIndex = -1; // -1 not looked up yet, -3 lookup failed
        float size = 9.0f;
        bool bold = false;
    };

    void SelectFont(int index);
    double HeightFactor(int index) const;
    bool InTextArea(double x, double y) const;
    void DrawLamp(platform::Surface& picture) const;
    void DrawTitle(platform::Surface& picture, double height);
    void DrawTextArea(platform::Surface& picture, int pressed) const;
    double DrawCorner(platform::Surface& picture, int index, bool right, int pressed);
    void DrawWrapped(platform::Surface& picture, double reserve, int pressed);

    void OnPointer(const PointerEvent& event);
    void OnMouseDown(int button, int shift, double x, double y);
    void OnMouseMove(int button, int shift, double x, double y);
    void OnMouseUp(int button, int shift, double x, double y);
    void StartOleDrag();

    SurfaceBox* picture_;
    platform::DropTarget* dropTarget_;

    double textTop_ = 0;
    double textLeft_ = 0;
    double textWidth_ = 0;
    double textHeight_ = 0;
    double lampTop_ = 0;
    int buttonType_ = 0;
    const platform::Surface* picHdc_ = nullptr;
    const platform::Surface* selHdc_ = nullptr;
    const platform::Surface* pic2Hdc_ = nullptr;
    std::array<Slot, TextSlots> slots_{};
    int activated_ = 0;
    platform::Color normalColor_ = 0xFFFFFF;
    platform::Color bgColor_ = 0;
    int alert_ = 0;
    platform::Color alertColor_ = 0x3030C0;
    int lastButton_ = 0;
    double lastX_ = 0;
    double lastY_ = 0;
    bool down_ = false;
    int pressArea_ = 0; // 1 text area, 2 lamp area
    int locked_ = 0;
    int textLeftWhole_ = 0;
    int textTopWhole_ = 0;
    int titleCentre_ = 0;
    int dragShift_ = 0;

    struct WrapMemo {
        std::string text;
        int fontIndex = -1;
        double width = 0;
        WrappedText wrapped;
    };
    WrapMemo wrapMemo_;

    // Everything a drawing depends on, the owner's pictures by their content.
    struct SlotLook {
        std::string text;
        float size = 0;
        bool bold = false;
        bool fontFailed = false;
        bool operator==(const SlotLook&) const = default;
    };
    struct DrawInputs {
        int pressed = 0;
        int buttonType = 0;
        int activated = 0;
        platform::Color normalColor = 0;
        platform::Color bgColor = 0;
        int alert = 0;
        platform::Color alertColor = 0;
        int width = 0;
        int height = 0;
        int twipsPerPixel = 0;
        std::array<double, 5> layout{};
        int titleCentre = 0;
        std::array<const platform::Surface*, 3> pictures{};
        std::array<std::int64_t, 3> pictureContents{};
        std::array<SlotLook, TextSlots> slotLooks{};
        int fontCount = 0;
        bool operator==(const DrawInputs&) const = default;
    };
    struct Drawing {
        bool valid = false;
        DrawInputs inputs;
        // A copy of its own, so the visible picture never has to part from
        // shared pixels (and its paint engine) to be drawn on again.
        platform::Surface picture{0, 0};
    };
    DrawInputs CurrentInputs(int pressed) const;
    // The last drawing up and the last one pressed: a redraw that changes
    // nothing only copies it.
    std::array<Drawing, 2> drawings_;
};

} // namespace controls
