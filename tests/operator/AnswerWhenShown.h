#pragma once

#include "support/ProcessUntil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace operatortest {

// Runs open, which shows a modal window and returns once it is closed, and
// answers that window from its own event loop as soon as find gives it
// shown. open may pump events for a while before it shows the window, on a
// busy machine for as many turns as it likes, so the look goes on until the
// window shows, open has returned without it, or ms of real time have
// passed. Past them it fails, saying the window did not show, and hides the
// modal window that holds open, so that the run goes on. Returns whether the
// window was answered.
inline bool AnswerWhenShown(const std::function<QWidget*()>& find, const std::function<void(QWidget&)>& answer,
                            const std::function<void()>& open, int ms = testsupport::RealWaitMs)
{
    // The looks are queued on this object: one still queued when open has
    // returned goes with it, so nothing waits for it to run.
    const QObject looks;
    bool answered = false;
    bool gaveUp = false;
    QElapsedTimer elapsed;
    elapsed.start();
    std::function<void()> look = [&] {
        if (QWidget* window = find(); window != nullptr && window->isVisible()) {
            answer(*window);
            answered = true;
            return;
        }
        if (elapsed.elapsed() >= ms) {
            gaveUp = true;
            if (QWidget* holding = QApplication::activeModalWidget(); holding != nullptr) {
                holding->hide();
            }
        }
        QTimer::singleShot(0, &looks, look);
    };
    QTimer::singleShot(0, &looks, look);
    open();
    if (gaveUp) {
        ADD_FAILURE() << "the window to answer did not show within " << ms
                      << " ms of its opening; the modal window holding the run was hidden";
    }
    return answered;
}

} // namespace operatortest
