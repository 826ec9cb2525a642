// Files dropped from another program onto a play list while the list's own
// Play waits for its share on the MCI back-end. The other program asks the
// window about one spot at a time and waits for each answer; in a press the
// answers are slow, so the last spot it asked about (the window's empty
// edge) is not where it let go (over the list).
#include "PlayListFixture.h"
#include "support/ServerFolders.h"

#include "platform/base/Hooks.h"
#include "support/ProcessUntil.h"
#include "support/TestFileLayer.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMimeData>
#include <QUrl>
#include <QWindow>
#include <qpa/qplatformdrag.h>
#include <qpa/qwindowsysteminterface.h>

#include <gmock/gmock.h>

#include <optional>

namespace {

class PressListDrop : public playbacktest::PlayListFixture {
protected:
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        layer.reset();
        servers.reset();
        PlayListFixture::TearDown();
    }

    std::optional<testsupport::ServerFolders> servers;
    std::optional<testsupport::TestFileLayer> layer;
};

TEST_F(PressListDrop, FilesLetGoOverTheListLandThereAfterThePress)
{
    Store("PlayerType", "2");
    ASSERT_TRUE(StartLists());
    servers.emplace(sounds / "unc");
    RampWave("unc/studio/jingles/a.wav", Rate);
    Drop({"//studio/jingles/a.wav"}, 0);
    control->SetListCursor(0, 0, 1, 0);
    QMimeData mime;
    for (const char* name : {"l1.wav", "l2.wav", "l3.wav"}) {
        mime.setUrls(mime.urls() << QUrl::fromLocalFile(QString::fromStdString(ToneWave(name, Rate / 10))));
    }
    window->show();
    QWindow* handle = window->windowHandle();
    ASSERT_TRUE(testsupport::ProcessUntil([handle] { return handle->isExposed(); }, testsupport::RealWaitMs));
    const QPoint edge(window->width() - 2, window->height() - 2);
    const QPoint overList = View().ListArea().mapToGlobal(QPoint(20, 3));
    layer.emplace();
    layer->Hold("/studio/jingles/", true);
    std::optional<Qt::DropAction> answered;
    platform::SetPumpHook([&] {
        if (layer->heldCalls > 0 && layer->OnlyHeldCallsRun()) {
            if (!answered && State().PonBusy[0] != 0) {
                const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
                const auto asked =
                    QWindowSystemInterface::handleDrag(handle, &mime, edge, actions, Qt::LeftButton, Qt::NoModifier);
                EXPECT_TRUE(asked.isAccepted()) << "refused, the other program would let go of nothing";
                QCursor::setPos(overList);
                const auto response =
                    QWindowSystemInterface::handleDrop(handle, &mime, edge, actions, Qt::LeftButton, Qt::NoModifier);
                answered = response.isAccepted() ? response.acceptedAction() : Qt::IgnoreAction;
            }
            layer->ReleaseHeld();
        }
        QCoreApplication::processEvents();
    });
    control->Pon(0, 0, 0, 0, 0);
    ASSERT_TRUE(answered.has_value()) << "the press never waited";
    EXPECT_EQ(answered, Qt::CopyAction) << "the other program hears at once that a copy is taken";
    EXPECT_TRUE(testsupport::ProcessUntil([this] { return View().ItemCount() == 4; }, testsupport::RealWaitMs));
    EXPECT_THAT(StoredTitles(), testing::ElementsAre("l1", "l2", "l3", "a")) << "at the row they were let go over";
}

} // namespace
