#pragma once

#include "controls/SurfaceBox.h"
#include "platform/Surface.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// An owner-drawn row of tabs above a page area, one of them selected. Tabs
// can be hidden (they take no room), share one width (the widest caption's)
// or each have their own (UseIndpWidth), and report clicks by TabClicked.
// Changing the selection, a width or a hidden flag does not redraw; the owner
// calls DrawAll.
class UC_Tab final : public QWidget {
public:
    explicit UC_Tab(QWidget* parent = nullptr);

    // The owner's picture behind the control and the control's offset in it
    // (twips); the picture must live as long as the control draws on it.
    void SetBGPic(std::int32_t x, std::int32_t y, const platform::Surface* picture);
    // Both are used by later TabStr settings.
    void SetTabMinWidth(std::int32_t twips) { tabMinWidth_ = twips; }
    void SetUseIndpWidth(std::int32_t independent) { useIndpWidth_ = independent; }
    std::int32_t SelectedTab() const { return selectedTab_; }
    void SetSelectedTab(std::int32_t index) { selectedTab_ = index; }
    // Non-zero: clicks and RaiseMinTabClick do nothing.
    void SetClickDisabled(std::int32_t disabled) { clickDisabled_ = disabled; }
    void SetTabHidden(std::int32_t index, std::int32_t hidden);
    // Used by the next NumTab setting; stored rounded.
    void SetFontSize(float points);
    std::int32_t NumTab() const { return static_cast<std::int32_t>(tabs_.size()); }
    // Gives the strip its font and keeps the tabs that remain.
    void SetNumTab(std::int32_t count);
    // Sets a caption and the widths.
    void SetTabStr(std::int32_t index, std::string_view caption);
    void SetTabWidth(std::int32_t index, std::int32_t twips);
    // Selects the first tab that is not hidden as if it were clicked.
    void RaiseMinTabClick();
    void DrawAll();

    // Width of a tab in twips (0 for an index that does not exist).
    std::int32_t TabWidth(std::int32_t index) const;

    std::function<void(std::int32_t index)> TabClicked;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Tab {
        std::int32_t width = 0;
        std::string caption;
        std::int32_t hidden = 0;
        std::int32_t textWidth = 0;
    };

    bool Exists(std::int32_t index) const { return index >= 0 && index < NumTab(); }
    void FindLastVisible();
    void DrawTab(platform::Surface& picture, double left, double right, double top) const;
    void Select(std::int32_t index);
    void OnPointer(const controls::PointerEvent& event);

    controls::SurfaceBox* pictureTab_;
    std::vector<Tab> tabs_;
    std::int32_t selectedTab_ = 0;
    std::int32_t useIndpWidth_ = 0;
    std::int32_t tabMinWidth_ = 0;
    std::int32_t lastVisible_ = -1;
    std::int32_t clickDisabled_ = 0;
    std::int32_t bgX_ = 0;
    std::int32_t bgY_ = 0;
    std::int32_t bgFlag_ = 0;
    const platform::Surface* bgPicture_ = nullptr;
    std::int32_t fontSize_ = 9;
    bool pressed_ = false;
};
