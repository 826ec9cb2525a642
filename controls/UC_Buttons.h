#pragma once

#include "platform/Surface.h"

#include <QWidget>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace controls {

class SurfaceBox;
struct PointerEvent;

// A row of equal push buttons drawn by the control: transport buttons with
// icons from its icon library, page buttons with numbers, "OK"/"キャンセル"
// pairs. A button can be pressed, latched on, selected and disabled; clicks,
// right clicks, Shift clicks, presses and hovering are reported by events.
// Sizes are pixels unless twips are named.
class UC_Buttons final : public QWidget {
public:
    explicit UC_Buttons(QWidget* parent = nullptr);
    ~UC_Buttons() override;
    UC_Buttons(const UC_Buttons&) = delete;
    UC_Buttons& operator=(const UC_Buttons&) = delete;

    // The icon library, so that a window can draw the same icons elsewhere.
    const platform::Surface* PiclibHdc() const { return &icons_; }

    // At least one; every button starts afresh (no redraw).
    void SetNumButtons(int count);
    int NumButtons() const { return static_cast<int>(cells_.size()); }
    // The width of the pieces at both ends of the row; -1 lets Init choose.
    void SetMimiWidth(int width) { mimiWidth_ = width; }
    // Face style 0..3, 4 plain; 1 also makes lit captions white.
    void SetDesignType(int design);

    // Lays the row out, paints the faces and draws every button.
    void Init();
    void DrawAll();
    // State 0 up, 1 pressed, 2 on. The row keeps the state, so that a
    // button it shows pressed under the mouse gets its own look back on the
    // release; a click changes a button's look only through its owner.
    void DrawButton(int index, int state);

    // Which non-zero reads or writes the second, independent disable flag.
    int GetButtonDisable(int index, int which) const;
    void SetButtonDisable(int index, int value, int redraw, int which);
    // Redraws only the buttons without a lit icon.
    void SetButtonDisableAll(int value, int which);
    void SetNoGrayAtDisabled(int keep) { noGrayAtDisabled_ = keep; }
    void SetButtonState(int index, int state);
    void ToolTip(std::string_view text);
    void SetPicIndexa(int index, int icon);
    void SetPicIndexn(int index, int icon);

    // Icon presets; Init follows.
    void SetButtonsMCI();
    void SetButtonsPCXplay();
    void SetButtonsEditorCtrl();
    void SetButtonsEditorPlay();

    void SetDisable3D(int off) { disable3D_ = off; }
    // Two caption buttons "OK" and "キャンセル" (OK first when okFirst is not
    // 0), sized to 2400 x 330 twips unless keepSize, then laid out.
    void SetOKCancel(int okFirst, int keepSize, int designType);

    void SetFontSize(float size);
    void SetFontFace(std::string_view face);
    void SetFontBold(bool bold);
    void SetSelectedColor(platform::Color colour);
    int SelectedButton() const { return selectedButton_; }
    // Redraws the button that was selected and the one that now is.
    void SetSelectedButton(int index);

    // Makes the button a caption button (no redraw).
    void SetButtonChar(int index, std::string_view text);
    std::string GetButtonChar(int index) const;
    void SetButtonOn(int index, int value, int redraw);
    int GetButtonOn(int index) const;
    // Captions "1", "2", ... on every button.
    void SetButtonCharNum();

    // The visible row.
    const platform::Surface& Picture() const;
    QWidget* PictureWidget() const;

    std::function<void(int& clickedIndex)> ButtonClicked;
    std::function<void(int& clickedIndex)> RightClicked;
    // shift carries the mouse event's shift mask (1 Shift, 2 Ctrl, 4 Alt).
    std::function<void(int& clickedIndex, int& shift)> ShiftClicked;
    std::function<void(int& clickedIndex)> ButtonDown;
    // The button now under the mouse, -1 for none.
    std::function<void(int& buttonIndex)> Hover;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Cell {
        int disabled = 0;
        int disabled2 = 0;
        int x = 0;
        int contentY = 0;
        int contentX = 0;
        int picIndexA = -1;
        int picIndexN = -1;
        int hasActiveIcon = 0;
        std::string caption;
        int on = 0;
        // The state the button was last drawn in, the pressed look aside.
        int state = 0;
    };

    bool Valid(int index) const { return index >= 0 && index < NumButtons(); }
    bool Enabled(int index) const;
    bool IsIconButton(const Cell& cell) const { return cell.picIndexA != -1 || cell.picIndexN != -1; }
    void ApplyFont();
    void AdaptIcons();
    void PlaceContent(int index);
    void Paint(int index, int state);
    void SetPreset(std::initializer_list<std::pair<int, int>> icons, int hasActiveIcon);
    int ButtonAt(double x) const;

    void OnPointer(const PointerEvent& event);
    void OnMouseDown(int button, int shift, double x, double y);
    void OnMouseMove(int button, int shift, double x, double y);
    void OnMouseUp(int button, int shift, double x, double y);

    SurfaceBox* picture_;
    platform::Surface grad_;
    platform::Surface icons_;

    std::vector<Cell> cells_;
    int buttonHeight_ = 0;
    int buttonWidth_ = 0;
    int hovered_ = 0;
    double lastPressX_ = 0;
    int pressed_ = -1;
    // The pressed button is drawn pressed (a left press on an enabled button).
    bool pressShown_ = false;
    int designType_ = 0;
    int mimiWidth_ = -1;
    bool iconsAdapted_ = false;
    platform::Color selectedColor_ = 0x00D000;
    platform::Color selectedShadow_ = 0x00A000;
    int disable3D_ = 1;
    int selectedButton_ = -1;
    int noGrayAtDisabled_ = 0;
    float fontSize_ = 9.0f;
    std::string fontFace_;
    bool fontBold_ = false;
};

} // namespace controls
