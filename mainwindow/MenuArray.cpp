#include "mainwindow/MenuArray.h"

MenuArray::MenuArray(QMenu& menu, std::string_view caption0) : menu_(&menu)
{
    QAction* first = menu.addAction(QString::fromUtf8(caption0.data(), static_cast<qsizetype>(caption0.size())));
    items_[0] = first;
    Wire(*first, 0);
}

bool MenuArray::Load(int index)
{
    QAction* first = At(0);
    if (index < 0 || Exists(index) || first == nullptr || menu_ == nullptr) {
        return false;
    }
    QAction* item = new QAction(first->text(), menu_);
    item->setVisible(first->isVisible());
    item->setEnabled(first->isEnabled());
    // After the highest element, so the items keep the order of their indexes.
    QAction* last = At(UBound());
    const QList<QAction*> actions = menu_->actions();
    const qsizetype position = actions.indexOf(last);
    if (position >= 0 && position + 1 < actions.size()) {
        menu_->insertAction(actions[position + 1], item);
    } else {
        menu_->addAction(item);
    }
    items_[index] = item;
    Wire(*item, index);
    return true;
}

QAction* MenuArray::At(int index) const
{
    const auto it = items_.find(index);
    return it == items_.end() ? nullptr : it->second.data();
}

int MenuArray::UBound() const
{
    int highest = -1;
    for (const auto& [index, action] : items_) {
        if (action != nullptr && index > highest) {
            highest = index;
        }
    }
    return highest;
}

void MenuArray::Wire(QAction& action, int index)
{
    QObject::connect(&action, &QAction::triggered, [this, index] {
        if (Click) {
            Click(index);
        }
    });
}
