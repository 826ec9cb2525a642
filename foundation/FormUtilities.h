#pragma once

#include <string_view>

class QWidget;

namespace platform {
class Form;
class ListItems;
class TextBox;
} // namespace platform

// Small services of the windows.
namespace basic {

// Rewrites a box holding exactly six characters that form a time of day
// (digits only, in the broadcast day starting at mode seconds) as hh:mm:ss;
// 1 when it did, else 0.
int CheckTimeTextBox(platform::TextBox& box, int mode);

// Chooses the entry whose text equals text exactly (the last of several);
// without one the choice stays.
void SelectListByText(platform::ListItems& list, std::string_view text);

// 1 when the pointer lies strictly inside the control of the form, else 0.
// The form's title bar and frame count into the vertical offset as the
// difference of its outer and inner heights; no horizontal frame is added.
int IsCursorOverControl(const platform::Form& form, const QWidget& control);

} // namespace basic

namespace FCT_DisableClose {

// Takes the close button off the window's title bar as far as the window
// manager allows; it is not put back. Refusing a close request stays the
// window's close handler's job.
void DisableClose(QWidget* window);

} // namespace FCT_DisableClose
