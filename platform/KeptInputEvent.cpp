#include "platform/KeptInputEvent.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace platform {

namespace {

bool IsMouse(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
           type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
}

} // namespace

KeptInputEvent::KeptInputEvent(const QEvent& event) : type_(event.type())
{
    if (IsMouse(type_) || type_ == QEvent::Wheel) {
        const auto& pointer = static_cast<const QSinglePointEvent&>(event);
        position_ = pointer.position();
        scenePosition_ = pointer.scenePosition();
        globalPosition_ = pointer.globalPosition();
        button_ = pointer.button();
        buttons_ = pointer.buttons();
        modifiers_ = pointer.modifiers();
        device_ = pointer.pointingDevice();
        if (type_ == QEvent::Wheel) {
            const auto& wheel = static_cast<const QWheelEvent&>(event);
            pixelDelta_ = wheel.pixelDelta();
            angleDelta_ = wheel.angleDelta();
            phase_ = wheel.phase();
            inverted_ = wheel.inverted();
        }
        return;
    }
    copy_.reset(event.clone());
}

bool KeptInputEvent::IsMoveWith(Qt::MouseButtons buttons) const
{
    return type_ == QEvent::MouseMove && buttons_ == buttons;
}

bool KeptInputEvent::IsKeyPress(int key) const
{
    return type_ == QEvent::KeyPress && static_cast<const QKeyEvent&>(*copy_).key() == key;
}

const char* KeptInputEvent::What() const
{
    switch (type_) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return "a click";
    case QEvent::MouseButtonRelease:
        return "a mouse button let go";
    case QEvent::MouseMove:
        return "a pointer move";
    case QEvent::Wheel:
        return "a wheel turn";
    case QEvent::KeyPress:
        return "a key";
    case QEvent::KeyRelease:
        return "a key let go";
    default:
        return "a right-click menu";
    }
}

std::unique_ptr<QEvent> KeptInputEvent::Make() const
{
    if (copy_) {
        return std::unique_ptr<QEvent>(copy_->clone());
    }
    // A device the window system has taken away since is the pointer all the same.
    const QPointingDevice* device = device_ ? device_.data() : QPointingDevice::primaryPointingDevice();
    // Its time is left as made: setting a time earlier than the pointer's
    // last on a pointer event corrupted the toolkit's heap (Qt 6.4), and no
    // control asks when a click was made.
    if (type_ == QEvent::Wheel) {
        return std::make_unique<QWheelEvent>(position_, globalPosition_, pixelDelta_, angleDelta_, buttons_, modifiers_,
                                             phase_, inverted_, Qt::MouseEventNotSynthesized, device);
    }
    return std::make_unique<QMouseEvent>(type_, position_, scenePosition_, globalPosition_, button_, buttons_,
                                         modifiers_, device);
}

} // namespace platform
