#pragma once

#include "platform/ControlEvents.h"
#include "platform/ListItems.h"

#include <QComboBox>

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Combo box styles.
inline constexpr int ComboDropDown = 0;     // an edit field with a list
inline constexpr int ComboDropDownList = 2; // a list only

// A combo box. OnClick follows every change of the chosen entry, by the user
// or by setting ListIndex; OnChange follows typing in the edit field. Keys of
// the edit field go through Keys first.
class ComboBox final : public QComboBox, public ListItems {
public:
    explicit ComboBox(QWidget* parent = nullptr);

    int Style() const { return isEditable() ? ComboDropDown : ComboDropDownList; }
    void SetStyle(int style);

    // Adds an entry at the end, or before index when it lies in the list.
    void AddItem(std::string_view text, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const override { return count(); }
    std::string List(int index) const override;
    void SetList(int index, std::string_view text);
    int ListIndex() const override { return currentIndex(); }
    void SetListIndex(int index) override;
    // The edit field's text, or the chosen entry's text in a list-only box.
    std::string Text() const;
    // Sets the edit field; a list-only box chooses the entry of that text.
    void SetText(std::string_view text);
    bool Locked() const { return locked_; }
    void SetLocked(bool locked);

    KeyHandlers Keys;
    std::function<void()> OnClick;
    std::function<void()> OnChange;

protected:
    void showPopup() override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void RouteEditKeys();

    bool locked_ = false;
};

} // namespace platform
