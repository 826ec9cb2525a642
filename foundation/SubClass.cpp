#include "foundation/SubClass.h"

#include "platform/SessionEndpoint.h"
#include "platform/base/AppIdentity.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <memory>
#include <vector>

namespace basic {

SessionWindow FindWindowByTitle(std::string_view title)
{
    if (title.empty()) {
        return {};
    }
    const std::string exact(title);
    if (platform::SessionRunning(exact)) {
        return {exact};
    }
    const std::string caption = exact + " - " + App::CompanyName;
    if (platform::SessionRunning(caption)) {
        return {caption};
    }
    return {};
}

} // namespace basic

namespace FCT_SubClass {

namespace {

struct SubclassSlot {
    QPointer<QWidget> window;
    bool used = false;
    int wheel = 0;
    int captionLock = 0;
};

std::vector<SubclassSlot>& Slots()
{
    static std::vector<SubclassSlot> table;
    return table;
}

// Sees the wheel events of every subclassed window, wherever in the window
// the pointer is, before the controls do; it never consumes them.
class WheelWatcher final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel) {
            return false;
        }
        const auto* widget = qobject_cast<QWidget*>(watched);
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (widget == nullptr || delta == 0) {
            return false;
        }
        for (SubclassSlot& slot : Slots()) {
            if (slot.used && slot.window == widget->window()) {
                slot.wheel = delta < 0 ? 1 : -1; // negative: turned towards the user
            }
        }
        return false;
    }
};

std::unique_ptr<WheelWatcher>& Watcher()
{
    static std::unique_ptr<WheelWatcher> watcher;
    return watcher;
}

SubclassSlot* SlotOf(QWidget* window)
{
    const int index = FindSubclassSlot(window);
    return index < 0 ? nullptr : &Slots()[static_cast<std::size_t>(index)];
}

// Command lines handed over are taken only while a window of this process
// receives them; otherwise the later start hears that its was not taken.
void TakeHandOversWhileSubclassed()
{
    if (platform::SessionEndpoint* session = platform::ProcessSession(); session != nullptr) {
        const auto& table = Slots();
        session->SetTakingTexts(
            std::any_of(table.begin(), table.end(), [](const SubclassSlot& slot) { return slot.used; }));
    }
}

} // namespace

int SendCopyData(std::string_view windowTitle, std::string_view text)
{
    const basic::SessionWindow window = basic::FindWindowByTitle(windowTitle);
    if (!window) {
        return 0;
    }
    return platform::SendToSession(window.caption, text);
}

void SendCopyDataToWindow(const basic::SessionWindow& window, std::string_view text)
{
    if (window) {
        platform::SendToSession(window.caption, text);
    }
}

void SubclassWindow(QWidget* window)
{
    if (window == nullptr) {
        return;
    }
    if (FindSubclassSlot(window) >= 0) {
        TakeHandOversWhileSubclassed();
        return;
    }
    auto& table = Slots();
    auto free = std::find_if(table.begin(), table.end(), [](const SubclassSlot& slot) { return !slot.used; });
    if (free == table.end()) {
        table.emplace_back();
        free = table.end() - 1;
    }
    *free = SubclassSlot{window, true, 0, 0};
    if (!Watcher() && QCoreApplication::instance() != nullptr) {
        Watcher() = std::make_unique<WheelWatcher>();
        QCoreApplication::instance()->installEventFilter(Watcher().get());
    }
    TakeHandOversWhileSubclassed();
}

void UnsubclassWindow(QWidget* window)
{
    if (SubclassSlot* slot = SlotOf(window); slot != nullptr) {
        *slot = SubclassSlot{};
        TakeHandOversWhileSubclassed();
    }
}

int FindSubclassSlot(QWidget* window)
{
    if (window == nullptr) {
        return -1;
    }
    const auto& table = Slots();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].used && table[i].window == window) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void SetCaptionLock(QWidget* window, int lock)
{
    if (SubclassSlot* slot = SlotOf(window); slot != nullptr) {
        slot->captionLock = lock;
    }
}

int CaptionLock(QWidget* window)
{
    const SubclassSlot* slot = SlotOf(window);
    return slot != nullptr ? slot->captionLock : 0;
}

int GetWheelDelta(QWidget* window)
{
    SubclassSlot* slot = SlotOf(window);
    if (slot == nullptr) {
        return 0;
    }
    const int wheel = slot->wheel;
    slot->wheel = 0;
    return wheel;
}

std::string GetCopyDataText(QWidget* window)
{
    platform::SessionEndpoint* session = platform::ProcessSession();
    if (SlotOf(window) == nullptr || session == nullptr) {
        return {};
    }
    return session->TakeText().value_or(std::string());
}

} // namespace FCT_SubClass
