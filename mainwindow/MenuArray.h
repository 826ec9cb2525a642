#pragma once

#include <QAction>
#include <QMenu>
#include <QPointer>

#include <functional>
#include <map>
#include <string_view>

// A menu control array: element 0 stands in the window's design; further
// elements are loaded once after it in the same menu as copies of it
// (caption, visibility and enabled state), and each raises Click with its
// index.
class MenuArray {
public:
    MenuArray(QMenu& menu, std::string_view caption0);
    MenuArray(const MenuArray&) = delete;
    MenuArray& operator=(const MenuArray&) = delete;

    // Loads element index after the highest one; false when it exists or the
    // index is negative.
    bool Load(int index);
    bool Exists(int index) const { return At(index) != nullptr; }
    QAction* At(int index) const;
    QAction* operator()(int index) const { return At(index); }
    int UBound() const;

    std::function<void(int index)> Click;

private:
    void Wire(QAction& action, int index);

    QPointer<QMenu> menu_;
    std::map<int, QPointer<QAction>> items_;
};
