#include "platform/Form.h"

#include "platform/DetectableAutoRepeat.h"
#include "platform/EventPump.h"
#include "platform/HeldShortcuts.h"
#include "platform/InputGate.h"
#include "platform/LostMapRetry.h"
#include "platform/ServerFocus.h"
#include "platform/ServerState.h"
#include "platform/TwipsGeometry.h"
#include "platform/WindowTimer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QWindow>

#include <algorithm>
#include <optional>

namespace platform {

namespace {

KeyStroke StrokeOf(const QKeyEvent& event)
{
    return {event.key(), event.nativeScanCode(), event.timestamp(), event.isAutoRepeat()};
}

// The frame the X server last told of for any window of the program: the
// best guess for a window not framed yet.
QMargins& LatestFrame()
{
    static QMargins frame;
    return frame;
}

} // namespace

Form::Form(QWidget* owner)
    : QWidget(owner, Qt::Window), releaseDeadline_(new WindowTimer(this)), cornerCheck_(new WindowTimer(this)),
      mapRetry_(new LostMapRetry(*this))
{
    cornerCheck_->SetEnabled(false);
    cornerCheck_->SetInterval(CornerCheckMs);
    cornerCheck_->OnTimer = [this] {
        cornerCheck_->SetEnabled(false);
        cornerToCheck_.reset();
    };
    releaseDeadline_->SetEnabled(false);
    releaseDeadline_->SetInterval(ReleaseDeadlineMs);
    releaseDeadline_->OnTimer = [this] { ReleaseDeadlinePassed(); };
    // Before any key reaches the window, so its keys come one way throughout.
    RequestDetectableAutoRepeat();
    HeldShortcuts::Install();
    ServerFocus::Install();
}

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

QMargins Form::ToolkitMargins() const
{
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return QMargins(std::max(0, inner.left() - outer.left()), std::max(0, inner.top() - outer.top()),
                    std::max(0, outer.right() - inner.right()), std::max(0, outer.bottom() - inner.bottom()));
}

QMargins Form::CurrentMargins() const
{
    // The toolkit hears of a new frame only some events after the window is
    // shown, and keeps a frame its window manager took away on leaving: the
    // X server knows the frame as it is.
    return ServerFrameMargins(*this).value_or(ToolkitMargins());
}

QRect Form::OuterRect() const
{
    return geometry().marginsAdded(CurrentMargins());
}

QMargins Form::FrameMargins() const
{
    return FrameKnown() ? CurrentMargins() : lastMargins_;
}

QPoint Form::FrameCorner() const
{
    // Hidden, the window manager may have left the inside anywhere; shown but
    // not yet framed, the frame's corner is still to come where asked.
    return pendingCorner_ && !FrameKnown() ? *pendingCorner_ : OuterRect().topLeft();
}

int Form::Left() const
{
    return PixelsToTwips(FrameCorner().x());
}

int Form::Top() const
{
    return PixelsToTwips(FrameCorner().y());
}

int Form::Width() const
{
    return PixelsToTwips(OuterSize().width());
}

int Form::Height() const
{
    return PixelsToTwips(OuterSize().height());
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
    // Until the window manager has framed a shown window, where it puts the
    // inside for a move or resize depends on the window manager: the place
    // and size asked for wait, and a hidden window takes them as a first
    // guess, beside the frame it last had (for a window never framed, the
    // frame of the program's window framed last).
    const QPoint corner(TwipsToPixels(left), TwipsToPixels(top));
    cornerToCheck_.reset();
    if (FrameKnown()) {
        pendingCorner_.reset();
        PlaceInside(corner, CurrentMargins());
    } else {
        pendingCorner_ = corner;
        if (!isVisible()) {
            PlaceInside(corner, framedOnce_ ? lastMargins_ : LatestFrame());
        }
    }
    if (width < 0 && height < 0) {
        return;
    }
    const QSize current = OuterSize();
    const QSize outer(width < 0 ? current.width() : std::max(1, TwipsToPixels(width)),
                      height < 0 ? current.height() : std::max(1, TwipsToPixels(height)));
    if (outer == current) {
        return;
    }
    pendingOuter_ = outer;
    ResizeToPendingOuter();
}

void Form::PlaceInside(QPoint corner, const QMargins& frame)
{
    // The inside is placed, never the frame: the toolkit would place the
    // frame by the frame it last heard of, which lags behind the window
    // manager (the first frame of a window, a frame given again).
    setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), size()));
}

bool Form::FrameKnown() const
{
    return framed_ && isVisible() && testAttribute(Qt::WA_WState_Created);
}

QSize Form::OuterSize() const
{
    return PendingOuterHolds() ? *pendingOuter_ : OuterRect().size();
}

bool Form::PendingOuterHolds() const
{
    return pendingOuter_ && WindowState() == StateNormal && size() == pendingInner_;
}

void Form::ResizeToPendingOuter()
{
    // resize() sizes the inside: the outer size less the frame, where the
    // frame is known; a hidden window takes the outer size less the frame it
    // last had until it is framed again.
    const bool known = FrameKnown();
    if (known || !isVisible()) {
        const QMargins frame = FrameMargins();
        resizingToOuter_ = true;
        resize(std::max(1, pendingOuter_->width() - frame.left() - frame.right()),
               std::max(1, pendingOuter_->height() - frame.top() - frame.bottom()));
        resizingToOuter_ = false;
    }
    pendingInner_ = size();
    if (known) {
        pendingOuter_.reset();
    }
}

void Form::ApplyPending()
{
    // Shown again, the window may be exposed before the toolkit has heard of
    // its frame: where the X server cannot tell, a window that had a frame is
    // taken to have it still, or its inside would be put where the frame
    // belongs and sized as the frame.
    const std::optional<QMargins> server = ServerFrameMargins(*this);
    const QMargins toolkit = ToolkitMargins();
    const QMargins margins = server ? *server : (toolkit.isNull() ? lastMargins_ : toolkit);
    if (server) {
        LatestFrame() = *server;
    }
    if (shownUnframed_ && server && !server->isNull() && !pendingCorner_) {
        // A window manager took over the window shown without one: it frames
        // the inside where it stands, so the frame would reach above and
        // beside the place the window had, and be stored so for the next
        // start. The whole window keeps its place and size, as if it had
        // been framed from the start.
        pendingCorner_ = unframedOuter_.topLeft();
        pendingOuter_ = unframedOuter_.size();
        pendingInner_ = size();
    }
    framedOnce_ = true;
    QRect inner = geometry();
    const std::optional<QPoint> corner = pendingCorner_;
    if (pendingCorner_) {
        inner.moveTopLeft(*pendingCorner_ + QPoint(margins.left(), margins.top()));
        pendingCorner_.reset();
    }
    if (pendingOuter_ && size() == pendingInner_) {
        inner.setSize(QSize(std::max(1, pendingOuter_->width() - margins.left() - margins.right()),
                            std::max(1, pendingOuter_->height() - margins.top() - margins.bottom())));
        pendingOuter_.reset();
    }
    if (inner != geometry()) {
        // One request for place and size: the inside, beside the frame.
        resizingToOuter_ = true;
        setGeometry(inner);
        resizingToOuter_ = false;
    }
    if (corner) {
        // The toolkit may learn only now where the window manager put the
        // window after a hide: what it reports next is checked once more.
        cornerToCheck_ = corner;
        cornerCheck_->SetEnabled(false);
        cornerCheck_->SetEnabled(true);
    }
    if (server) {
        shownUnframed_ = server->isNull();
        // Only as the X server shows it: a window manager building its frame
        // unseen may move the window meanwhile.
        if (shownUnframed_) {
            unframedOuter_ = inner;
        }
    }
    if (margins != lastMargins_) {
        lastMargins_ = margins;
        if (OnFrameChange) {
            OnFrameChange();
        }
    }
}

bool Form::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
        // The window is framed once the window system has shown (exposed)
        // it: its window is watched for that.
        if (QWindow* handle = windowHandle(); handle != nullptr && handle != watchedWindow_) {
            handle->installEventFilter(this);
            watchedWindow_ = handle;
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        if (resizingToOuter_ || WindowState() != StateNormal) {
            break;
        }
        if (pendingOuter_ && size() != pendingInner_ && event->type() == QEvent::Resize) {
            pendingOuter_.reset(); // sized since by the user or the program
        }
        if (cornerToCheck_ && event->spontaneous() && FrameKnown() && OuterRect().topLeft() != *cornerToCheck_) {
            resizingToOuter_ = true;
            PlaceInside(*cornerToCheck_, CurrentMargins());
            resizingToOuter_ = false;
        }
        // A minimised or maximised window waits until it is normal again.
        if (FrameKnown()) {
            ApplyPending();
        }
        break;
    default:
        break;
    }
    return handled;
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
    if (!closingByCode_ && InputKeptFrom(windowHandle())) {
        // The close box during a press: asked again right after the press,
        // once however often it was used.
        event->ignore();
        if (!closeWaits_) {
            closeWaits_ = true;
            AfterKeptInput(*this, [this] {
                closeWaits_ = false;
                close();
            });
        }
        return;
    }
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

void Form::setVisible(bool visible)
{
    if (!visible && isVisible()) {
        // The program hides its active window only to show it again (a
        // rebuild): the keyboard's keys keep coming to it then.
        regainKeyboard_ = isActiveWindow();
        // Taken while the window manager still frames the window: it may
        // take the frame away as soon as the window is hidden.
        KeepPlaceWhileHidden();
    }
    QWidget::setVisible(visible);
    if (isVisible()) {
        mapRetry_->Start();
    } else {
        mapRetry_->Stop();
    }
}

void Form::KeepPlaceWhileHidden()
{
    // Unframed, the window manager may put the inside where the frame was or
    // leave it where it was: the frame's place and size are what the window
    // keeps.
    cornerToCheck_.reset();
    if (!framed_) {
        return;
    }
    const QRect outer = OuterRect();
    if (!pendingCorner_) {
        pendingCorner_ = outer.topLeft();
    }
    if (!pendingOuter_ && WindowState() == StateNormal) {
        pendingOuter_ = outer.size();
        pendingInner_ = size();
    }
}

void Form::hideEvent(QHideEvent* event)
{
    KeepPlaceWhileHidden();
    framed_ = false;
    QWidget::hideEvent(event);
    if (modalLoop_ != nullptr && !event->spontaneous()) {
        modalLoop_->quit();
    }
}

bool Form::PreviewKey(QObject* target, QKeyEvent& event)
{
    std::optional<KeyStroke> heldBack;
    keyPairing_.SetRepeatsArePressesOnly(RequestDetectableAutoRepeat());
    if (event.type() == QEvent::KeyRelease) {
        const KeyRepeatPairing::Release release = keyPairing_.OnRelease(StrokeOf(event), heldBack);
        DeliverHeldBackRelease(heldBack);
        switch (release) {
        case KeyRepeatPairing::Release::Now:
            return RouteKeyRelease(Keys, event);
        case KeyRepeatPairing::Release::Later:
            // The control still sees the release now; the window's KeyUp
            // waits for the deadline or the next key event.
            heldBackRelease_.reset(event.clone());
            releaseDeadline_->SetEnabled(false);
            releaseDeadline_->SetEnabled(true);
            return false;
        case KeyRepeatPairing::Release::Repeat:
            return false;
        }
        return false;
    }
    const KeyRepeatPairing::Press press = keyPairing_.OnPress(StrokeOf(event), heldBack);
    DeliverHeldBackRelease(heldBack);
    if (!keyPairing_.HasPending() && heldBackRelease_) {
        // The held-back release was this press's auto-repeat.
        heldBackRelease_.reset();
        releaseDeadline_->SetEnabled(false);
    }
    return PreviewPress(target, event, press == KeyRepeatPairing::Press::Repeat);
}

bool Form::PreviewPress(QObject* target, QKeyEvent& event, bool repeat)
{
    const bool outer = keyRepeats_;
    keyRepeats_ = repeat;
    std::optional<QKeyEvent> replacement;
    const bool swallowed = RouteKeyPress(Keys, event, replacement);
    keyRepeats_ = outer;
    if (swallowed) {
        return true;
    }
    if (replacement && target != nullptr) {
        resending_ = true;
        QCoreApplication::sendEvent(target, &*replacement);
        resending_ = false;
        return true;
    }
    return false;
}

void Form::DeliverHeldBackRelease(const std::optional<KeyStroke>& release)
{
    if (!release) {
        return;
    }
    releaseDeadline_->SetEnabled(false);
    if (const std::shared_ptr<QKeyEvent> event = std::move(heldBackRelease_)) {
        // While a press runs (the window lost the keyboard meanwhile), the
        // release waits its turn with the input kept.
        AfterKeptInput(*this, [this, event] { RouteKeyRelease(Keys, *event); });
    }
}

void Form::ReleaseDeadlinePassed()
{
    releaseDeadline_->SetEnabled(false);
    if (InputKept()) {
        // The press that pairs with the release may be among the input kept
        // during a press: it is carried out first.
        AfterKeptInput(*this, [this] { ReleaseDeadlinePassed(); });
        return;
    }
    // The press that pairs with the release may already wait in the window
    // system's queue behind this timer: let it arrive first.
    const QPointer<Form> self(this);
    DoEvents();
    if (self && keyPairing_.HasPending()) {
        DeliverHeldBackRelease(keyPairing_.TakePending());
    }
}

void Form::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        // The keys let go from now on release in another window.
        DeliverHeldBackRelease(keyPairing_.TakePending());
        keyPairing_.Forget();
    }
}

bool Form::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == watchedWindow_ && watched != nullptr) {
        if (event->type() == KeptInputCarriedOut()) {
            KeptInputDone();
            return true;
        }
        const bool exposed = event->type() == QEvent::Expose && watchedWindow_->isExposed() && isVisible();
        if (exposed && framed_ && shownUnframed_ && WindowState() == StateNormal) {
            // Shown again on the screen with no frame so far: a window
            // manager that takes the window over maps it again in its frame.
            ApplyPending();
        }
        if (exposed && !framed_) {
            framed_ = true;
            if (WindowState() == StateNormal) {
                ApplyPending();
            }
            if (regainKeyboard_) {
                // A window manager gives a window shown again the keyboard;
                // without one, nobody does.
                regainKeyboard_ = false;
                activateWindow();
            }
        }
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::Shortcut) {
        PreviewShortcutPress(watched, *event);
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        offeredPress_.reset();
    }
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

void Form::PreviewShortcutPress(QObject* watched, QEvent& event)
{
    // A press that a shortcut takes (a menu's Alt+letter, even with its item
    // disabled) never arrives as a key, yet its release does: the window sees
    // that press too, so that its release is not taken for a key of its own.
    if (event.type() == QEvent::Shortcut) {
        if (const std::unique_ptr<QKeyEvent> press = std::move(offeredPress_)) {
            PreviewKey(nullptr, *press);
        }
        return;
    }
    const auto& key = static_cast<const QKeyEvent&>(event);
    const QWidget* first = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : this;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        offeredPress_.reset();
        return;
    }
    if (widget != first) {
        return; // the same offer on its way up to the window
    }
    offeredPress_ = std::make_unique<QKeyEvent>(QEvent::KeyPress, key.key(), key.modifiers(), key.nativeScanCode(),
                                                key.nativeVirtualKey(), key.nativeModifiers(), key.text(),
                                                key.isAutoRepeat(), key.count(), key.device());
    offeredPress_->setTimestamp(key.timestamp());
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
