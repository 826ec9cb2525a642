#include "dialogs/FrmSplash.h"

#include "foundation/DayLog.h"
#include "platform/Form.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>

#include <string>

namespace {

class SplashForm final : public platform::Form {
public:
    explicit SplashForm(QImage picture) : picture_(std::move(picture))
    {
        setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
        setFixedSize(FrmSplash::WidthPx, FrmSplash::HeightPx);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::black);
        painter.drawImage(0, 0, picture_);
    }

private:
    QImage picture_;
};

} // namespace

FrmSplash::~FrmSplash()
{
    Unload();
}

void FrmSplash::Show(std::string_view picturePath)
{
    Unload();
    const std::string path(picturePath);
    QImage picture(QString::fromStdString(path));
    if (picture.isNull()) {
        basic::WriteLog("Splash picture " + path + " cannot be read", 1, 0);
        return;
    }
    auto* form = new SplashForm(std::move(picture));
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        const QRect area = screen->availableGeometry();
        form->move(area.center() - QPoint(WidthPx / 2, HeightPx / 2));
    }
    window_ = form;
    form->show();
}

void FrmSplash::Unload()
{
    if (window_ != nullptr) {
        window_->close();
        delete window_.data();
        window_ = nullptr;
    }
}
