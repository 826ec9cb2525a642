#include "platform/InputGate.h"

#include "platform/KeptInputEvent.h"

#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWindow>

#include <algorithm>
#include <deque>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace platform {

namespace {

// More than an operator makes in any press that keeps to its time limit.
constexpr std::size_t MostKept = 1000;

// A touch or a pen stroke that no control takes comes again as the mouse
// events it stands for, and those are kept. So touch and pen input pass
// here: kept and carried out later, a tap would come to nothing.
bool IsInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

// Inside modal, or below it.
bool Within(const QWindow& modal, const QWindow* window)
{
    return window != nullptr && (window == &modal || modal.isAncestorOf(window, QWindow::IncludeTransients));
}

// As the toolkit blocks a window behind a modal one.
bool BlockedByModal(const QWindow* window)
{
    const QWindow* modal = QGuiApplication::modalWindow();
    if (modal == nullptr || Within(*modal, window)) {
        return false;
    }
    return modal->modality() != Qt::WindowModal || window->isAncestorOf(modal, QWindow::IncludeTransients);
}

class InputGate final : public QObject {
public:
    explicit InputGate(QObject& application) : QObject(&application) {}

    bool Kept() const { return InputHeld() || (!kept_.empty() && delivering_ == 0); }

    // A box the press itself asks the operator with takes its own input.
    bool AskedInPress(const QWindow* window) const
    {
        const QWindow* modal = QGuiApplication::modalWindow();
        return modal != nullptr && modal != modalBefore_ && Within(*modal, window);
    }

    void After(QObject& context, std::function<void()> action)
    {
        if (!Kept()) {
            action();
            return;
        }
        Keep({&context, std::nullopt, std::move(action)});
    }

    std::optional<KeptDragEnd> TakeDragEnd()
    {
        if (!carryingOutPointer_) {
            return std::nullopt;
        }
        const auto release = std::find_if(kept_.begin(), kept_.end(), [](const Input& input) {
            return input.event && input.event->Type() == QEvent::MouseButtonRelease;
        });
        if (release == kept_.end()) {
            return std::nullopt;
        }
        KeptDragEnd end{release->event->GlobalPosition().toPoint(), release->event->Modifiers(), false};
        // The drag takes the pointer and the keys; the program's own actions
        // kept meanwhile stay, in their order.
        std::deque<Input> actions;
        const auto taken = std::next(release);
        for (auto input = kept_.begin(); input != taken; ++input) {
            if (!input->event) {
                actions.push_back(std::move(*input));
            } else {
                end.cancelled = end.cancelled || input->event->IsKeyPress(Qt::Key_Escape);
                --keptEvents_;
            }
        }
        kept_.erase(kept_.begin(), taken);
        kept_.insert(kept_.begin(), std::make_move_iterator(actions.begin()), std::make_move_iterator(actions.end()));
        return end;
    }

    void HoldChanged(bool held)
    {
        if (held) {
            // A modal window open already (a dialog the press came from) is
            // the operator's, not the press's: its input waits too.
            modalBefore_ = QGuiApplication::modalWindow();
        } else if (!kept_.empty()) {
            PostNext();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The window system hands input to a window first; the window hands
        // it on to its controls, which are reached through it only.
        if (!event->spontaneous() || !watched->isWindowType() || !IsInput(event->type())) {
            return false;
        }
        if (event->type() == QEvent::ShortcutOverride && OffersKeyCarriedOut(*event)) {
            return false;
        }
        if (!InputHeld() && kept_.empty()) {
            return false;
        }
        if (AskedInPress(static_cast<QWindow*>(watched))) {
            return false;
        }
        if (event->type() == QEvent::ShortcutOverride) {
            // The window takes the key, so that it comes as a press, which
            // is kept; its shortcut is tried once that is carried out.
            event->accept();
            return true;
        }
        if (event->type() == QEvent::MouseMove && !kept_.empty() && kept_.back().event &&
            kept_.back().target == watched &&
            kept_.back().event->IsMoveWith(static_cast<const QMouseEvent*>(event)->buttons())) {
            kept_.back().event.emplace(*event); // only moves on from the move kept last
            return true;
        }
        Keep({watched, KeptInputEvent(*event), {}});
        return true;
    }

private:
    struct Input {
        QPointer<QObject> target;
        std::optional<KeptInputEvent> event;
        std::function<void()> action;
    };

    void Keep(Input input)
    {
        // Only the operator's own events count: a close or a menu the
        // program puts off is never dropped for them.
        if (input.event) {
            if (keptEvents_ >= MostKept) {
                if (!overflowLogged_) {
                    Log("Input during a press beyond " + std::to_string(MostKept) + " events was dropped, from " +
                            input.event->What() + " on",
                        0);
                    overflowLogged_ = true;
                }
                return;
            }
            ++keptEvents_;
        }
        kept_.push_back(std::move(input));
    }

    Input TakeFront()
    {
        Input input = std::move(kept_.front());
        kept_.pop_front();
        if (input.event) {
            --keptEvents_;
        }
        return input;
    }

    // A press carried out from the gate asks its shortcuts once more.
    bool OffersKeyCarriedOut(const QEvent& event) const
    {
        const auto& offer = static_cast<const QKeyEvent&>(event);
        return carryingOut_ != nullptr && offer.key() == carryingOut_->key() &&
               offer.modifiers() == carryingOut_->modifiers() && offer.timestamp() == carryingOut_->timestamp();
    }

    void PostNext()
    {
        if (!posted_) {
            posted_ = true;
            QMetaObject::invokeMethod(this, [this] { CarryOutNext(); }, Qt::QueuedConnection);
        }
    }

    void CarryOutNext()
    {
        posted_ = false;
        if (InputHeld() || kept_.empty()) {
            return; // the hold that ends posts again
        }
        Input input = TakeFront();
        if (kept_.empty()) {
            overflowLogged_ = false;
        } else {
            // Posted first: a dialog this input opens takes the rest in its
            // own loop, as it would have, and blocks what it blocks.
            PostNext();
        }
        ++delivering_;
        if (input.action) {
            if (input.target) {
                input.action();
            } else {
                Log("Input kept during a press was dropped: what the program put off (a close, a menu, a drop) was for "
                    "a window or control closed since",
                    0);
            }
        } else if (!input.target) {
            Log(std::string("Input kept during a press was dropped: ") + input.event->What() +
                    " for a window closed since",
                0);
        } else {
            Deliver(*static_cast<QWindow*>(input.target.data()), *input.event);
            if (input.target) {
                QEvent carriedOut(KeptInputCarriedOut());
                QCoreApplication::sendEvent(input.target, &carriedOut);
            }
        }
        --delivering_;
    }

    void Deliver(QWindow& target, const KeptInputEvent& kept)
    {
        if (!target.isVisible()) {
            Log(std::string("Input kept during a press was dropped: ") + kept.What() + " for a window hidden since", 0);
            return;
        }
        if (BlockedByModal(&target)) {
            Log(std::string("Input kept during a press was dropped: ") + kept.What() +
                    " for a window a dialog opened since blocks",
                0);
            return;
        }
        const std::unique_ptr<QEvent> made = kept.Make();
        QEvent& event = *made;
        const QKeyEvent* outer = carryingOut_;
        const bool outerPointer = carryingOutPointer_;
        if (event.type() == QEvent::KeyPress) {
            carryingOut_ = static_cast<QKeyEvent*>(&event);
        }
        carryingOutPointer_ = event.isPointerEvent();
        QCoreApplication::sendEvent(&target, &event);
        carryingOut_ = outer;
        carryingOutPointer_ = outerPointer;
    }

    std::deque<Input> kept_;
    QPointer<QWindow> modalBefore_;
    const QKeyEvent* carryingOut_ = nullptr;
    bool carryingOutPointer_ = false;
    std::size_t keptEvents_ = 0;
    int delivering_ = 0;
    bool posted_ = false;
    bool overflowLogged_ = false;
};

QPointer<InputGate>& Installed()
{
    static QPointer<InputGate> gate;
    return gate;
}

// Installed at the latest when something asks: input that waits somewhere
// always waits here.
InputGate* Gate()
{
    InstallInputGate();
    return Installed();
}

} // namespace

void InstallInputGate()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (Installed() != nullptr || application == nullptr) {
        return;
    }
    Installed() = new InputGate(*application);
    application->installEventFilter(Installed());
    SetInputHoldHook([](bool held) {
        if (Installed() != nullptr) {
            Installed()->HoldChanged(held);
        }
    });
}

bool InputKept()
{
    InputGate* gate = Gate();
    return gate != nullptr ? gate->Kept() : InputHeld();
}

bool InputKeptFrom(const QWindow* window)
{
    InputGate* gate = Gate();
    return gate != nullptr ? gate->Kept() && !gate->AskedInPress(window) : InputHeld();
}

std::optional<KeptDragEnd> TakeKeptDragEnd()
{
    InputGate* gate = Installed();
    return gate != nullptr ? gate->TakeDragEnd() : std::nullopt;
}

QEvent::Type KeptInputCarriedOut()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void AfterKeptInput(QObject& context, std::function<void()> action)
{
    // A context lives only with an application, and so does the gate.
    if (InputGate* gate = Gate(); gate != nullptr) {
        gate->After(context, std::move(action));
    }
}

} // namespace platform
