#include "AssembledFixture.h"

#include "controls/SurfaceBox.h"
#include "controls/UC_Buttons.h"
#include "dialogs/FrmConf.h"
#include "foundation/CommandLine.h"
#include "foundation/DayLog.h"
#include "foundation/Fonts.h"
#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "foundation/SubClass.h"
#include "mainwindow/OutputPlayers.h"
#include "platform/DragData.h"
#include "platform/DragSource.h"
#include "platform/DropTarget.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/SessionEndpoint.h"
#include "platform/audio/AudioSystem.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"
#include "support/DayLogEntries.h"
#include "support/GraphOfPlayer.h"
#include "support/NullOutputs.h"
#include "support/ProgramGlobals.h"
#include "support/RealWait.h"

#include <QApplication>
#include <QCursor>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>

namespace apptest {

using platform::audio::AudioSystem;

void AssembledFixture::SetUp()
{
    SetNow(Date(2026, 3, 10), At(10, 0, 0));
    basic::SetAppPath(folder.Path());
    basic::SetProgramCommandLine("");
    registry.AddCommon("DebugLogPath", logs.Path());
    savedLanguage_ = basic::LangMode;
    messageAnswer = platform::IdYes;
    platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
        messages.push_back(request.text);
        return messageAnswer;
    });
    platform::SetPopupMenuAnswer([this](QMenu& menu) -> QAction* {
        menus.push_back({&menu, platform::PopupMenuPosition(), clock.MsOfDay()});
        return ChooseInMenu ? ChooseInMenu(menu) : nullptr;
    });
    testsupport::InstallNullOutputs(4, Rate, 60);
    program = std::make_unique<Composition>();
    Store("PlayerType", "3");
    // Messages and captions are checked in English.
    basic::LangMode = 1;
}

void AssembledFixture::TearDown()
{
    if (program) {
        program->Monitor.Unload();
        program->Window.State.Running = 0;
        FCT_SubClass::UnsubclassWindow(&program->Window);
        program->Window.Keys = {};
        program->Window.SetKeyPreview(false);
    }
    program.reset();
    QApplication::processEvents();
    platform::SetDragHook(nullptr);
    testsupport::ResetProgramGlobals();
    basic::LangMode = savedLanguage_;
    parms::EditApp.clear();
    parms::MonitorExchange = {};
}

void AssembledFixture::Store(const std::string& key, const std::string& value)
{
    basic::RegWrite(key, value, "tolv");
}

bool AssembledFixture::Start(int numOut, const std::vector<int>& listOutputs)
{
    Store("NumOut", std::to_string(numOut));
    for (int n = 1; n <= 4; ++n) {
        if (namedDevices) {
            Store("DeviceWave_" + std::to_string(n), "Null " + std::to_string(n));
        }
        Store("IsList_" + std::to_string(n), "0");
    }
    for (const int n : listOutputs) {
        Store("IsList_" + std::to_string(n), "1");
    }
    // The monitor window plays on the last device, apart from the outputs.
    if (namedDevices) {
        Store("DeviceWaveMon", "Null 4");
    }
    if (program->Start() != FrmMain::StartOutcome::Running) {
        return false;
    }
    program->Window.show();
    QApplication::processEvents();
    return true;
}

std::string AssembledFixture::RampWave(const std::string& name, int frames)
{
    const std::string path = sounds / name;
    testsupport::WriteRampWave(path, Rate, frames);
    return path;
}

void AssembledFixture::WaitForDecoders()
{
    MainState& state = State();
    for (int slot = 0; slot < state.PlayerCount; ++slot) {
        platform::audio::MediaGraph* graph = testsupport::GraphOfPlayer(state.PlayerAt(slot));
        if (graph != nullptr && graph->HasRenderer() && graph->State() == platform::audio::GraphState::Running) {
            EXPECT_TRUE(graph->WaitBuffered(testsupport::RealWaitMs))
                << "the decoder of slot " << slot << " fell behind";
        }
    }
}

void AssembledFixture::Run(int ms)
{
    for (int t = 0; t < ms; t += 10) {
        WaitForDecoders();
        clock.Advance(std::min(10, ms - t));
        AudioSystem::Current().Sync();
    }
    QApplication::processEvents();
}

std::vector<float> AssembledFixture::Played(int device)
{
    return testsupport::TakePlayedLeft(device);
}

QWidget& AssembledFixture::Face(QWidget& control)
{
    QWidget* surface = control.findChild<controls::SurfaceBox*>();
    return surface != nullptr ? *surface : control;
}

void AssembledFixture::Click(QWidget& w, Qt::MouseButton button, std::optional<QPoint> at)
{
    const QPointF local = at ? QPointF(*at) : QPointF(w.width() * 0.75, w.height() * 0.7);
    const QPointF global = w.mapToGlobal(local);
    QCursor::setPos(global.toPoint());
    QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &release);
}

namespace {

int Deliver(QWidget& target, QMimeData& mime, Qt::DropActions actions, QPoint at)
{
    QDragEnterEvent enter(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    QDragMoveEvent move(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &move);
    QDropEvent drop(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    return drop.isAccepted() ? platform::FromDropActions(drop.dropAction()) : platform::DropEffectNone;
}

} // namespace

int AssembledFixture::DropFiles(QWidget& w, const std::vector<std::string>& files, std::optional<QPoint> at)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& file : files) {
        // As a file manager gives it: the name's bytes percent-encoded, also
        // a byte that is no UTF-8 (a QString would make that U+FFFD).
        const QByteArray bytes(file.data(), static_cast<qsizetype>(file.size()));
        urls.push_back(QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode));
    }
    mime.setUrls(urls);
    return Deliver(w, mime, Qt::CopyAction | Qt::MoveAction, at.value_or(QPoint(w.width() / 2, w.height() / 2)));
}

void AssembledFixture::DragOnto(QWidget& from, QWidget& onto)
{
    platform::SetDragHook([&onto](QWidget&, const platform::DragData& data, int allowed) {
        QMimeData mime;
        data.WriteTo(mime);
        return Deliver(onto, mime, platform::ToDropActions(allowed), QPoint(onto.width() / 2, onto.height() / 2));
    });
    // A drag leaves from the lamp strip at the button's top left corner (the
    // text area plays the button instead).
    const QPointF start(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, start, from.mapToGlobal(start), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&from, &press);
    for (int step = 1; step <= 4; ++step) {
        const QPointF to = start + QPointF(4.0 * step, 0);
        QMouseEvent move(QEvent::MouseMove, to, from.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&from, &move);
    }
    const QPointF end = start + QPointF(16, 0);
    QMouseEvent release(QEvent::MouseButtonRelease, end, from.mapToGlobal(end), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&from, &release);
    platform::SetDragHook(nullptr);
}

void AssembledFixture::Key(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* focus = QApplication::focusWidget();
    QWidget* target = focus != nullptr && focus->window() == &program->Window ? focus : &program->Window;
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &release);
}

bool AssembledFixture::Configure(int closeWith, const std::function<void(FrmConf&)>& look)
{
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        FrmConf* dialog = program->Config.Window();
        if (dialog == nullptr || seen) {
            return;
        }
        if (!dialog->PageLoaded(0) || !dialog->isVisible()) {
            clock.Advance(50);
            return;
        }
        seen = true;
        if (look) {
            look(*dialog);
        }
        int button = closeWith;
        dialog->OKCancelButtons().ButtonClicked(button);
    });
    poll.start(1);
    program->Window.MenuConf->trigger();
    // The desktop gives the keyboard back to the main window; the offscreen
    // platform leaves it with the monitor window that the rebuild showed and
    // hid again.
    program->Window.activateWindow();
    QApplication::processEvents();
    return seen && program->Config.Window() == nullptr;
}

controls::UC_TolvButton& AssembledFixture::Button(int output, int button)
{
    return *program->Window.TolvButton(output * State().ButtonsPerOutput + button);
}

AssignRecord& AssembledFixture::Record(int output, int page, int button)
{
    return State().ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, page, button))];
}

std::vector<std::string> AssembledFixture::DayLogEntries() const
{
    return testsupport::DayLogEntries(logs.Path());
}

} // namespace apptest
