#pragma once

#include "platform/DragData.h"
#include "platform/Surface.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class DropTarget;
} // namespace platform

namespace controls {

class SurfaceBox;
struct PointerEvent;

// A display panel of short texts ("text spaces"), each with its own font and
// place, on a plain background (design 0) or on one of several pre-painted
// colour sets (design 1) that show the state of what it labels. Spaces can be
// made clickable: a press highlights the space and the panel reports which
// space was hit. Positions are twips.
class UC_TextPicture final : public QWidget {
public:
    explicit UC_TextPicture(QWidget* parent = nullptr);
    ~UC_TextPicture() override;
    UC_TextPicture(const UC_TextPicture&) = delete;
    UC_TextPicture& operator=(const UC_TextPicture&) = delete;

    // Paints one background per colour set (design 1) and draws. frameWidth
    // bevel lines; noFill keeps the gradient out.
    void Init(int frameWidth, int noFill);
    void ResetMe();
    // Design 0: back and text colours of scheme index; design 1: shows
    // colour set index.
    void SetColor(int index, int redraw);
    void SetColorEx(platform::Color fore, platform::Color back, int redraw);
    // Built-in colour sets 0..5; switches to design 1 whatever n is.
    void AddStdColorSet(int n);
    void SetDesignType(int design) { designType_ = design; }
    void UseClick(int index, int value);
    void SetUseDblClick(int use) { useDblClick_ = use; }
    void SetLocked(int locked) { locked_ = locked; }
    void AddColorSet(platform::Color foreColor, platform::Color back1, platform::Color back2, std::int32_t fourth);
    // align: left in twips, -1 centred; top: twips, -1 centred vertically.
    void AddTextSpace(float fontSize, bool bold, bool italic, std::string_view fontName, int align, int top);
    // Moves text space index to top (twips), a place its caller measured.
    void SetTextTop(int index, int top);
    // Gives text space index another font and place, as AddTextSpace takes
    // them; its text stays.
    void SetTextSpace(int index, float fontSize, bool bold, bool italic, std::string_view fontName, int align, int top);
    // Called with every new text of space index before it is drawn, so that
    // the space's owner can give it the font and place that text needs.
    void SetTextFitting(int index, std::function<void(std::string_view text)> fitting);
    int TextSpaceCount() const { return static_cast<int>(spaces_.size()); }
    // Stores a changed text and redraws unless noRedraw; an unchanged text
    // draws nothing.
    void DispMes(int index, std::string_view text, int noRedraw);
    // highlight: the space drawn lighter, -1 none.
    void Draw(int highlight);
    QWidget* hWnd() const;
    std::string TextMes(int index) const;
    void SetIsFlat(int flat) { isFlat_ = flat; }

    // The visible panel.
    const platform::Surface& Picture() const;
    // The width (twips) a centred text has in a panel widthTwips wide before
    // it is shortened: the panel less its margins on both sides.
    static double CentredTextRoom(double widthTwips, int designType, int isFlat);

    // Mouse button, down or up, and the text space hit.
    std::function<void(int& button, bool& isDown, int& index)> MouseUD;
    std::function<void()> DblClicked;
    std::function<void(platform::DragData& data, int& effect, int& button, int& shift, double& x, double& y)>
        OLEDragDrop;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct TextSpace {
        int fontIndex = -3;
        int left = -1;
        int top = 0;
        std::string text;
        int useClick = 0;
        std::function<void(std::string_view)> fitting;
    };
    struct ColorSet {
        platform::Color foreColor = 0;
        platform::Color back1 = 0;
        platform::Color back2 = 0;
        std::int32_t fourth = 0;
    };

    void FitPicture();
    TextSpace MadeSpace(float fontSize, bool bold, bool italic, std::string_view fontName, int align, int top);
    static double TextMargin(int designType, int isFlat);
    int SpaceAt(double x, double y) const;
    bool Clickable(int index) const;
    void OnPointer(const PointerEvent& event);
    void OnMouseDown(int button, int shift, double x, double y);
    void OnMouseUp(int button, int shift, double x, double y);

    SurfaceBox* text0_;
    std::unique_ptr<platform::Surface> text1_; // the strip of colour-set backgrounds
    platform::DropTarget* dropTarget_;

    std::vector<TextSpace> spaces_;
    platform::PixelRect frame_{};
    int isFlat_ = 0;
    int locked_ = 0;
    bool down_ = false;
    int useDblClick_ = 0;
    int designType_ = 0;
    int currentSet_ = 0;
    std::vector<ColorSet> colorSets_;
};

} // namespace controls
