// A press runs whole: a click queued during any wait of a press (a server
// file's status, header, open and cue labels, a file check, a graph's wait
// for its first data), whose handler releases every player, is carried out
// only after the press returned, through the program's own pump and gate.
#include "PlaybackFixture.h"
#include "support/ServerFolders.h"

#include "platform/audio/MediaGraph.h"
#include "platform/audio/PrerollTimeouts.h"
#include "platform/base/Hooks.h"
#include "support/ProcessUntil.h"
#include "support/RiffFileBuilder.h"
#include "support/TestFileLayer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformdrag.h>
#include <qpa/qwindowsysteminterface.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

using platform::audio::MediaGraph;
using Queued = QWindowSystemInterface::AsynchronousDelivery;

// As the configuration dialog's OK: every player is released.
class Releaser : public QWidget {
public:
    explicit Releaser(std::function<void()> onClick) : onClick_(std::move(onClick)) { setGeometry(0, 0, 80, 40); }

protected:
    void mousePressEvent(QMouseEvent*) override { onClick_(); }

private:
    std::function<void()> onClick_;
};

struct Wait {
    const char* name;
    int playerType;
    bool onServer;
    // What the press shows while it waits there; none: its first wait.
    const char* status;
};

class PressInput : public playbacktest::PlaybackFixture, public testing::WithParamInterface<Wait> {
protected:
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        MediaGraph::SetPrerollLimitMs(0);
        platform::audio::prerolltimeouts::Forget();
        layer.reset();
        servers.reset();
        PlaybackFixture::TearDown();
    }

    std::optional<testsupport::ServerFolders> servers;
    std::optional<testsupport::TestFileLayer> layer;
};

TEST_P(PressInput, AClickQueuedInItsWaitRunsOnlyAfterItReturned)
{
    const Wait& wait = GetParam();
    Store("PlayerType", std::to_string(wait.playerType));
    Store("CueActive_1", "1");
    Store("CueActive_2", "1");
    ASSERT_TRUE(Start());
    State().CounterTitle[0] = 1;
    controls::UC_TextPicture& counter = *window->PicCounter(0);
    for (int i = 0; i < 3; ++i) {
        counter.AddTextSpace(9, false, false, "", 0, 0);
    }
    if (wait.onServer) {
        servers.emplace(sounds / "unc");
        RampWave("unc/studio/jingles/a.wav", Rate, {{4800, "BC$STANDBY"}});
        Assign(0, 0, 0, "//studio/jingles/a.wav");
        layer.emplace();
        layer->Hold("/studio/jingles/", true);
    } else {
        // No data: the decoder never prerolls.
        const std::string empty = sounds / "empty.wav";
        testsupport::RiffFileBuilder().Format(1, 2, Rate, 16).Data({}).WriteTo(empty);
        Assign(0, 0, 0, empty);
        MediaGraph::SetPrerollLimitMs(300);
    }

    bool returned = false;
    std::optional<bool> clickedInPress;
    Releaser releaser([&] {
        clickedInPress = !returned;
        for (int slot = 0; slot < State().PlayerCount; ++slot) {
            State().ReleasePlayer(slot);
        }
    });
    releaser.show();
    ASSERT_TRUE(
        testsupport::ProcessUntil([&] { return releaser.windowHandle()->isExposed(); }, testsupport::RealWaitMs));

    bool queued = false;
    const auto pump = [&] {
        // Every server call waits for one pump at least.
        if (layer && layer->heldCalls > 0 && layer->OnlyHeldCallsRun()) {
            layer->ReleaseHeld();
        }
        if (!queued && State().PonBusy[0] != 0 && (wait.status == nullptr || counter.TextMes(1) == wait.status)) {
            queued = true;
            for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QWindowSystemInterface::handleMouseEvent<Queued>(
                    releaser.windowHandle(), QPointF(10, 10), releaser.mapToGlobal(QPointF(10, 10)),
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton, type);
            }
        }
        QCoreApplication::processEvents();
    };
    platform::SetPumpHook(pump);

    control->Pon(0, 0, 0, 0, 0);
    returned = true;
    ASSERT_TRUE(queued) << "the press never waited at " << wait.name;
    ASSERT_TRUE(testsupport::ProcessUntil([&] { return clickedInPress.has_value(); }, testsupport::RealWaitMs));
    EXPECT_FALSE(*clickedInPress);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWait, PressInput,
    testing::Values(Wait{"ServerHeader", 3, true, "Check Ori..."}, Wait{"ServerOpen", 3, true, "Set File..."},
                    Wait{"ServerCueLabels", 3, true, "Get Cue..."}, Wait{"ServerFileCheck", 2, true, nullptr},
                    Wait{"ServerGraph", 2, true, "Set File..."}, Wait{"GraphPreroll", 2, false, "Set File..."}),
    [](const testing::TestParamInfo<Wait>& param) { return std::string(param.param.name); });

} // namespace

namespace {

// A file dropped from another program onto an empty button while a press
// on every back-end waits for its share: after the press it is assigned.
class PressDrop : public PressInput {
protected:
    // Drops a file on button 1 in the press; afterDrop runs then, still in
    // the press. Returns what the other program heard.
    std::optional<Qt::DropAction> DropInPress(const std::function<void()>& afterDrop = {})
    {
        Store("PlayerType", std::to_string(GetParam().playerType));
        EXPECT_TRUE(Start());
        servers.emplace(sounds / "unc");
        RampWave("unc/studio/jingles/a.wav", Rate);
        Assign(0, 0, 0, "//studio/jingles/a.wav");
        dropped = RampWave("dropped.wav", Rate);
        layer.emplace();
        layer->Hold("/studio/jingles/", true);
        window->show();
        QWindow* handle = window->windowHandle();
        EXPECT_TRUE(testsupport::ProcessUntil([handle] { return handle->isExposed(); }, testsupport::RealWaitMs));
        const QWidget& target = *window->TolvButton(1)->CtrlhWnd();
        const QPoint at = target.mapTo(window.get(), QPoint(5, 5));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped))});
        std::optional<Qt::DropAction> answered;
        platform::SetPumpHook([&] {
            if (layer->heldCalls > 0 && layer->OnlyHeldCallsRun()) {
                if (!answered && State().PonBusy[0] != 0) {
                    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
                    QWindowSystemInterface::handleDrag(handle, &mime, at, actions, Qt::LeftButton, Qt::NoModifier);
                    QCursor::setPos(handle->mapToGlobal(at)); // where it is let go
                    const auto response =
                        QWindowSystemInterface::handleDrop(handle, &mime, at, actions, Qt::LeftButton, Qt::NoModifier);
                    answered = response.isAccepted() ? response.acceptedAction() : Qt::IgnoreAction;
                    if (afterDrop) {
                        afterDrop();
                    }
                }
                layer->ReleaseHeld();
            }
            QCoreApplication::processEvents();
        });
        ports.Log.Clear();
        control->Pon(0, 0, 0, 0, 0);
        EXPECT_TRUE(answered.has_value()) << "the press never waited";
        EXPECT_EQ(answered, Qt::CopyAction) << "the other program hears at once that the drop was taken";
        EXPECT_TRUE(ports.Log.Starting("TolvButton_OLEDropped").empty()) << "not in the press";
        return answered;
    }

    std::string dropped;

    bool Dropped()
    {
        return testsupport::ProcessUntil([this] { return !ports.Log.Starting("TolvButton_OLEDropped").empty(); },
                                         testsupport::RealWaitMs);
    }
};

TEST_P(PressDrop, AFileDroppedFromAnotherProgramInItIsAssignedAfterIt)
{
    DropInPress();
    // The button's drop, with the one file.
    EXPECT_TRUE(Dropped());
    EXPECT_THAT(ports.Log.Starting("TolvButton_OLEDropped"), testing::ElementsAre("TolvButton_OLEDropped 1 1"));
}

// The other program was told that the drop was taken: a button that no
// longer takes it once the press is over drops it with a line.
TEST_P(PressDrop, ADropTheButtonRefusesAfterThePressIsDroppedWithALine)
{
    DropInPress([this] { window->TolvButton(1)->SetLocked(1); });
    const auto refusals = [this] {
        const std::vector<std::string> lines = DayLogEntries();
        return std::count(lines.begin(), lines.end(),
                          "Files let go during a press were not taken: they were refused where they were let go (" +
                              dropped + ")");
    };
    EXPECT_TRUE(testsupport::ProcessUntil([&] { return refusals() > 0; }, testsupport::RealWaitMs));
    EXPECT_EQ(refusals(), 1);
    EXPECT_TRUE(ports.Log.Starting("TolvButton_OLEDropped").empty());
}

INSTANTIATE_TEST_SUITE_P(EveryBackEnd, PressDrop,
                         testing::Values(Wait{"One", 1, true, nullptr}, Wait{"Two", 2, true, nullptr},
                                         Wait{"Four", 4, true, nullptr}, Wait{"Five", 5, true, nullptr}),
                         [](const testing::TestParamInfo<Wait>& param) { return std::string(param.param.name); });

} // namespace
