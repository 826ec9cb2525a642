#pragma once

#include <QWidget>

// Holds the place of a screen control whose class is not built yet: it sits
// where the control belongs in the window, takes its size and visibility,
// and draws nothing.
class PendingControl final : public QWidget {
public:
    explicit PendingControl(QWidget* parent = nullptr) : QWidget(parent) {}
};
