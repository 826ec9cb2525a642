#pragma once

#include <QObject>

class QEvent;

// An event filter that selects the whole text of a one-line text box
// whenever the box gets the focus, so typing replaces the value. Install it
// on the box with the box as its parent: it lives as long as the box.
class SelectAllOnFocus final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
