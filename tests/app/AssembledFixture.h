#pragma once

#include "app/Composition.h"
#include "support/ClockFixture.h"
#include "support/RampWave.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <QPoint>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class FrmConf;
class QMenu;
class QAction;
class QWidget;

namespace apptest {

// The program as the operator starts it, built by the program's own
// composition, on four null output devices ("Null 1" .. "Null 4", virtual
// time), with its own program, log and registry folders. Nothing is wired
// here: the fixture only answers the desktop's modal parts (message boxes,
// pop-up menus, drags) through the platform's test seams and drives the
// real widgets with Qt input events.
class AssembledFixture : public testsupport::ClockFixture {
public:
    static constexpr int Rate = 48000;

    void SetUp() override;
    void TearDown() override;

    // A setting of this session's store, before Start.
    void Store(const std::string& key, const std::string& value);
    // Starts the program with numOut outputs, the 1-based outputs in
    // listOutputs showing play lists; true when the window runs and shows.
    bool Start(int numOut = 1, const std::vector<int>& listOutputs = {});
    // Start names device n for output n and "Null 4" for the monitor; when
    // false, the device settings are left as the test stored them.
    bool namedDevices = true;

    // A stereo 16-bit wave file whose frame f holds Ramp(f) in both channels.
    std::string RampWave(const std::string& name, int frames);
    static std::int16_t Ramp(std::int64_t frame) { return testsupport::Ramp(frame); }
    static std::int64_t RampFrame(float sample) { return testsupport::RampFrame(sample); }

    // Moves virtual time on; the engine tick runs from its timer meanwhile.
    // The graph back-ends decode on threads of their own, in real time: each
    // step waits until what the devices are to play next is decoded, so an
    // item lasts as long on a busy machine as on a quiet one.
    void Run(int ms);
    // Waits until every playing graph holds the sound its devices take next.
    void WaitForDecoders();
    // What device 1..4 played since the last call, left channel.
    std::vector<float> Played(int device);

    // ---- Input through the real widgets ----
    // The drawing face of a control (the widget that takes mouse and drops).
    static QWidget& Face(QWidget& control);
    // A click of button (Qt::LeftButton / Qt::RightButton) at a point of w
    // (its middle when none); the pointer moves there first.
    static void Click(QWidget& w, Qt::MouseButton button, std::optional<QPoint> at = std::nullopt);
    // Files dropped on w as the desktop drops file URLs; the accepted effect.
    static int DropFiles(QWidget& w, const std::vector<std::string>& files, std::optional<QPoint> at = std::nullopt);
    // A left-button drag from one control's face onto another's: press on the
    // lamp strip, move past the drag threshold, and the drop the desktop
    // would deliver.
    void DragOnto(QWidget& from, QWidget& onto);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Opens the configuration dialog through its menu, lets look see the
    // dialog once its first page shows, and closes it with closeWith (0
    // Cancel, 1 OK); false when it never showed or stayed open.
    bool Configure(int closeWith, const std::function<void(FrmConf&)>& look = {});

    controls::UC_TolvButton& Button(int output, int button);
    AssignRecord& Record(int output, int page, int button);
    MainState& State() { return program->Window.State; }
    FrmMain& Window() { return program->Window; }
    std::vector<std::string> DayLogEntries() const;

    testsupport::ScratchFolder folder;
    testsupport::ScratchFolder logs;
    testsupport::ScratchRegistry registry;
    testsupport::ScratchFolder sounds;
    std::unique_ptr<Composition> program;

    // Every pop-up menu asked for, the pointer position it would have opened
    // at, and the tick time; ChooseInMenu picks the entry (none: dismissed).
    struct ShownMenu {
        QMenu* menu = nullptr;
        QPoint at;
        std::int64_t msOfDay = 0;
    };
    std::vector<ShownMenu> menus;
    std::function<QAction*(QMenu&)> ChooseInMenu;
    // Message box texts and the answer given.
    std::vector<std::string> messages;
    int messageAnswer = 0;

private:
    std::int32_t savedLanguage_ = 0;
};

} // namespace apptest
