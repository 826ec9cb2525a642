#pragma once

#include "controls/SurfaceBox.h"
#include "platform/TextBox.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// A one-line text box for a file or folder path with a select button ("...")
// at its right end that opens the folder browser or the open or save dialog
// (Usage 0, 1, 2; -1 only raises SelectButtonClicked) and puts the choice into
// the text. The whole control is as high as its text box; the button is a
// square as wide as the text is high.
class UC_PathText final : public QWidget {
public:
    explicit UC_PathText(QWidget* parent = nullptr);

    // Gives the control and its text box the font of FontSize, sizes the text
    // box to TextHeight, lays out and draws the button released.
    void Init();
    // Draws the select button, pressed (1) or released (0).
    void Draw(std::int32_t pressed);

    // False locks the text (button-face background) and makes the button
    // ignore the mouse.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    std::int32_t Usage() const { return usage_; }
    void SetUsage(std::int32_t usage) { usage_ = usage; }
    // Both are used by the next Init; stored rounded.
    void SetFontSize(float points);
    void SetTextHeight(float twips);

    std::string Text() const;
    void SetText(std::string_view text);
    // 1: the button ignores the mouse.
    std::int32_t ButtonDisabled() const { return buttonDisabled_; }
    void SetButtonDisabled(std::int32_t disabled) { buttonDisabled_ = disabled; }
    // 1 makes the text read-only; any non-zero value gives it the button-face
    // background.
    std::int32_t TextDisabled() const { return textDisabled_; }
    void SetTextDisabled(std::int32_t disabled);
    // The extension the chosen file gets, stored without any ".".
    const std::string& Ext() const { return ext_; }
    void SetExt(std::string_view extension);
    // Pairs of description and pattern separated by "|".
    const std::string& Filter() const { return filter_; }
    void SetFilter(std::string_view filter) { filter_ = filter; }
    const std::string& InitDir() const { return initDir_; }
    void SetInitDir(std::string_view folder) { initDir_ = folder; }
    // 3 turns the input method off for the text; other modes leave it on.
    void SetTextIMEMode(std::int32_t mode);

    // Runs the chooser of Usage.
    void SelectButtonClick();

    std::function<void()> SelectButtonClicked;
    std::function<void()> TextDblClicked;
    std::function<void()> TextChange;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetLocked(std::int32_t locked);
    void Layout();
    bool ButtonTakesMouse() const { return enabled_ && buttonDisabled_ != 1; }
    bool OnButton(double x, double y) const;
    void OnPointer(const controls::PointerEvent& event);

    controls::SurfaceBox* surface_;
    platform::TextBox* textPath_;

    std::int32_t pressed_ = 0;
    std::int32_t usage_ = 0;
    bool enabled_ = true;
    std::int32_t buttonDisabled_ = 0;
    std::int32_t textDisabled_ = 0;
    std::string ext_;
    std::string filter_;
    std::string initDir_;
    std::int32_t fontSize_ = 9;
    std::int32_t fontsSet_ = 0;
    std::int32_t textHeight_ = 300;
    bool initialising_ = false;
    bool laying_ = false;
};
