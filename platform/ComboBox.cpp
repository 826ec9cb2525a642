#include "platform/ComboBox.h"

#include <QLineEdit>
#include <QWheelEvent>

namespace platform {

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ComboBox::ComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Keys reach the edit field first; the box itself routes them only when it
    // has no edit field, so no key is raised twice.
    InstallKeyRouting(*this, Keys, [this] { return !isEditable(); });
    RouteEditKeys();
    QObject::connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (OnClick) {
            OnClick();
        }
    });
    QObject::connect(this, &QComboBox::editTextChanged, this, [this] {
        if (OnChange && isEditable()) {
            OnChange();
        }
    });
}

void ComboBox::RouteEditKeys()
{
    if (QLineEdit* edit = lineEdit(); edit != nullptr) {
        InstallKeyRouting(*edit, Keys);
        edit->setReadOnly(locked_);
    }
}

void ComboBox::SetStyle(int style)
{
    const bool editable = style != ComboDropDownList;
    if (editable != isEditable()) {
        setEditable(editable);
        if (editable) {
            setInsertPolicy(QComboBox::NoInsert);
            RouteEditKeys();
        }
    }
}

void ComboBox::AddItem(std::string_view text, int index)
{
    if (index >= 0 && index < count()) {
        insertItem(index, FromUtf8(text));
    } else {
        addItem(FromUtf8(text));
    }
}

void ComboBox::RemoveItem(int index)
{
    if (index >= 0 && index < count()) {
        removeItem(index);
    }
}

void ComboBox::Clear()
{
    clear();
    if (isEditable()) {
        clearEditText();
    }
}

std::string ComboBox::List(int index) const
{
    return index >= 0 && index < count() ? itemText(index).toStdString() : std::string();
}

void ComboBox::SetList(int index, std::string_view text)
{
    if (index >= 0 && index < count()) {
        setItemText(index, FromUtf8(text));
    }
}

void ComboBox::SetListIndex(int index)
{
    if (index >= -1 && index < count()) {
        setCurrentIndex(index);
    }
}

std::string ComboBox::Text() const
{
    return currentText().toStdString();
}

void ComboBox::SetText(std::string_view text)
{
    const QString value = FromUtf8(text);
    if (isEditable()) {
        if (value != currentText()) {
            setEditText(value);
        }
        return;
    }
    const int index = findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        setCurrentIndex(index);
    }
}

void ComboBox::SetLocked(bool locked)
{
    locked_ = locked;
    if (QLineEdit* edit = lineEdit(); edit != nullptr) {
        edit->setReadOnly(locked);
    }
}

// A locked box keeps its entry: no list to choose from, no wheel stepping.
void ComboBox::showPopup()
{
    if (!locked_) {
        QComboBox::showPopup();
    }
}

void ComboBox::wheelEvent(QWheelEvent* event)
{
    if (locked_) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

} // namespace platform
