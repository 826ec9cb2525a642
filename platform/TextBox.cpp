#include "platform/TextBox.h"

namespace platform {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent)
{
    InstallKeyRouting(*this, Keys);
    InstallMouseRouting(*this, Mouse, unit_);
    QObject::connect(this, &QLineEdit::textChanged, this, [this] {
        if (OnChange) {
            OnChange();
        }
    });
}

std::string TextBox::Text() const
{
    return text().toStdString();
}

void TextBox::SetText(std::string_view text)
{
    const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (value != this->text()) {
        setText(value);
    }
}

} // namespace platform
