#pragma once

#include "mainwindow/ports/SplashWindowPort.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <string_view>

// The picture shown while the program starts: a borderless window of 640 x
// 480 pixels in the middle of the screen, with the picture drawn from its top
// left corner. A file that is not a picture shows nothing (logged).
class FrmSplash final : public SplashWindowPort {
public:
    static constexpr int WidthPx = 640;
    static constexpr int HeightPx = 480;

    FrmSplash() = default;
    ~FrmSplash() override;
    FrmSplash(const FrmSplash&) = delete;
    FrmSplash& operator=(const FrmSplash&) = delete;

    void Show(std::string_view picturePath) override;
    void Unload() override;

    // The window while it is loaded, else null.
    QWidget* Window() const { return window_; }

private:
    QPointer<QWidget> window_;
};
