#pragma once

#include <string>

namespace platform {

// What list boxes and combo boxes share: their entries by index and the
// chosen one (-1 none).
class ListItems {
public:
    virtual ~ListItems() = default;
    virtual int ListCount() const = 0;
    // The entry's text; "" outside 0..ListCount-1.
    virtual std::string List(int index) const = 0;
    virtual int ListIndex() const = 0;
    // Chooses an entry (-1 none); indexes outside the list are ignored.
    virtual void SetListIndex(int index) = 0;
};

} // namespace platform
