#include "platform/DragSource.h"
#include "platform/DropTarget.h"
#include "platform/base/Twips.h"
#include "support/ClockFixture.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <cstdlib>

#include <string>
#include <vector>

namespace {

// Carries a drag to a target as the desktop would: enter, a move, the drop.
// Returns the effect the target accepted.
int DeliverTo(QWidget& target, const platform::DragData& data, int allowed, QPoint at)
{
    QMimeData mime;
    data.WriteTo(mime);
    const Qt::DropActions actions = platform::ToDropActions(allowed);
    QDragEnterEvent enter(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    QDragMoveEvent move(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &move);
    QDropEvent drop(at, actions, &mime, Qt::LeftButton, Qt::ShiftModifier);
    QApplication::sendEvent(&target, &drop);
    return drop.isAccepted() ? platform::FromDropActions(drop.dropAction()) : platform::DropEffectNone;
}

class DragAndDrop : public testsupport::ClockFixture {
protected:
    void SetUp() override { basic::TwipsPerPixel = 15; }
    void TearDown() override
    {
        platform::SetDragHook(nullptr);
        basic::TwipsPerPixel = 0;
    }

    QWidget source;
    QWidget target;
    platform::DropTarget drop{target};
};

TEST_F(DragAndDrop, TwoFilePathsReachTheTargetAndTheEffectComesBack)
{
    std::vector<std::string> dropped;
    double dropX = 0;
    int dropShift = -1;
    drop.OnDragDrop = [&](platform::DragData& data, int& effect, int, int shift, double x, double) {
        dropped = data.Files();
        dropX = x;
        dropShift = shift;
        effect = platform::DropEffectCopy;
    };
    platform::SetDragHook([&](QWidget& from, const platform::DragData& data, int allowed) {
        EXPECT_EQ(&from, &source);
        return DeliverTo(target, data, allowed, QPoint(40, 12));
    });

    platform::DragData data;
    data.AddFile("/srv/sounds/Jingle 1.wav");
    data.AddFile("/srv/sounds/ジングル.wav");
    const int effect = platform::StartDrag(source, data, platform::DropEffectCopy | platform::DropEffectMove);
    EXPECT_EQ(effect, platform::DropEffectCopy);
    EXPECT_EQ(dropped, data.Files());
    EXPECT_DOUBLE_EQ(dropX, 600.0) << "positions arrive in twips";
    EXPECT_EQ(dropShift, 1);
}

TEST_F(DragAndDrop, ATargetThatRefusesLeavesTheEffectNone)
{
    int drops = 0;
    std::vector<int> states;
    drop.OnDragOver = [&](platform::DragData&, int& effect, int, int, double, double, int state) {
        states.push_back(state);
        effect = platform::DropEffectNone;
    };
    drop.OnDragDrop = [&](platform::DragData&, int&, int, int, double, double) { ++drops; };
    platform::SetDragHook([&](QWidget&, const platform::DragData& data, int allowed) {
        return DeliverTo(target, data, allowed, QPoint(5, 5));
    });
    platform::DragData data;
    data.AddFile("/srv/sounds/a.wav");
    EXPECT_EQ(platform::StartDrag(source, data, platform::DropEffectCopy), platform::DropEffectNone);
    EXPECT_EQ(drops, 0);
    EXPECT_EQ(states, (std::vector<int>{platform::DragEnter, platform::DragOver, platform::DragLeave}));
}

TEST_F(DragAndDrop, TheLastDragOverRepeatsEvery20MsWhileThePointerRests)
{
    std::vector<std::int64_t> overs;
    const std::int64_t start = clock.MsOfDay();
    drop.OnDragOver = [&](platform::DragData& data, int&, int, int, double, double y, int state) {
        if (state == platform::DragOver) {
            EXPECT_EQ(data.FileCount(), 1);
            EXPECT_DOUBLE_EQ(y, 150.0);
            overs.push_back(clock.MsOfDay() - start);
        }
    };
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/srv/sounds/a.wav")});
    QDragEnterEvent enter(QPoint(3, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    clock.Advance(50);
    QDragMoveEvent move(QPoint(3, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &move);
    clock.Advance(30);
    QDragLeaveEvent leave;
    QApplication::sendEvent(&target, &leave);
    clock.Advance(100);
    EXPECT_EQ(overs, (std::vector<std::int64_t>{20, 40, 50, 70})) << "a move starts the count again";
}

TEST_F(DragAndDrop, FilesInAMountedShareArriveAsServerPathsAndLeaveMounted)
{
    setenv("TOLV_UNC_ROOT", "/net", 1);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/net/studio/sounds/a.wav"), QUrl::fromLocalFile("/home/op/b.wav"),
                  QUrl("https://example.org/c.wav")});
    const platform::DragData dropped = platform::DragData::ReadFrom(mime);
    EXPECT_EQ(dropped.Files(), (std::vector<std::string>{"//studio/sounds/a.wav", "/home/op/b.wav"}));

    platform::DragData out;
    out.AddFile("\\\\studio\\sounds\\x.wav");
    QMimeData written;
    out.WriteTo(written);
    ASSERT_EQ(written.urls().size(), 1);
    EXPECT_EQ(written.urls().front().toLocalFile().toStdString(), "/net/studio/sounds/x.wav");
    unsetenv("TOLV_UNC_ROOT");
}

// A file manager drops a name of an older share with its Latin-1 byte
// percent-encoded: it reaches the target as that byte, not as U+FFFD (which
// would name another file), and a drag out gives it to others the same way.
TEST_F(DragAndDrop, ANameThatIsNoUtf8TextKeepsItsBytes)
{
    QMimeData desktop;
    desktop.setData("text/uri-list", "file:///srv/s%E9.wav\r\nfile:///srv/caf%C3%A9%20a.wav\r\n");
    const platform::DragData dropped = platform::DragData::ReadFrom(desktop);
    EXPECT_EQ(dropped.Files(), (std::vector<std::string>{"/srv/s\xE9.wav", "/srv/caf\xC3\xA9 a.wav"}));

    QMimeData written;
    dropped.WriteTo(written);
    EXPECT_EQ(written.data("text/uri-list"), desktop.data("text/uri-list"));
    EXPECT_EQ(platform::DragData::ReadFrom(written).Files(), dropped.Files());
}

// "file://localhost/path" is the local file /path, as "file:///path" is;
// another host names a server path. The bytes decode alike in every form.
TEST_F(DragAndDrop, TheHostLocalhostNamesALocalFile)
{
    QMimeData desktop;
    desktop.setData("text/uri-list", "file://localhost/srv/a.wav\r\n"
                                     "file://LocalHost/srv/s%E9%20%25.wav\r\n"
                                     "file:///srv/s%E9%20%25.wav\r\n"
                                     "file://studio/share/x%20y.wav\r\n");
    EXPECT_EQ(
        platform::DragData::ReadFrom(desktop).Files(),
        (std::vector<std::string>{"/srv/a.wav", "/srv/s\xE9 %.wav", "/srv/s\xE9 %.wav", "//studio/share/x y.wav"}));
}

TEST_F(DragAndDrop, NothingToDragStartsNoDrag)
{
    int calls = 0;
    platform::SetDragHook([&](QWidget&, const platform::DragData&, int) {
        ++calls;
        return platform::DropEffectCopy;
    });
    platform::DragData empty;
    EXPECT_EQ(platform::StartDrag(source, empty, platform::DropEffectCopy), platform::DropEffectNone);
    platform::DragData data;
    data.AddFile("/a.wav");
    EXPECT_EQ(platform::StartDrag(source, data, platform::DropEffectNone), platform::DropEffectNone);
    EXPECT_EQ(calls, 0);
}

} // namespace
