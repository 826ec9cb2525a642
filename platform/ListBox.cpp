#include "platform/ListBox.h"

#include <memory>

namespace platform {

ListBox::ListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    InstallKeyRouting(*this, Keys);
    InstallMouseRouting(*viewport(), Mouse, unit_);
    QObject::connect(this, &QListWidget::currentRowChanged, this, [this] {
        if (OnClick) {
            OnClick();
        }
    });
}

void ListBox::AddItem(std::string_view text, int index)
{
    const QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (index >= 0 && index < count()) {
        insertItem(index, value);
    } else {
        addItem(value);
    }
}

void ListBox::RemoveItem(int index)
{
    if (index >= 0 && index < count()) {
        const std::unique_ptr<QListWidgetItem> taken(takeItem(index)); // a taken item is ours
    }
}

void ListBox::Clear()
{
    clear();
}

std::string ListBox::List(int index) const
{
    const QListWidgetItem* entry = index >= 0 ? item(index) : nullptr;
    return entry != nullptr ? entry->text().toStdString() : std::string();
}

void ListBox::SetList(int index, std::string_view text)
{
    if (QListWidgetItem* entry = index >= 0 ? item(index) : nullptr; entry != nullptr) {
        entry->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
}

void ListBox::SetListIndex(int index)
{
    if (index >= -1 && index < count()) {
        setCurrentRow(index);
    }
}

std::string ListBox::Text() const
{
    return List(currentRow());
}

} // namespace platform
