#pragma once

#include "platform/ControlEvents.h"
#include "platform/KeyRepeatPairing.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QEventLoop;

namespace platform {

class LostMapRetry;
class WindowTimer;

// Window states as the windows store them.
inline constexpr int StateNormal = 0;
inline constexpr int StateMinimized = 1;
inline constexpr int StateMaximized = 2;

// Why a window is being closed.
inline constexpr int UnloadByUser = 0; // the close box or the window manager
inline constexpr int UnloadByCode = 1; // the program's own Unload

// A top-level window of the program. Its outer position and size are in
// twips (Left, Top, Width, Height include the frame the window manager adds:
// Left and Top are the frame's corner), its inner size is ScaleWidth x
// ScaleHeight. A position or outer size set while the frame is not known (a
// window not yet shown, hidden, or not yet framed by the window manager) is
// kept as asked and applied when the frame is known, so the window neither
// grows, shrinks nor moves by its frame; a hidden window keeps telling the
// place its frame had.
// A close request first asks OnQueryUnload, then OnUnload; either may set
// cancel to keep the window.
class Form : public QWidget {
public:
    explicit Form(QWidget* owner = nullptr);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    std::string Caption() const;
    void SetCaption(std::string_view caption);

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(double twips);
    void SetTop(double twips);
    void SetWidth(double twips);
    void SetHeight(double twips);
    // Negative width or height keeps that size.
    void Move(double left, double top, double width = -1, double height = -1);
    int ScaleWidth() const;
    int ScaleHeight() const;
    // The frame around the inside (pixels): the window manager's, or the one
    // it last gave while the window is hidden or not yet framed; none before
    // the window was first framed.
    QMargins FrameMargins() const;

    int WindowState() const;
    void SetWindowState(int state);

    // Asks the window to close as the program's own Unload does; false when a
    // handler kept it open.
    bool Unload();
    // Shows the window modally and returns when it is hidden or closed.
    void ShowModal();

    // With KeyPreview the window sees every key of its controls before they
    // do (and may swallow it); without, only keys sent to the window itself.
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool on);
    // True while Keys.KeyDown is raised for the keyboard's auto-repeat of a
    // held key. Repeats never raise KeyUp: a key's release reaches KeyUp once,
    // when the key is really let go: at once where the X server sends
    // auto-repeat as presses alone (detectable auto-repeat), else within
    // ReleaseDeadlineMs, the time it takes to tell a repeat's release from a
    // real one.
    bool KeyRepeats() const { return keyRepeats_; }
    static constexpr int ReleaseDeadlineMs = 15;

    KeyHandlers Keys;
    std::function<void(int& cancel, int unloadMode)> OnQueryUnload;
    std::function<void(int& cancel)> OnUnload;
    std::function<void()> OnResize;
    // The window manager framed the window, or changed its frame.
    std::function<void()> OnFrameChange;

    // A window hidden while it had the keyboard takes it back when shown
    // again, with a window manager or without.
    void setVisible(bool visible) override;

protected:
    // After each input kept during a press has been carried out on this
    // window, before the next: what the input asked for at the next safe
    // moment is due now, so that the input after it finds it.
    virtual void KeptInputDone() {}

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QMargins ToolkitMargins() const;
    QMargins CurrentMargins() const;
    QRect OuterRect() const;
    bool FrameKnown() const;
    void PlaceInside(QPoint corner, const QMargins& frame);
    QPoint FrameCorner() const;
    void ApplyPending();
    void KeepPlaceWhileHidden();
    QSize OuterSize() const;
    bool PendingOuterHolds() const;
    void ResizeToPendingOuter();
    bool PreviewKey(QObject* target, QKeyEvent& event);
    bool KeyIsForWindowItself() const;
    // target: where a key KeyDown changed goes on to; none for a press a
    // shortcut took.
    bool PreviewPress(QObject* target, QKeyEvent& event, bool repeat);
    // Notes the press offered to the window's focused control before the
    // shortcuts are matched, or previews it once a shortcut took it.
    void PreviewShortcutPress(QObject* watched, QEvent& event);
    void DeliverHeldBackRelease(const std::optional<KeyStroke>& release);
    void ReleaseDeadlinePassed();

    // The outer size (pixels) asked for while the frame was not known, and
    // the inner size given for it meanwhile: while the window keeps that
    // inner size, its outer size is the one asked for.
    std::optional<QSize> pendingOuter_;
    QSize pendingInner_;
    // Likewise the frame's corner (pixels) asked for, or had when the window
    // was hidden.
    std::optional<QPoint> pendingCorner_;
    QMargins lastMargins_;
    bool framedOnce_ = false;
    // Where the whole window stood while the X server showed it with no
    // frame: a window manager that starts later takes the window over with
    // its frame there.
    bool shownUnframed_ = false;
    QRect unframedOuter_;
    // Shown and framed: the window system has shown (exposed) the window
    // since it was last hidden.
    bool framed_ = false;
    // The corner just asked of a window shown again, checked against what
    // the window system reports within CornerCheckMs.
    std::optional<QPoint> cornerToCheck_;
    static constexpr int CornerCheckMs = 500;
    QPointer<QWindow> watchedWindow_;
    bool resizingToOuter_ = false;
    bool keyPreview_ = false;
    // Hidden while it had the keyboard: it takes the keyboard back when shown.
    bool regainKeyboard_ = false;
    bool closingByCode_ = false;
    // A close box used in a press waits to be carried out after it.
    bool closeWaits_ = false;
    bool resending_ = false;
    bool keyRepeats_ = false;
    QEventLoop* modalLoop_ = nullptr;
    KeyRepeatPairing keyPairing_;
    // The release being held back, as it came, for KeyUp's key code and shift.
    std::unique_ptr<QKeyEvent> heldBackRelease_;
    // The press last offered to the window's focused control, until it
    // arrives as a key or a shortcut takes it.
    std::unique_ptr<QKeyEvent> offeredPress_;
    WindowTimer* releaseDeadline_ = nullptr;
    WindowTimer* cornerCheck_ = nullptr;
    LostMapRetry* mapRetry_ = nullptr;
};

} // namespace platform
