#pragma once

#include "platform/Surface.h"

#include <QWidget>

// A picture box of the main window that keeps its drawing: a container for
// other controls whose background is a persistent picture (gradients and
// frames painted once), or, hidden, a store of prepared pictures that
// controls copy from. The picture follows the panel's size; growing keeps
// what was drawn and fills the new part with the background colour.
class PicturePanel final : public QWidget {
public:
    explicit PicturePanel(QWidget* parent = nullptr);

    platform::Surface& Picture() { return picture_; }
    const platform::Surface& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    platform::Surface picture_;
};
