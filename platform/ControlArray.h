#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <vector>

namespace platform {

// A control array made at run time: element 0 is designed with its window;
// further elements are loaded into the same container as copies of element 0
// (same size and font, hidden until shown). An unloaded element leaves the
// array at once and is deleted when control returns to the event loop, so a
// handler of that very element may unload it safely.
template <class T> class ControlArray {
public:
    // Makes a new element in parent; the default constructs T(parent).
    using Factory = std::function<T*(QWidget* parent)>;
    // Wires a freshly loaded element (events that carry its index).
    using LoadHandler = std::function<void(T& element, int index)>;

    explicit ControlArray(T* element0, Factory factory = nullptr)
        : factory_(factory ? std::move(factory) : [](QWidget* parent) { return new T(parent); })
    {
        if (element0 != nullptr) {
            elements_[0] = element0;
        }
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;
    ~ControlArray() = default;

    void SetLoadHandler(LoadHandler handler) { onLoad_ = std::move(handler); }

    // Loads element index; null when it exists already, the index is
    // negative, or there is no element 0 to copy.
    T* Load(int index)
    {
        T* first = At(0);
        if (index < 0 || Exists(index) || first == nullptr) {
            return nullptr;
        }
        T* element = factory_(first->parentWidget());
        if (element == nullptr) {
            return nullptr;
        }
        element->hide();
        element->setGeometry(first->geometry());
        element->setFont(first->font());
        element->setEnabled(first->isEnabled());
        elements_[index] = element;
        if (onLoad_) {
            onLoad_(*element, index);
        }
        return element;
    }

    bool Exists(int index) const { return At(index) != nullptr; }

    // Unloads a loaded element; element 0 belongs to the window and stays.
    void Unload(int index)
    {
        if (index == 0) {
            return;
        }
        const auto it = elements_.find(index);
        if (it == elements_.end()) {
            return;
        }
        T* element = it->second.data();
        elements_.erase(it);
        if (element != nullptr) {
            element->hide();
            element->deleteLater();
        }
    }

    // The element, or null when it is not loaded.
    T* At(int index) const
    {
        const auto it = elements_.find(index);
        return it == elements_.end() ? nullptr : it->second.data();
    }
    T* operator()(int index) const { return At(index); }

    // Indexes of the elements in ascending order.
    std::vector<int> Indexes() const
    {
        std::vector<int> indexes;
        for (const auto& [index, element] : elements_) {
            if (element != nullptr) {
                indexes.push_back(index);
            }
        }
        return indexes;
    }
    int Count() const { return static_cast<int>(Indexes().size()); }
    // Highest index loaded, -1 when the array is empty.
    int UBound() const
    {
        const std::vector<int> indexes = Indexes();
        return indexes.empty() ? -1 : indexes.back();
    }

private:
    Factory factory_;
    LoadHandler onLoad_;
    std::map<int, QPointer<T>> elements_;
};

} // namespace platform
