#include "controls/listview/StandardListBar.h"

namespace listview {

StandardListBar::StandardListBar(Qt::Orientation orientation, QWidget* parent)
    : bar_(new platform::ScrollBar(orientation, parent))
{
    bar_->setFocusPolicy(Qt::NoFocus);
    const auto changed = [this] {
        if (OnChanged) {
            OnChanged();
        }
    };
    bar_->OnChange = changed;
    bar_->OnScroll = changed;
}

} // namespace listview
