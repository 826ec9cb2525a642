#pragma once

#include "platform/ControlEvents.h"
#include "platform/ListItems.h"

#include <QListWidget>

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// A list box with one chosen entry. OnClick follows every change of the
// chosen entry, by the user or by setting ListIndex.
class ListBox final : public QListWidget, public ListItems {
public:
    explicit ListBox(QWidget* parent = nullptr);

    void AddItem(std::string_view text, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const override { return count(); }
    std::string List(int index) const override;
    void SetList(int index, std::string_view text);
    int ListIndex() const override { return currentRow(); }
    void SetListIndex(int index) override;
    // The chosen entry's text ("" when none).
    std::string Text() const;

    KeyHandlers Keys;
    MouseHandlers Mouse;
    std::function<void()> OnClick;

private:
    ScaleUnit unit_ = ScaleUnit::Twips;
};

} // namespace platform
