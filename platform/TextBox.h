#pragma once

#include "platform/ControlEvents.h"

#include <QLineEdit>

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// A one-line text box. Locked keeps the text from being edited while it can
// still be selected and copied. OnChange follows every change of the text,
// typed or set by the program (setting the same text again is no change).
class TextBox final : public QLineEdit {
public:
    explicit TextBox(QWidget* parent = nullptr);

    std::string Text() const;
    void SetText(std::string_view text);
    bool Locked() const { return isReadOnly(); }
    void SetLocked(bool locked) { setReadOnly(locked); }

    KeyHandlers Keys;
    MouseHandlers Mouse;
    std::function<void()> OnChange;

private:
    ScaleUnit unit_ = ScaleUnit::Twips;
};

} // namespace platform
