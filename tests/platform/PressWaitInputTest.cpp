// While a press waits for its file (a graph that does not preroll), no pump
// dispatches input, whoever calls it: the real Qt pump is installed, and
// input arrives as the window system queues it, not sent synchronously.
// What was held is carried out after the wait, in order.
#include "platform/DropTarget.h"
#include "platform/EventPump.h"
#include "platform/Form.h"
#include "platform/PopupMenu.h"
#include "platform/audio/PrerollTimeouts.h"
#include "platform/base/Hooks.h"
#include "platform/base/Twips.h"
#include "support/MediaFixture.h"
#include "support/ProcessUntil.h"
#include "support/RiffFileBuilder.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformdrag.h>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using platform::audio::MediaGraph;
using Queued = QWindowSystemInterface::AsynchronousDelivery;

class ClickLog : public QWidget {
public:
    ClickLog(QWidget& parent, std::vector<std::string>& log) : QWidget(&parent), log_(log) {}

protected:
    void mousePressEvent(QMouseEvent*) override { log_.push_back("click"); }

private:
    std::vector<std::string>& log_;
};

class PressWait : public audiotest::MediaFixture {
protected:
    void SetUp() override
    {
        MediaFixture::SetUp();
        basic::TwipsPerPixel = 15;
        platform::InstallQtEventPump();
        MediaGraph::SetPrerollLimitMs(300);
        // A data chunk that is empty never prerolls.
        testsupport::RiffFileBuilder().Format(1, 1, Rate, 8).Data({}).WriteTo(silent);
        button.setGeometry(0, 0, 100, 50);
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
        ASSERT_TRUE(testsupport::ProcessUntil([this] { return form.windowHandle()->isExposed(); }, 10000));
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

    // A press of the left button on the button, queued as the window system does.
    void Click()
    {
        QWindow* window = form.windowHandle();
        const QPointF at = button.mapTo(&form, QPointF(10, 10));
        const QPointF global = form.mapToGlobal(at);
        QWindowSystemInterface::handleMouseEvent<Queued>(window, at, global, Qt::LeftButton, Qt::LeftButton,
                                                         QEvent::MouseButtonPress);
        QWindowSystemInterface::handleMouseEvent<Queued>(window, at, global, Qt::NoButton, Qt::LeftButton,
                                                         QEvent::MouseButtonRelease);
    }

    // A graph's wait for its first data, with during() run from inside it as
    // the window system's own messages are; returns what was logged in it.
    std::vector<std::string> Wait(const std::function<void()>& during)
    {
        QMetaObject::invokeMethod(&form, during, Qt::QueuedConnection);
        MediaGraph graph;
        EXPECT_FALSE(graph.RenderFile(silent, 1));
        EXPECT_EQ(graph.LastError(), "the graph did not preroll in time");
        return log;
    }

    std::string silent = folder / "silent.wav";
    std::vector<std::string> log;
    platform::Form form;
    ClickLog button{form, log};
    QWidget list{&form};
    platform::DropTarget drop{list};
};

TEST_F(PressWait, HoldsClicksAndKeysThroughEveryPumpAndCarriesThemOutAfterIt)
{
    // A key let go just before the press: its release waits for the
    // window's deadline, whose timer pumps.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a");
    press.setTimestamp(1000);
    QCoreApplication::sendEvent(&form, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a");
    release.setTimestamp(1100);
    QCoreApplication::sendEvent(&form, &release);
    Click();
    QWindowSystemInterface::handleKeyEvent<Queued>(form.windowHandle(), QEvent::KeyPress, Qt::Key_B,
                                                   Qt::NoModifier, "b");

    const std::vector<std::string> inWait = Wait([this] {
        platform::DoEvents();
        clock.Advance(platform::Form::ReleaseDeadlineMs);
    });
    EXPECT_EQ(inWait, (std::vector<std::string>{"down 65", "up 65"}));

    ASSERT_TRUE(testsupport::ProcessUntil([this] { return log.size() >= 4; }, testsupport::RealWaitMs));
    EXPECT_EQ(log, (std::vector<std::string>{"down 65", "up 65", "click", "down 66"}));
}

TEST_F(PressWait, CarriesOutADropAfterItBehindTheClickHeldBeforeIt)
{
    Click();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/srv/sounds/dropped.wav")});
    Qt::DropAction answered = Qt::IgnoreAction;
    // From another program: the window system hands the drop over at once.
    const std::vector<std::string> inWait = Wait([&] {
        QWindow* window = form.windowHandle();
        const QPoint at = list.mapTo(&form, QPoint(20, 20));
        QWindowSystemInterface::handleDrag(window, &mime, at, Qt::CopyAction | Qt::MoveAction, Qt::LeftButton,
                                           Qt::NoModifier);
        const QPlatformDropQtResponse response = QWindowSystemInterface::handleDrop(
            window, &mime, at, Qt::CopyAction | Qt::MoveAction, Qt::LeftButton, Qt::NoModifier);
        answered = response.isAccepted() ? response.acceptedAction() : Qt::IgnoreAction;
    });
    EXPECT_TRUE(inWait.empty()) << inWait.front();
    EXPECT_EQ(answered, Qt::CopyAction) << "the source hears the effect taken over that spot";

    ASSERT_TRUE(testsupport::ProcessUntil([this] { return log.size() >= 2; }, testsupport::RealWaitMs));
    EXPECT_EQ(log, (std::vector<std::string>{"click", "drop /srv/sounds/dropped.wav"}));
}

// As the right-click menu still pending when a press begins, opened by a timer.
TEST_F(PressWait, OpensAMenuAskedForInItOnlyAfterIt)
{
    QMenu menu;
    menu.addAction("Edit");
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
