// The right click and the drop once more on the real window of an X server
// (Xvfb), with input from the X server itself (xdotool): the test starts an
// Xvfb and runs this suite's XvfbChild test in it, on the xcb platform.
// Without Xvfb or xdotool the check is skipped with the reason.
#include "app/Composition.h"
#include "controls/SurfaceBox.h"
#include "foundation/ModuleValues.h"
#include "foundation/Registry.h"
#include "platform/DragSource.h"
#include "platform/ProcessStart.h"
#include "support/ProcessUntil.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <QApplication>
#include <QProcess>
#include <QTimer>
#include <QWindow>

#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

using testing::HasSubstr;

using testsupport::ProcessUntil;
using testsupport::RealWaitMs;

bool Exposed(QWidget& w)
{
    return ProcessUntil([&w] { return w.windowHandle() != nullptr && w.windowHandle()->isExposed(); }, RealWaitMs);
}

void XdoTool(const QStringList& arguments)
{
    QProcess::execute(QString::fromStdString(platform::FindProgram("xdotool")), arguments);
}

QString Number(int value)
{
    return QString::number(value);
}

TEST(UnderXvfb, TheRightClickAndTheDropWorkOnTheRealWindow)
{
    const std::string xvfb = platform::FindProgram("Xvfb");
    const std::string xdotool = platform::FindProgram("xdotool");
    if (xvfb.empty() || xdotool.empty()) {
        GTEST_SKIP() << "Xvfb and xdotool are needed (packages xvfb and xdotool, see scripts/install-deps)";
    }
    QProcess server;
    server.start(QString::fromStdString(xvfb),
                 {"-displayfd", "1", "-screen", "0", "2560x1440x24", "-nolisten", "tcp", "-nolisten", "unix"});
    ASSERT_TRUE(server.waitForStarted(RealWaitMs)) << "Xvfb did not start within " << RealWaitMs / 1000 << " s";
    // Xvfb says its display once it takes clients, which on a busy machine
    // may take many seconds.
    QByteArray display;
    testsupport::StepUntil([&] { return display.contains('\n') || server.state() == QProcess::NotRunning; }, RealWaitMs,
                           [&] {
                               server.waitForReadyRead(100);
                               display += server.readAllStandardOutput();
                           });
    ASSERT_TRUE(display.contains('\n')) << "Xvfb gave no display number within " << RealWaitMs / 1000 << " s (it "
                                        << (server.state() == QProcess::NotRunning ? "ended" : "runs") << ", said \""
                                        << display.toStdString() << "\")";

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", ":" + QString::fromLatin1(display.trimmed()));
    environment.insert("TOLV_TEST_QPA", "xcb");
    environment.insert("TOLV_XVFB_CHILD", "1");
    environment.insert("TOLV_AUDIO", "null:2");
    // The child runs the one test it is started for, whichever share of the
    // suite this process runs.
    environment.remove("GTEST_TOTAL_SHARDS");
    environment.remove("GTEST_SHARD_INDEX");
    // The X keyboard library copies bounded strings that are not terminated,
    // which the sanitizer's strict string checks would take for an overflow.
    QString sanitizer = environment.value("ASAN_OPTIONS");
    sanitizer.replace("strict_string_checks=1", "strict_string_checks=0");
    environment.insert("ASAN_OPTIONS", sanitizer);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    child.setWorkingDirectory(QString::fromStdString(self.parent_path().string()));
    child.start(QString::fromStdString(self.string()), {"--gtest_filter=XvfbChild.*"});
    // The child's own waits are bounded each; this only catches a child that hangs.
    const bool finished = child.waitForFinished(2 * RealWaitMs);
    const std::string output = child.readAll().toStdString();
    server.terminate();
    server.waitForFinished(RealWaitMs);
    ASSERT_TRUE(finished) << "the test in the X server did not end within " << 2 * RealWaitMs / 1000 << " s\n"
                          << output;
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_THAT(output, HasSubstr("[  PASSED  ] 1 test")) << output;
    EXPECT_THAT(output, testing::Not(HasSubstr("[  SKIPPED ]"))) << output;
}

TEST(XvfbChild, RightClickAndDropOnTheRealWindow)
{
    if (std::getenv("TOLV_XVFB_CHILD") == nullptr) {
        GTEST_SKIP() << "runs only inside the X server of UnderXvfb";
    }
    testsupport::ScratchFolder folder;
    testsupport::ScratchFolder sounds;
    basic::SetAppPath(folder.Path());
    for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
             {"PlayerType", "3"}, {"NumOut", "1"}, {"DeviceWave_1", "Null 1"}, {"DeviceWaveMon", "Null 2"}}) {
        basic::RegWrite(key, value, "tolv");
    }
    const std::string sound = sounds / "dropped.wav";
    testsupport::RiffFileBuilder builder;
    builder.Format(1, 2, 48000, 16).Data(testsupport::Bytes(48000 * 4, 0x10));
    builder.WriteTo(sound);

    Composition program;
    ASSERT_EQ(program.Start(), FrmMain::StartOutcome::Running);
    program.Window.move(0, 0);
    program.Window.show();
    ASSERT_TRUE(Exposed(program.Window)) << "the main window was not shown";
    QWidget& face = *program.Window.TolvButton(2)->findChild<controls::SurfaceBox*>();

    // A right click on an idle button: the menu opens at the pointer.
    const QPoint at = face.mapToGlobal(QPoint(face.width() * 3 / 4, face.height() * 2 / 3));
    QPoint menuAt(-1, -1);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&menuAt] {
        if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr && menuAt.x() < 0) {
            menuAt = popup->geometry().topLeft();
            popup->close();
        }
    });
    watch.start(5);
    XdoTool({"mousemove", "--sync", Number(at.x()), Number(at.y()), "click", "3"});
    EXPECT_TRUE(ProcessUntil([&menuAt] { return menuAt.x() >= 0; }, RealWaitMs)) << "no menu opened";
    EXPECT_LE((menuAt - at).manhattanLength(), 8) << "the menu opens at the pointer";
    watch.stop();

    // A file dragged from another window onto button 3 is assigned there.
    QWidget source;
    source.setGeometry(2300, 1200, 120, 120);
    source.show();
    ASSERT_TRUE(Exposed(source)) << "the drag's source window was not shown";
    const QPoint from = source.mapToGlobal(QPoint(60, 60));
    const QPoint onto = face.mapToGlobal(QPoint(face.width() / 2, face.height() / 2));
    XdoTool({"mousemove", "--sync", Number(from.x()), Number(from.y()), "mousedown", "1"});
    ASSERT_TRUE(ProcessUntil([] { return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton); }, RealWaitMs))
        << "the press on the source window did not arrive";
    // The hand moves and lets go only once the drag runs its loop, however
    // late a busy machine starts it.
    QProcess hand;
    QTimer::singleShot(0, &hand, [&hand, onto] {
        hand.start(QString::fromStdString(platform::FindProgram("xdotool")),
                   {"sleep", "0.3", "mousemove", Number(onto.x() - 10), Number(onto.y()), "sleep", "0.2", "mousemove",
                    Number(onto.x()), Number(onto.y()), "sleep", "0.3", "mouseup", "1"});
    });
    // A drag that never sees the release would wait for it for ever: Escape
    // ends it, and the test fails.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { XdoTool({"key", "Escape"}); });
    guard.start(RealWaitMs);
    platform::DragData data;
    data.AddFile(sound);
    const int effect = platform::StartDrag(source, data, platform::DropEffectCopy);
    guard.stop();
    hand.waitForFinished(RealWaitMs);
    EXPECT_NE(effect, platform::DropEffectNone);
    const AssignRecord& record = program.Window.State.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(0, 0, 2))];
    EXPECT_EQ(record.FileName, sound);
    EXPECT_EQ(program.Window.TolvButton(2)->Text(0), "dropped");

    program.Window.State.Running = 0;
    program.Monitor.Unload();
    basic::SetAppPath("");
}

} // namespace
