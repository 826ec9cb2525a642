// While a press waits for its file (a graph that never prerolls) no pump
// dispatches input, whoever calls it. The real Qt pump is installed, and
// input is queued as the window system queues it, not sent synchronously.
#include "platform/DragSource.h"
#include "platform/DropTarget.h"
#include "platform/EventPump.h"
#include "platform/Form.h"
#include "platform/InputGate.h"
#include "platform/PopupMenu.h"
#include "platform/audio/PrerollTimeouts.h"
#include "platform/base/Hooks.h"
#include "platform/base/Twips.h"
#include "support/CapturedLog.h"
#include "support/MediaFixture.h"
#include "support/ProcessUntil.h"
#include "support/RiffFileBuilder.h"

#include <QAction>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <qpa/qplatformdrag.h>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

namespace {

using platform::audio::MediaGraph;
using Queued = QWindowSystemInterface::AsynchronousDelivery;
using Log = std::vector<std::string>;

class ClickLog : public QWidget {
public:
    ClickLog(QWidget& parent, Log& log) : QWidget(&parent), log_(log) { setGeometry(0, 0, 100, 50); }

protected:
    void mousePressEvent(QMouseEvent*) override { log_.emplace_back("click"); }

private:
    Log& log_;
};

// Where each press and release landed, in the control's own pixels.
class PointerLog : public QWidget {
public:
    PointerLog(QWidget& parent, Log& log, int left) : QWidget(&parent), log_(log)
    {
        setGeometry(left, 0, 40, 40);
        show();
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { Note("press", *event); }
    void mouseReleaseEvent(QMouseEvent* event) override { Note("release", *event); }
    void wheelEvent(QWheelEvent* event) override { Note("wheel", *event); }

private:
    void Note(const char* what, const QSinglePointEvent& event)
    {
        const QPoint at = event.position().toPoint();
        log_.push_back(objectName().toStdString() + " " + what + " " + std::to_string(at.x()) + "," +
                       std::to_string(at.y()));
    }
    Log& log_;
};

class PressWait : public audiotest::MediaFixture {
protected:
    void SetUp() override
    {
        MediaFixture::SetUp();
        basic::TwipsPerPixel = 15;
        platform::InstallQtEventPump();
        MediaGraph::SetPrerollLimitMs(300);
        testsupport::RiffFileBuilder().Format(1, 1, Rate, 8).Data({}).WriteTo(silent);
        list.setGeometry(0, 60, 100, 100);
        drop.OnDragOver = [](platform::DragData&, int& effect, int, int, double, double, int) {
            effect = platform::DropEffectCopy;
        };
        // As the play list does: the cursor moves, and the list redraws with DoEvents.
        drop.OnDragDrop = [this](platform::DragData& data, int&, int, int, double, double) {
            log.push_back("drop " + data.Files().at(0));
            platform::DoEvents();
        };
        form.Keys.KeyDown = [this](int& code, int) { log.push_back("down " + std::to_string(code)); };
        form.Keys.KeyUp = [this](int& code, int) { log.push_back("up " + std::to_string(code)); };
        form.SetKeyPreview(true);
        form.resize(200, 200);
        form.show();
        ASSERT_TRUE(
            testsupport::ProcessUntil([this] { return form.windowHandle()->isExposed(); }, testsupport::RealWaitMs));
    }
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        platform::SetPumpWithoutInputHook(nullptr);
        platform::SetPopupMenuAnswer(nullptr);
        MediaGraph::SetPrerollLimitMs(0);
        platform::audio::prerolltimeouts::Forget();
        basic::TwipsPerPixel = 0;
        MediaFixture::TearDown();
    }

    // Mouse input at a spot of the form, queued as the window system queues it.
    void Queue(QEvent::Type type, QPointF at, Qt::MouseButtons buttons)
    {
        QWindow* window = form.windowHandle();
        QWindowSystemInterface::handleMouseEvent<Queued>(window, at, window->mapToGlobal(at), buttons, Qt::LeftButton,
                                                         type);
    }
    void Click(QPointF at = {10, 10})
    {
        Queue(QEvent::MouseButtonPress, at, Qt::LeftButton);
        Queue(QEvent::MouseButtonRelease, at, Qt::NoButton);
    }

    // A drag from the drag control (at 10,170) let go at end, after Esc when
    // escape; the pointer then rests elsewhere.
    void Drag(QPointF end, bool escape = false)
    {
        Queue(QEvent::MouseButtonPress, {10, 170}, Qt::LeftButton);
        Queue(QEvent::MouseMove, {60, 170}, Qt::LeftButton);
        Queue(QEvent::MouseMove, end, Qt::LeftButton);
        if (escape) {
            QWindowSystemInterface::handleKeyEvent<Queued>(form.windowHandle(), QEvent::KeyPress, Qt::Key_Escape,
                                                           Qt::NoModifier);
        }
        Queue(QEvent::MouseButtonRelease, end, Qt::NoButton);
        Queue(QEvent::MouseMove, {160, 170}, Qt::NoButton);
    }

    // A file dragged from another program over the form at at: the window
    // system asks the window at once. Then let go there: what it heard.
    void DragFromOutside(const char* file, QPoint at, Qt::DropActions actions)
    {
        outside.setUrls({QUrl::fromLocalFile(file)});
        QWindowSystemInterface::handleDrag(form.windowHandle(), &outside, at, actions, Qt::LeftButton, Qt::NoModifier);
    }
    Qt::DropAction LetGo(QPoint at, Qt::DropActions actions)
    {
        QWindow* window = form.windowHandle();
        QCursor::setPos(window->mapToGlobal(at));
        const auto response =
            QWindowSystemInterface::handleDrop(window, &outside, at, actions, Qt::LeftButton, Qt::NoModifier);
        return response.isAccepted() ? response.acceptedAction() : Qt::IgnoreAction;
    }

    // A graph's wait for its first data, with during() run inside it as the
    // window system's own messages are (a drop among them); what it logged.
    Log Wait(const std::function<void()>& during)
    {
        QMetaObject::invokeMethod(&form, during, Qt::QueuedConnection);
        MediaGraph graph;
        EXPECT_FALSE(graph.RenderFile(silent, 1));
        EXPECT_EQ(graph.LastError(), "the graph did not preroll in time");
        return log;
    }

    std::string silent = folder / "silent.wav";
    QMimeData outside; // what another program drags
    Log log;
    platform::Form form;
    ClickLog button{form, log};
    QWidget list{&form};
    platform::DropTarget drop{list};
};

TEST_F(PressWait, HoldsClicksKeysAndDropsThroughEveryPumpAndCarriesThemOutAfterItInOrder)
{
    // A key let go just before the press: its release waits for the
    // window's deadline, whose timer pumps.
    for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a");
        key.setTimestamp(type == QEvent::KeyPress ? 1000 : 1100);
        QCoreApplication::sendEvent(&form, &key);
    }
    QWindow* window = form.windowHandle();
    Click();
    QWindowSystemInterface::handleKeyEvent<Queued>(window, QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
    Qt::DropAction answered = Qt::IgnoreAction;

    const Log inWait = Wait([&] {
        platform::DoEvents();
        clock.Advance(platform::Form::ReleaseDeadlineMs);
        // From another program: the window system hands the drop over at once.
        const QPoint at = list.mapTo(&form, QPoint(20, 20));
        DragFromOutside("/srv/sounds/dropped.wav", at, Qt::CopyAction | Qt::MoveAction);
        answered = LetGo(at, Qt::CopyAction | Qt::MoveAction);
    });
    EXPECT_EQ(inWait, (Log{"down 65"})) << "not even the window's own late release of a key runs in a press";
    EXPECT_EQ(answered, Qt::CopyAction) << "the source hears at once the effect taken over that spot";

    // The late release goes no later than the next key, which might have
    // been its repeat.
    ASSERT_TRUE(testsupport::ProcessUntil([this] { return log.size() >= 5; }, testsupport::RealWaitMs));
    EXPECT_EQ(log, (Log{"down 65", "click", "up 65", "down 66", "drop /srv/sounds/dropped.wav"}));
}

// The close box clicked again and again in the press asks once.
TEST_F(PressWait, CarriesOutACloseAskedInItAfterItOnce)
{
    form.OnQueryUnload = [this](int& cancel, int) {
        log.emplace_back("close");
        cancel = 1;
    };
    const Log inWait = Wait([this] {
        for (int close = 0; close < 3; ++close) {
            QWindowSystemInterface::handleCloseEvent<Queued>(form.windowHandle());
        }
        Click();
        platform::DoEvents();
    });
    EXPECT_TRUE(inWait.empty());
    ASSERT_TRUE(
        testsupport::ProcessUntil([this] { return !log.empty() && log.back() == "click"; }, testsupport::RealWaitMs));
    EXPECT_EQ(log, (Log{"close", "click"}));
}

// As the menu's Alt+letter: the key that was kept still works its shortcut.
TEST_F(PressWait, CarriesOutAShortcutKeptInItAfterIt)
{
    QAction menuItem(&form);
    menuItem.setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
    form.addAction(&menuItem);
    form.activateWindow();
    ASSERT_TRUE(testsupport::ProcessUntil([this] { return form.isActiveWindow(); }, testsupport::RealWaitMs));
    QObject::connect(&menuItem, &QAction::triggered, &form, [this] { log.emplace_back("shortcut"); });
    const Log inWait = Wait([this] {
        QWindowSystemInterface::handleKeyEvent<Queued>(form.windowHandle(), QEvent::KeyPress, Qt::Key_C,
                                                       Qt::AltModifier, "c");
        platform::DoEvents();
    });
    EXPECT_TRUE(inWait.empty());
    EXPECT_TRUE(testsupport::ProcessUntil(
        [this] {
            return log == Log{"down 67", "shortcut"};
        },
        testsupport::RealWaitMs));
}

// A box the press itself asks the operator with takes the operator's answer.
TEST_F(PressWait, LetsABoxOpenedInItTakeItsClicks)
{
    QDialog box;
    box.setGeometry(300, 0, 100, 50);
    QPushButton yes("Yes", &box);
    yes.setGeometry(0, 0, 100, 50);
    QObject::connect(&yes, &QPushButton::clicked, &box, &QDialog::accept);
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, &box, [&] {
        if (box.windowHandle() != nullptr && box.windowHandle()->isExposed()) {
            answer.stop();
            for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QWindowSystemInterface::handleMouseEvent<Queued>(
                    box.windowHandle(), QPointF(10, 10), box.mapToGlobal(QPointF(10, 10)),
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type);
            }
        }
    });
    answer.start(1);
    QTimer::singleShot(testsupport::RealWaitMs, &box, &QDialog::reject);
    int answered = -1;
    Wait([&] { answered = box.exec(); });
    EXPECT_EQ(answered, QDialog::Accepted);
}

// The release of the click that started the press waits in the window
// system's queue: it arrives after the wait with nothing else to wake the loop.
TEST_F(PressWait, CarriesOutAHeldClickOnItsOwn)
{
    Click();
    EXPECT_TRUE(Wait([] { platform::DoEvents(); }).empty());
    EXPECT_TRUE(testsupport::ProcessUntil([this] { return log == Log{"click"}; }, testsupport::RealWaitMs));
}

// A click, a wheel turn or a tap made during the press still lands where
// it was made when carried out, however many moves and clicks came after it;
// a tap is carried out as the click it stands for.
TEST_F(PressWait, CarriesOutEachHeldClickWhereItWasMade)
{
    PointerLog left(form, log, 110);
    PointerLog right(form, log, 160);
    left.setObjectName("left");
    right.setObjectName("right");
    QWindow* window = form.windowHandle();
    const auto clickAt = [this](QPointF at) {
        Queue(QEvent::MouseMove, at, Qt::NoButton);
        Click(at);
    };
    static QPointingDevice screen("screen", 42, QInputDevice::DeviceType::TouchScreen,
                                  QPointingDevice::PointerType::Finger, QInputDevice::Capability::Position, 1, 0);
    QWindowSystemInterface::registerInputDevice(&screen);
    const auto tapAt = [window](QPointF at) {
        for (const auto state : {QEventPoint::State::Pressed, QEventPoint::State::Released}) {
            QWindowSystemInterface::TouchPoint finger;
            finger.id = 1;
            finger.state = state;
            finger.area = QRectF(window->mapToGlobal(at) - QPointF(2, 2), QSizeF(4, 4));
            QWindowSystemInterface::handleTouchEvent<Queued>(window, &screen, {finger});
        }
    };
    EXPECT_TRUE(Wait([&] {
                    clickAt({115, 5});
                    clickAt({170, 20});
                    const QPointF turned(175, 25);
                    QWindowSystemInterface::handleWheelEvent(window, turned, window->mapToGlobal(turned), QPoint(),
                                                             QPoint(0, 120));
                    clickAt({125, 30});
                    Queue(QEvent::MouseMove, {5, 190}, Qt::NoButton);
                    tapAt({185, 35});
                    platform::DoEvents();
                }).empty());
    ASSERT_TRUE(testsupport::ProcessUntil([this] { return log.size() >= 9; }, testsupport::RealWaitMs));
    EXPECT_EQ(
        log, (Log{"left press 5,5", "left release 5,5", "right press 10,20", "right release 10,20", "right wheel 15,25",
                  "left press 15,30", "left release 15,30", "right press 25,35", "right release 25,35"}));
}

// As the right-click menu still pending when a press begins, opened by a timer.
TEST_F(PressWait, OpensAMenuAskedForInItOnlyAfterIt)
{
    QMenu menu;
    int shown = 0;
    platform::SetPopupMenuAnswer([&shown](QMenu&) -> QAction* {
        ++shown;
        return nullptr;
    });
    Wait([&] { EXPECT_EQ(platform::ShowPopupMenu(menu), nullptr); });
    EXPECT_EQ(shown, 0) << "a menu would take the held clicks and keys";
    EXPECT_TRUE(testsupport::ProcessUntil([&shown] { return shown == 1; }, testsupport::RealWaitMs));
}

} // namespace

namespace {

// A control that drags a file when the pointer moves on with its button
// held, as a sound button does.
class DragLog : public QWidget {
public:
    DragLog(QWidget& parent, Log& log) : QWidget(&parent), log_(log)
    {
        setGeometry(0, 160, 30, 30);
        show();
    }

protected:
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (event->buttons() == Qt::LeftButton) {
            platform::DragData carried;
            carried.AddFile("/srv/sounds/three.wav");
            const int effect = platform::StartDrag(*this, carried, platform::DropEffectCopy);
            log_.push_back("dragged " + std::to_string(effect));
        }
    }

private:
    Log& log_;
};

// A control that takes dropped files.
class DropLog : public QWidget {
public:
    DropLog(QWidget& parent, Log& log, const char* name, int left) : QWidget(&parent), drop_(*this)
    {
        setGeometry(left, 160, 30, 30);
        show();
        drop_.OnDragDrop = [&log, name](platform::DragData& dropped, int&, int, int, double, double) {
            log.push_back(std::string("drop on ") + name + " " + dropped.Files().at(0));
        };
    }
    // As a panel nobody asked to take files.
    void TakeNothing()
    {
        drop_.TakesDrops = [] { return false; };
    }

private:
    platform::DropTarget drop_;
};

} // namespace

// Dragged onto a control during the press, the pointer resting on another by
// its end: the drag lands where the operator let it go. Esc before the
// release cancels it, with a line.
TEST_F(PressWait, CarriesOutADragMadeInItToWhereItWasLetGoUnlessEscCameFirst)
{
    const testsupport::CapturedLog lines;
    DragLog source(form, log);
    DropLog six(form, log, "six", 100);
    DropLog two(form, log, "two", 150);
    EXPECT_TRUE(Wait([&] {
                    Drag({110, 170}, true);
                    Drag({110, 170});
                    Drag({900, 170}); // over no window of the program
                    platform::DoEvents();
                }).empty());
    ASSERT_TRUE(testsupport::ProcessUntil([this] { return log.size() >= 4; }, testsupport::RealWaitMs));
    EXPECT_EQ(log, (Log{"dragged 0", "drop on six /srv/sounds/three.wav",
                        "dragged " + std::to_string(platform::DropEffectCopy), "dragged 0"}));
    EXPECT_EQ(lines.LinesWith("Esc came before they were let go (/srv/sounds/three.wav)"), 1);
    EXPECT_EQ(lines.LinesWith("let go outside the program's windows (/srv/sounds/three.wav)"), 1);
}

// Kept drags and drops that cannot be carried out where they were let go
// are not: the control takes nothing, and a line names the files and why.
TEST_F(PressWait, LeavesALineForEachDropInItNotCarriedOut)
{
    const testsupport::CapturedLog lines;
    DragLog source(form, log);
    DropLog taker(form, log, "taker", 100);
    QDialog settings; // opened by a click kept in the press
    settings.setWindowModality(Qt::ApplicationModal);
    settings.setGeometry(300, 0, 100, 50);
    QPushButton opens("Settings", &form);
    opens.setGeometry(110, 0, 80, 40);
    opens.show();
    QObject::connect(&opens, &QPushButton::clicked, &settings, &QDialog::show);
    const QPoint over = taker.mapTo(&form, QPoint(10, 10));
    const QPoint overList = list.mapTo(&form, QPoint(20, 20));
    // A move, taken over the control before the press, let go in it.
    DragFromOutside("/srv/sounds/moved.wav", over, Qt::MoveAction);
    Qt::DropAction moveAnswered = Qt::MoveAction;
    EXPECT_TRUE(Wait([&] {
                    moveAnswered = LetGo(over, Qt::MoveAction);
                    // A move dragged in the press, refused at once over each control.
                    DragFromOutside("/srv/sounds/refused.wav", overList, Qt::MoveAction);
                    DragFromOutside("/srv/sounds/refused.wav", over, Qt::MoveAction);
                    LetGo(over, Qt::MoveAction);
                    Drag({50, 20}); // over the button, which takes no files
                    Click({120, 10});
                    platform::DoEvents(); // kept before the drop that follows
                    DragFromOutside("/srv/sounds/blocked.wav", over, Qt::CopyAction);
                    LetGo(over, Qt::CopyAction);
                }).empty());
    ASSERT_TRUE(testsupport::ProcessUntil([] { return !platform::InputKept(); }, testsupport::RealWaitMs));
    EXPECT_TRUE(settings.isVisible());
    EXPECT_EQ(moveAnswered, Qt::IgnoreAction) << "the other program would delete the file at once";
    EXPECT_EQ(log, (Log{"dragged 0"}));
    EXPECT_EQ(lines.LinesWith("nothing takes files where they were let go (/srv/sounds/three.wav)"), 1);
    EXPECT_EQ(lines.LinesWith("offered only to move them (/srv/sounds/moved.wav)"), 1);
    EXPECT_EQ(lines.LinesWith("offered only to move them (/srv/sounds/refused.wav)"), 1);
    EXPECT_EQ(lines.LinesWith("a dialog blocks the window they were let go over (/srv/sounds/blocked.wav)"), 1);

    // Asked about outside a press, the same files refused in the next are named again.
    settings.close();
    DragFromOutside("/srv/sounds/refused.wav", over, Qt::CopyAction);
    LetGo(over, Qt::CopyAction);
    platform::audio::prerolltimeouts::Forget(); // so that the next press waits again
    Wait([&] {
        DragFromOutside("/srv/sounds/refused.wav", over, Qt::MoveAction);
        LetGo(over, Qt::MoveAction);
    });
    EXPECT_EQ(lines.LinesWith("offered only to move them (/srv/sounds/refused.wav)"), 2);
}

// A drag made in the press and let go over a disabled control, or over one
// that takes no files, is not carried out: the source keeps what it offered,
// and a line names the files.
TEST_F(PressWait, KeepsADragLetGoInItOverADisabledControlOrOneThatTakesNoFiles)
{
    const testsupport::CapturedLog lines;
    DragLog source(form, log);
    DropLog disabled(form, log, "disabled", 100);
    DropLog untaking(form, log, "untaking", 150);
    disabled.setEnabled(false);
    untaking.TakeNothing();
    EXPECT_TRUE(Wait([&] {
                    Drag({110, 170});
                    Drag({160, 170});
                    platform::DoEvents();
                }).empty());
    ASSERT_TRUE(testsupport::ProcessUntil([this] { return log.size() >= 2; }, testsupport::RealWaitMs));
    EXPECT_EQ(log, (Log{"dragged 0", "dragged 0"}));
    EXPECT_EQ(lines.LinesWith("nothing takes files where they were let go (/srv/sounds/three.wav)"), 2);
}

// However much the operator clicked in the press, the close box used after
// it is carried out; what was clicked beyond what is kept is dropped, and a
// line says so.
TEST_F(PressWait, CarriesOutACloseAskedAfterMoreInputThanItKeeps)
{
    const testsupport::CapturedLog lines;
    form.OnQueryUnload = [this](int& cancel, int) {
        log.emplace_back("close");
        cancel = 1;
    };
    EXPECT_TRUE(Wait([this] {
                    for (int click = 0; click < 600; ++click) {
                        Click();
                    }
                    QWindowSystemInterface::handleCloseEvent<Queued>(form.windowHandle());
                    platform::DoEvents();
                }).empty());
    ASSERT_TRUE(
        testsupport::ProcessUntil([this] { return !log.empty() && log.back() == "close"; }, testsupport::RealWaitMs));
    EXPECT_EQ(lines.LinesWith("was dropped"), 1);
}

// A click kept for a window the press closed or hid, or an action put off
// for a control closed in it, is dropped, and a line says so; the input kept
// after it still is carried out.
TEST_F(PressWait, DropsInputForAWindowClosedOrHiddenInIt)
{
    const testsupport::CapturedLog lines;
    auto closed = std::make_unique<QWidget>();
    QWidget hidden;
    Log lost;
    new ClickLog(*closed, lost); // the window's, closed with it
    ClickLog hiddenButton(hidden, lost);
    for (QWidget* window : {closed.get(), &hidden}) {
        window->setGeometry(300, 0, 100, 50);
        window->show();
        ASSERT_TRUE(testsupport::ProcessUntil([window] { return window->windowHandle()->isExposed(); },
                                              testsupport::RealWaitMs));
    }
    const auto clickOn = [](QWidget& window) {
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QWindowSystemInterface::handleMouseEvent<Queued>(
                window.windowHandle(), QPointF(10, 10), window.mapToGlobal(QPointF(10, 10)),
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type);
        }
    };
    auto putOffFor = std::make_unique<QObject>(); // as a close put off by a control closed in the press
    EXPECT_TRUE(Wait([&] {
                    clickOn(*closed);
                    clickOn(hidden);
                    platform::AfterKeptInput(*putOffFor, [this] { log.emplace_back("put off"); });
                    Click();
                    platform::DoEvents();
                    closed.reset();
                    hidden.hide();
                    putOffFor.reset();
                }).empty());
    ASSERT_TRUE(testsupport::ProcessUntil([this] { return log == Log{"click"}; }, testsupport::RealWaitMs));
    EXPECT_TRUE(lost.empty());
    EXPECT_GT(lines.LinesWith("dropped: a click for a window closed since"), 0);
    EXPECT_GT(lines.LinesWith("dropped: a click for a window hidden since"), 0);
    EXPECT_EQ(lines.LinesWith("what the program put off (a close, a menu, a drop) was for a window or control closed"),
              1);
}

// A key pressed and let go in the press: neither reaches the window in it;
// after it the press and then the release do, through the window's keys.
TEST_F(PressWait, CarriesOutAKeyAndItsReleaseAfterIt)
{
    QWindow* window = form.windowHandle();
    EXPECT_TRUE(Wait([window] {
                    for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                        QWindowSystemInterface::handleKeyEvent<Queued>(window, type, Qt::Key_B, Qt::NoModifier, "b");
                    }
                    platform::DoEvents();
                }).empty());
    // The window tells a release from a repeat's within its deadline.
    EXPECT_TRUE(testsupport::StepUntil([this] { return log.size() >= 2; }, testsupport::RealWaitMs,
                                       [this] {
                                           clock.Advance(1);
                                           QCoreApplication::processEvents();
                                       }));
    EXPECT_EQ(log, (Log{"down 66", "up 66"}));
}

// A key let go just before the press, whose release the window still holds
// back, is let go for good when the window loses the keyboard in the press:
// its KeyUp waits for the press to end too.
TEST_F(PressWait, CarriesOutAReleaseHeldBackBeforeItAfterIt)
{
    QWidget other;
    other.setGeometry(300, 0, 100, 50);
    other.show();
    form.activateWindow();
    ASSERT_TRUE(testsupport::ProcessUntil([this] { return form.isActiveWindow(); }, testsupport::RealWaitMs));
    for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a");
        key.setTimestamp(type == QEvent::KeyPress ? 1000 : 1100);
        QCoreApplication::sendEvent(&form, &key);
    }
    EXPECT_EQ(Wait([&other] {
                  other.activateWindow();
                  platform::DoEvents();
              }),
              (Log{"down 65"}));
    EXPECT_TRUE(testsupport::ProcessUntil([this] { return log == Log{"down 65", "up 65"}; }, testsupport::RealWaitMs));
}
