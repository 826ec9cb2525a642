#pragma once

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace operatortest {

// Runs open, which shows a modal window and returns once it is closed, and
// answers that window from its own event loop as soon as find gives it
// shown. open may pump events for a while before it shows the window, on a
// busy machine for as many turns as it likes, so the look goes on until the
// window shows or open has returned without it. Returns whether the window
// was answered.
inline bool AnswerWhenShown(const std::function<QWidget*()>& find, const std::function<void(QWidget&)>& answer,
                            const std::function<void()>& open)
{
    bool answered = false;
    bool returned = false;
    bool looking = true;
    std::function<void()> look = [&] {
        if (QWidget* window = find(); window != nullptr && window->isVisible()) {
            answer(*window);
            answered = true;
            looking = false;
        } else if (returned) {
            looking = false;
        } else {
            QTimer::singleShot(0, look);
        }
    };
    QTimer::singleShot(0, look);
    open();
    returned = true;
    // The last look may still be queued: it must run while what it refers
    // to lives.
    while (looking) {
        QCoreApplication::processEvents();
    }
    return answered;
}

} // namespace operatortest
