#include "platform/ControlEvents.h"

#include "platform/InputCodes.h"
#include "platform/base/Twips.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace platform {

namespace {

Qt::Key KeyTyping(int keyAscii, Qt::Key original)
{
    switch (keyAscii) {
    case 8:
        return Qt::Key_Backspace;
    case 9:
        return Qt::Key_Tab;
    case 13:
        return Qt::Key_Return;
    case 27:
        return Qt::Key_Escape;
    default:
        return original;
    }
}

} // namespace

bool RouteKeyPress(const KeyHandlers& handlers, const QKeyEvent& event, std::optional<QKeyEvent>& replacement)
{
    replacement.reset();
    const int shift = ShiftCode(event.modifiers());
    if (handlers.KeyDown) {
        int keyCode = VirtualKeyCode(event);
        handlers.KeyDown(keyCode, shift);
        if (keyCode == 0) {
            return true;
        }
    }
    const int typed = KeyAsciiCode(event);
    if (typed == 0 || !handlers.KeyPress) {
        return false;
    }
    int keyAscii = typed;
    handlers.KeyPress(keyAscii);
    if (keyAscii == 0) {
        return true;
    }
    if (keyAscii != typed) {
        const Qt::Key key = KeyTyping(keyAscii, static_cast<Qt::Key>(event.key()));
        const char32_t character = static_cast<char32_t>(keyAscii);
        replacement.emplace(event.type(), key, event.modifiers(), QString::fromUcs4(&character, 1),
                            event.isAutoRepeat(), static_cast<quint16>(event.count()));
    }
    return false;
}

bool RouteKeyRelease(const KeyHandlers& handlers, const QKeyEvent& event)
{
    if (!handlers.KeyUp || event.isAutoRepeat()) {
        return false;
    }
    int keyCode = VirtualKeyCode(event);
    handlers.KeyUp(keyCode, ShiftCode(event.modifiers()));
    return keyCode == 0;
}

double ToScale(int pixels, ScaleUnit unit)
{
    return unit == ScaleUnit::Twips ? static_cast<double>(pixels) * basic::TwipsPerPixel : pixels;
}

void RaiseMouseEvent(const MouseHandlers& handlers, const QMouseEvent& event, ScaleUnit unit)
{
    const QPoint at = event.position().toPoint();
    const double x = ToScale(at.x(), unit);
    const double y = ToScale(at.y(), unit);
    const int shift = ShiftCode(event.modifiers());
    switch (event.type()) {
    case QEvent::MouseButtonPress:
        if (handlers.MouseDown) {
            handlers.MouseDown(MouseButtonCode(event.button()), shift, x, y);
        }
        break;
    case QEvent::MouseButtonDblClick:
        // A double click counts as another press, then raises DblClick.
        if (handlers.MouseDown) {
            handlers.MouseDown(MouseButtonCode(event.button()), shift, x, y);
        }
        if (handlers.DblClick && event.button() == Qt::LeftButton) {
            handlers.DblClick();
        }
        break;
    case QEvent::MouseMove:
        if (handlers.MouseMove) {
            handlers.MouseMove(MouseButtonsCode(event.buttons()), shift, x, y);
        }
        break;
    case QEvent::MouseButtonRelease:
        if (handlers.MouseUp) {
            handlers.MouseUp(MouseButtonCode(event.button()), shift, x, y);
        }
        break;
    default:
        break;
    }
}

} // namespace platform

namespace platform {

namespace {

class KeyHook final : public QObject {
public:
    KeyHook(QWidget& target, const KeyHandlers& handlers, std::function<bool()> active)
        : QObject(&target), handlers_(handlers), active_(std::move(active))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Only key events ask the control whether it routes keys: a control
        // being destroyed still gets its focus-out here.
        const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
        if (resending_ || !key || (active_ && !active_())) {
            return false;
        }
        if (event->type() == QEvent::KeyPress) {
            std::optional<QKeyEvent> replacement;
            if (RouteKeyPress(handlers_, *static_cast<QKeyEvent*>(event), replacement)) {
                return true;
            }
            if (replacement) {
                resending_ = true;
                QCoreApplication::sendEvent(watched, &*replacement);
                resending_ = false;
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            return RouteKeyRelease(handlers_, *static_cast<QKeyEvent*>(event));
        }
        return false;
    }

private:
    const KeyHandlers& handlers_;
    std::function<bool()> active_;
    bool resending_ = false;
};

class MouseHook final : public QObject {
public:
    MouseHook(QWidget& target, const MouseHandlers& handlers, const ScaleUnit& unit)
        : QObject(&target), handlers_(handlers), unit_(unit)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            RaiseMouseEvent(handlers_, *static_cast<QMouseEvent*>(event), unit_);
            if (event->type() == QEvent::MouseButtonPress) {
                pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            }
            break;
        case QEvent::MouseButtonRelease: {
            const auto& mouse = *static_cast<QMouseEvent*>(event);
            RaiseMouseEvent(handlers_, mouse, unit_);
            // A click is a left press and release on the same control.
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (pressed_ && mouse.button() == Qt::LeftButton && widget != nullptr &&
                widget->rect().contains(mouse.position().toPoint()) && handlers_.Click) {
                pressed_ = false;
                handlers_.Click();
            }
            pressed_ = false;
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    const MouseHandlers& handlers_;
    const ScaleUnit& unit_;
    bool pressed_ = false;
};

} // namespace

void InstallKeyRouting(QWidget& target, const KeyHandlers& handlers, std::function<bool()> active)
{
    target.installEventFilter(new KeyHook(target, handlers, std::move(active)));
}

void InstallMouseRouting(QWidget& target, const MouseHandlers& handlers, const ScaleUnit& unit)
{
    target.installEventFilter(new MouseHook(target, handlers, unit));
}

} // namespace platform
