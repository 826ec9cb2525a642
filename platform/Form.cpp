#include "platform/Form.h"

#include "platform/TwipsGeometry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>

#include <optional>

namespace platform {

Form::Form(QWidget* owner) : QWidget(owner, Qt::Window) {}

Form::~Form()
{
    if (modalLoop_ != nullptr) {
        modalLoop_->quit();
    }
    if (keyPreview_ && qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
}

std::string Form::Caption() const
{
    return windowTitle().toStdString();
}

void Form::SetCaption(std::string_view caption)
{
    setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

QSize Form::FrameExtra() const
{
    const QSize extra = frameGeometry().size() - size();
    return QSize(std::max(0, extra.width()), std::max(0, extra.height()));
}

int Form::Left() const
{
    return PixelsToTwips(frameGeometry().x());
}

int Form::Top() const
{
    return PixelsToTwips(frameGeometry().y());
}

int Form::Width() const
{
    return PixelsToTwips(frameGeometry().width());
}

int Form::Height() const
{
    return PixelsToTwips(frameGeometry().height());
}

void Form::SetLeft(double twips)
{
    Move(twips, Top());
}

void Form::SetTop(double twips)
{
    Move(Left(), twips);
}

void Form::SetWidth(double twips)
{
    Move(Left(), Top(), twips, -1);
}

void Form::SetHeight(double twips)
{
    Move(Left(), Top(), -1, twips);
}

void Form::Move(double left, double top, double width, double height)
{
    const QSize extra = FrameExtra();
    // move() places the frame; resize() sizes the inside.
    move(TwipsToPixels(left), TwipsToPixels(top));
    const int w = width < 0 ? this->width() : std::max(1, TwipsToPixels(width) - extra.width());
    const int h = height < 0 ? this->height() : std::max(1, TwipsToPixels(height) - extra.height());
    resize(w, h);
}

int Form::ScaleWidth() const
{
    return PixelsToTwips(width());
}

int Form::ScaleHeight() const
{
    return PixelsToTwips(height());
}

int Form::WindowState() const
{
    const Qt::WindowStates state = windowState();
    if (state.testFlag(Qt::WindowMinimized)) {
        return StateMinimized;
    }
    if (state.testFlag(Qt::WindowMaximized) || state.testFlag(Qt::WindowFullScreen)) {
        return StateMaximized;
    }
    return StateNormal;
}

void Form::SetWindowState(int state)
{
    Qt::WindowStates flags = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == StateMinimized) {
        flags |= Qt::WindowMinimized;
    } else if (state == StateMaximized) {
        flags |= Qt::WindowMaximized;
    }
    setWindowState(flags);
}

bool Form::Unload()
{
    closingByCode_ = true;
    const bool closed = close();
    closingByCode_ = false;
    return closed;
}

void Form::ShowModal()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    if (isHidden()) {
        return;
    }
    QEventLoop loop;
    QEventLoop* outer = modalLoop_;
    modalLoop_ = &loop;
    const QPointer<Form> self(this);
    loop.exec(QEventLoop::DialogExec);
    if (self) {
        modalLoop_ = outer;
        setWindowModality(Qt::NonModal);
    }
}

void Form::SetKeyPreview(bool on)
{
    if (on == keyPreview_ || qApp == nullptr) {
        keyPreview_ = on;
        return;
    }
    keyPreview_ = on;
    if (on) {
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
    }
}

void Form::closeEvent(QCloseEvent* event)
{
    const int mode = closingByCode_ ? UnloadByCode : UnloadByUser;
    int cancel = 0;
    if (OnQueryUnload) {
        OnQueryUnload(cancel, mode);
    }
    if (cancel == 0 && OnUnload) {
        OnUnload(cancel);
    }
    if (cancel != 0) {
        event->ignore();
        return;
    }
    event->accept();
}

void Form::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (OnResize) {
        OnResize();
    }
}

void Form::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (modalLoop_ != nullptr && !event->spontaneous()) {
        modalLoop_->quit();
    }
}

bool Form::PreviewKey(QObject* target, QKeyEvent& event)
{
    if (event.type() == QEvent::KeyRelease) {
        return RouteKeyRelease(Keys, event);
    }
    std::optional<QKeyEvent> replacement;
    if (RouteKeyPress(Keys, event, replacement)) {
        return true;
    }
    if (replacement) {
        resending_ = true;
        QCoreApplication::sendEvent(target, &*replacement);
        resending_ = false;
        return true;
    }
    return false;
}

bool Form::eventFilter(QObject* watched, QEvent* event)
{
    if (resending_ || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)) {
        return QWidget::eventFilter(watched, event);
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    // A key travels from the focused control up to its window; the window sees
    // it once, at the control that received it first.
    const QWidget* first = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : this;
    if (widget == nullptr || widget != first || widget->window() != this) {
        return QWidget::eventFilter(watched, event);
    }
    return PreviewKey(watched, *static_cast<QKeyEvent*>(event));
}

bool Form::KeyIsForWindowItself() const
{
    const QWidget* focus = QApplication::focusWidget();
    return !keyPreview_ && (focus == nullptr || focus == this);
}

void Form::keyPressEvent(QKeyEvent* event)
{
    if (KeyIsForWindowItself() && PreviewKey(this, *event)) {
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form::keyReleaseEvent(QKeyEvent* event)
{
    if (KeyIsForWindowItself() && PreviewKey(this, *event)) {
        return;
    }
    QWidget::keyReleaseEvent(event);
}

} // namespace platform
