// The soak: a seeded random walk through what the window's events call, on
// virtual time, with mouse, keys, drops, four serial ports speaking the five
// protocols, a USB box and MIDI, alternating four waveOut outputs with one
// DirectSound output that cross-fades. After every step the program's
// invariants hold; after every run the saved assign table reads back equal
// and nothing is left open.
//
// CI runs one simulated hour with a fixed seed; scripts/soak runs longer with
// TOLV_SOAK_HOURS and TOLV_SOAK_SEED.
#include "Mutator.h"
#include "SoakLamps.h"
#include "SoakProgram.h"

#include "foundation/CommandLine.h"
#include "foundation/DayLog.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "foundation/SubClass.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/OutputPlayers.h"
#include "platform/DragData.h"
#include "platform/InputCodes.h"
#include "platform/SessionEndpoint.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/NullSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"
#include "playback/AssignFileFormat.h"
#include "playback/AssignRecords.h"
#include "playback/PlaybackControl.h"
#include "remote/RemoteControl.h"
#include "support/ClockFixture.h"
#include "support/FakeHidBox.h"
#include "support/FakeMidiBackend.h"
#include "support/ProgramGlobals.h"
#include "support/ProgramStart.h"
#include "support/PseudoTerminal.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

using namespace acceptance;
using platform::audio::AudioSystem;

constexpr int Rate = 48000;
constexpr int TickMs = 50;
constexpr std::int64_t RunMs = 10 * 60 * 1000; // one program run: ten simulated minutes
constexpr int Ports = 4;

double SoakHours()
{
    const char* text = std::getenv("TOLV_SOAK_HOURS");
    return text != nullptr && *text != '\0' ? std::atof(text) : 1.0;
}

std::uint64_t SoakSeed()
{
    const char* text = std::getenv("TOLV_SOAK_SEED");
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : 20261207;
}

// One configuration of the program between two starts.
struct RunShape {
    int playerType = 3;
    int numOut = 4;
    bool fade = false;
    // Protocols of serial ports 2..4 (port 1 is the recording "All" port).
    std::array<int, 3> protocols{2, 3, 4};
};

RunShape ShapeOf(int run)
{
    RunShape shape;
    if (run % 2 == 1) {
        shape = {0, 1, true, {}};
    }
    // Every protocol on some port within the first runs.
    static constexpr std::array<std::array<int, 3>, 3> rotation{{{2, 3, 4}, {5, 2, 3}, {4, 5, 2}}};
    shape.protocols = rotation[static_cast<std::size_t>(run / 2 % 3)];
    return shape;
}

class Soak : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        SetNow(Date(2026, 3, 10), At(8, 0, 0));
        // Every question is answered yes; a menu that a click opens closes again without a choice.
        testsupport::PrepareProgramStart(program.Path(), Rate);
        registry.AddCommon("DebugLogPath", logs.Path());
        for (int n = 1; n <= Ports; ++n) {
            setenv(("TOLV_COM" + std::to_string(10 + n)).c_str(),
                   lines[static_cast<std::size_t>(n - 1)].PortPath().c_str(), 1);
        }
        midi.inputs = {"Soak keyboard"};
        box = &hid.Plug(1, "1-1");
        MakeSounds();
    }

    void TearDown() override
    {
        soak_.reset();
        testsupport::ResetProgramGlobals();
        for (int n = 1; n <= Ports; ++n) {
            unsetenv(("TOLV_COM" + std::to_string(10 + n)).c_str());
        }
    }

    static void Store(const std::string& key, const std::string& value) { basic::RegWrite(key, value, "tolv"); }

    // Short ramps of 0.3 to 6 s, so that sounds end and start all the time.
    void MakeSounds()
    {
        for (int i = 0; i < 12; ++i) {
            const int frames = Rate * (3 + 7 * i % 60) / 10;
            testsupport::Bytes samples;
            samples.reserve(static_cast<std::size_t>(frames) * 4);
            for (int f = 0; f < frames; ++f) {
                const auto value = static_cast<std::uint16_t>(f % 30000 + 1);
                for (int channel = 0; channel < 2; ++channel) {
                    samples.push_back(static_cast<std::uint8_t>(value & 0xFF));
                    samples.push_back(static_cast<std::uint8_t>(value >> 8));
                }
            }
            testsupport::RiffFileBuilder builder;
            builder.Format(1, 2, Rate, 16).Data(samples);
            const std::string path = sounds / ("s" + std::to_string(i) + ".wav");
            builder.WriteTo(path);
            soundFiles.push_back(path);
        }
    }

    // The first table: every play mode on the grids, two lists with marks.
    void WriteFirstTable()
    {
        std::ofstream table(TablePath(), std::ios::binary | std::ios::trunc);
        table << "\"BankName_01\",\"Opening\"\r\n";
        for (int output = 1; output <= 2; ++output) {
            for (int page = 1; page <= 3; ++page) {
                for (int button = 1; button <= 32; button += 3) {
                    char key[32];
                    std::snprintf(key, sizeof key, "Button%d_%02d-%03d", output, page, button);
                    table << "\"" << key << "\",\""
                          << soundFiles[static_cast<std::size_t>(button + page + output) % soundFiles.size()] << "\",\""
                          << (button / 3) % 4 << "\",\"0\",\"&H0\",\"&H0\"\r\n";
                }
            }
        }
        for (int output = 3; output <= 4; ++output) {
            for (int item = 1; item <= 8; ++item) {
                char key[32];
                std::snprintf(key, sizeof key, "List%d_01-%03d", output, item);
                table << "\"" << key << "\",\"" << soundFiles[static_cast<std::size_t>(item) % soundFiles.size()]
                      << "\",\"" << (item % 3 == 0 ? 1 : 0) << "\",\"0\"\r\n";
            }
        }
    }

    std::string TablePath() const { return program / "soak.txt"; }

    void StoreShape(const RunShape& shape)
    {
        Store("PlayerType", std::to_string(shape.playerType));
        Store("NumOut", std::to_string(shape.numOut));
        Store("TimerInt", std::to_string(TickMs));
        Store("OpenLast", "1");
        Store("LastTlvFilename", TablePath());
        Store("SaveEnd", "1");
        Store("NoClose", "0");
        Store("UseVol", shape.fade ? "1" : "0");
        for (int n = 1; n <= 4; ++n) {
            const std::string suffix = "_" + std::to_string(n);
            Store("DeviceWave" + suffix, "Null " + std::to_string(n));
            Store("DeviceDS" + suffix, "Null " + std::to_string(n));
            Store("IsList" + suffix, n >= 3 ? "1" : "0");
            Store("FadeOn" + suffix, shape.fade ? "1" : "0");
            Store("DispFADE" + suffix, shape.fade ? "1" : "0");
            Store("ComNo" + suffix, std::to_string(10 + n));
            Store("ComBaud" + suffix, "38400");
            Store("USBHIDID" + suffix, n == 1 ? "1" : "0");
            Store("HIDCh" + suffix, "0");
        }
        Store("ComMode_1", "1");
        Store("ComCh_1", "4");
        for (int n = 2; n <= Ports; ++n) {
            const int protocol = shape.protocols[static_cast<std::size_t>(n - 2)];
            Store("ComMode_" + std::to_string(n), std::to_string(protocol));
            Store("ComCh_" + std::to_string(n), protocol == 3 ? "4" : "0");
        }
        Store("UseMIDIIn", "1");
        Store("MidiInDeviceID", "0");
    }

    void StartRun(const RunShape& shape);
    int Pick(int bound);
    std::vector<std::uint8_t> SerialBytes(int protocol);
    void Step();
    void AdvanceChecked(int ms);
    void CheckInvariants();
    void CheckDevicesKeepPace();
    void EndRun();

    testsupport::ScratchFolder program;
    testsupport::ScratchFolder logs;
    testsupport::ScratchRegistry registry;
    testsupport::ScratchFolder sounds;
    std::array<testsupport::PseudoTerminal, Ports> lines;
    testsupport::FakeHidTransport hid{clock};
    testsupport::FakeMidiBackend midi;
    testsupport::FakeHidBox* box = nullptr;
    std::vector<std::string> soundFiles;

    // What the walk has seen so far.
    struct Totals {
        long steps = 0;
        long playing = 0; // outputs found playing after a step
        std::map<std::string, long> actions;
    } totals;

    struct RunState {
        RunShape shape;
        TextLampPanel allPort;
        HidLampPanel boxLamps;
    };
    std::unique_ptr<SoakProgram> soak_;
    RunState* run_ = nullptr;
    std::unique_ptr<RunState> runState_;
    std::unique_ptr<Mutator> random_;
    // Per null device: frames written and the time, at the last look.
    std::array<std::pair<std::uint64_t, std::int64_t>, 4> paces{{{0, -1}, {0, -1}, {0, -1}, {0, -1}}};
};

void Soak::StartRun(const RunShape& shape)
{
    StoreShape(shape);
    runState_ = std::make_unique<RunState>();
    run_ = runState_.get();
    run_->shape = shape;
    soak_ = std::make_unique<SoakProgram>();
    FrmMain& window = soak_->Window();
    ASSERT_EQ(window.Form_Load(), FrmMain::StartOutcome::Running);
    ASSERT_EQ(window.State.PlayerCount, shape.playerType == 0 ? 3 : 4);
    ASSERT_EQ(window.State.CurrentFilePath, TablePath());
}

int Soak::Pick(int bound)
{
    return static_cast<int>(random_->Below(static_cast<std::uint32_t>(bound)));
}

// Commands a box of each protocol sends, most well-formed, some damaged.
std::vector<std::uint8_t> Soak::SerialBytes(int protocol)
{
    const auto number = [this](int digits, int bound) {
        std::string text = std::to_string(1 + Pick(bound));
        return std::string(static_cast<std::size_t>(std::max(0, digits - static_cast<int>(text.size()))), '0') + text;
    };
    std::string text;
    switch (protocol) {
    case 1: {
        static constexpr std::array<const char*, 4> words{"B", "P", "PLAY", "STOP"};
        const std::string word = words[static_cast<std::size_t>(Pick(4))];
        text = word.size() == 1 ? word + number(3, word == "B" ? 40 : 4) : word;
        break;
    }
    case 2:
        text = std::string(1, static_cast<char>(Pick(3) == 0 ? 0xF1 : 1 + Pick(40)));
        break;
    case 3: {
        static constexpr std::array<std::uint8_t, 5> codes{0x11, 0x12, 0x13, 0x14, 0x16};
        text = {static_cast<char>(0x80 + Pick(4)), static_cast<char>(codes[static_cast<std::size_t>(Pick(5))]),
                static_cast<char>(1 + Pick(32))};
        break;
    }
    case 4: {
        static constexpr std::array<char, 5> letters{'D', 'P', 'A', 'T', 'Q'};
        const char letter = letters[static_cast<std::size_t>(Pick(5))];
        text = std::string("\x02") + letter + std::to_string(Pick(run_->shape.numOut));
        if (letter == 'D' || letter == 'Q') {
            text += number(2, 32).substr(0, 1) + std::to_string(Pick(10));
        }
        text += "\x03";
        break;
    }
    default:
        text = number(2, run_->shape.numOut) + number(2, 3) + number(2, 32) + "\r\n";
        break;
    }
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    if (Pick(10) == 0) {
        bytes = random_->Mutate(bytes, 64);
    }
    return bytes;
}

void Soak::Step()
{
    FrmMain& window = soak_->Window();
    MainState& state = window.State;
    const int numOut = run_->shape.numOut;
    const int output = Pick(numOut);
    const bool isList = parms::IsList[static_cast<std::size_t>(output)] == 1;
    const auto count = [this](const char* action) { ++totals.actions[action]; };
    switch (Pick(12)) {
    case 0:
    case 1: { // a click on a sound button, or a press held a while (Momentary)
        if (isList) {
            count("list click");
            window.Ports.ListEvents->LV_Clicked(output, 10.0, 10.0 + 15.0 * Pick(8));
            break;
        }
        count("button click");
        // The control of the button raises (its index, mouse button, area).
        const int button = Pick(std::max(1, state.ButtonsPerPage[static_cast<std::size_t>(output)]));
        const int index = output * state.ButtonsPerOutput + button;
        const int area = Pick(4) == 0 ? 1 : 0; // text area, or now and then the lamp strip
        window.Ports.ControlEvents->TolvButton_MouseUD(index, platform::ButtonLeft, true, area);
        if (Pick(3) == 0) {
            AdvanceChecked(TickMs * (1 + Pick(20)));
        }
        window.Ports.ControlEvents->TolvButton_MouseUD(index, platform::ButtonLeft, false, area);
        break;
    }
    case 2: { // keys: pages, Esc, Space, button keys
        count("key");
        static constexpr std::array<int, 12> keys{112, 113, 114, 107, 109, 27, 32, 49, 50, 81, 87, 65};
        int key = keys[static_cast<std::size_t>(Pick(12))];
        window.Keys.KeyDown(key, 0);
        key = keys[static_cast<std::size_t>(Pick(12))];
        window.Keys.KeyUp(key, 0);
        break;
    }
    case 3: { // a page button
        count("page");
        window.Ports.ControlEvents->PageButtons_ButtonClicked(output, Pick(4));
        break;
    }
    case 4: { // files dropped on a button or a list, sometimes one that is not there
        count("drop");
        platform::DragData data;
        const int files = 1 + Pick(3);
        for (int i = 0; i < files; ++i) {
            data.AddFile(Pick(6) == 0
                             ? sounds / "missing.wav"
                             : soundFiles[static_cast<std::size_t>(Pick(static_cast<int>(soundFiles.size())))]);
        }
        if (isList) {
            int effect = platform::DropEffectCopy;
            window.Ports.ListEvents->LV_OLEDragDrop(output, data, effect, 1, 0, 10.0, 10.0 + 15.0 * Pick(8));
        } else {
            window.Ports.ControlEvents->TolvButton_OLEDropped(output, data);
        }
        break;
    }
    case 5:
    case 6: { // a serial box
        count("serial");
        const int port = Pick(Ports);
        const int protocol = port == 0 ? 1 : run_->shape.protocols[static_cast<std::size_t>(port - 1)];
        lines[static_cast<std::size_t>(port)].Send(SerialBytes(protocol));
        break;
    }
    case 7: { // the USB box: a key, its release, or nothing
        count("hid");
        box->codes.push_back(static_cast<std::uint8_t>(Pick(4) == 0 ? 255 : 1 + Pick(40)));
        break;
    }
    case 8: { // MIDI: note on, note off, or something else
        count("midi");
        const std::uint32_t note = 48 + static_cast<std::uint32_t>(Pick(40));
        static constexpr std::array<std::uint32_t, 4> statuses{0x90, 0x80, 0xB0, 0xF8};
        const std::uint32_t status = statuses[static_cast<std::size_t>(Pick(4))];
        midi.Send(status | note << 8 | (status == 0x80 ? 0U : 0x7FU) << 16);
        break;
    }
    case 9: { // the output strip's transport: play, stop
        count("transport");
        const int slot = output * state.PlayersPerOutput + Pick(state.PlayersPerOutput);
        window.Ports.ControlEvents->PlayButtons_ButtonClicked(slot, Pick(3));
        break;
    }
    default: // time passes
        count("wait");
        break;
    }
    ++totals.steps;
}

// Moves virtual time on in pieces of two ticks, checking that every playing
// player moves on within each piece.
void Soak::AdvanceChecked(int ms)
{
    FrmMain& window = soak_->Window();
    MainState& state = window.State;
    for (int done = 0; done < ms; done += 2 * TickMs) {
        std::vector<std::int32_t> before(static_cast<std::size_t>(state.PlayerCount), -1);
        for (int slot = 0; slot < state.PlayerCount; ++slot) {
            Player& player = state.PlayerAt(slot);
            if (player.mode() == 3) {
                before[static_cast<std::size_t>(slot)] = player.Position();
            }
        }
        clock.Advance(std::min(2 * TickMs, ms - done));
        AudioSystem::Current().Sync();
        CheckDevicesKeepPace();
        for (int slot = 0; slot < state.PlayerCount; ++slot) {
            Player& player = state.PlayerAt(slot);
            // The DirectSound back-ends stop at the next second of their
            // ring after the data: until then a player at its end stands.
            const bool atEnd = player.Position() >= player.Length();
            if (before[static_cast<std::size_t>(slot)] >= 0 && player.mode() == 3 && ms - done >= 2 * TickMs &&
                !atEnd) {
                // Lower is a new start (the next list item, a parked request).
                EXPECT_NE(player.Position(), before[static_cast<std::size_t>(slot)])
                    << "player " << slot << " stands still while it plays, step " << totals.steps << " ("
                    << player.FileName() << ", length " << player.Length() << " ms, attenuation "
                    << player.Attenuation() << ", fade-in delay "
                    << state.FadeInDelay[static_cast<std::size_t>(slot / std::max(1, state.PlayersPerOutput))] << ")";
            }
        }
    }
}

// Every null device has taken exactly the frames of the time passed (within
// one period): the mixer never stalls, whatever the program does.
void Soak::CheckDevicesKeepPace()
{
    for (int device = 1; device <= 4; ++device) {
        platform::audio::NullSink* sink = AudioSystem::Current().NullOutput(device);
        ASSERT_NE(sink, nullptr);
        auto& [frames, ms] = paces[static_cast<std::size_t>(device - 1)];
        const std::uint64_t written = sink->FramesWritten();
        const std::int64_t now = clock.TotalMs();
        if (ms >= 0) {
            const std::int64_t expected = (now - ms) * Rate / 1000;
            const auto got = static_cast<std::int64_t>(written - frames);
            EXPECT_LE(std::abs(got - expected), 512) << "device " << device << ", step " << totals.steps;
        }
        frames = written;
        ms = now;
        // Only the last ten seconds are kept, and nobody reads them here.
        sink->TakePlayed();
    }
}

void Soak::CheckInvariants()
{
    FrmMain& window = soak_->Window();
    MainState& state = window.State;
    const int numOut = run_->shape.numOut;
    for (int output = 0; output < numOut; ++output) {
        ASSERT_EQ(state.PonBusy[static_cast<std::size_t>(output)], 0) << "step " << totals.steps;
    }
    // The tick reads the players back into the outputs' state.
    AudioSystem::Current().Sync();
    window.Ports.Engine->TimerUpdate_Timer();
    for (int output = 0; output < numOut; ++output) {
        int expected = 0;
        for (int k = 0; k < state.PlayersPerOutput; ++k) {
            Player& player = state.PlayerAt(output * state.PlayersPerOutput + k);
            if (player.mode() == 3 && player.Length() > 0) {
                expected = 1;
            }
        }
        ASSERT_EQ(state.OutputState[static_cast<std::size_t>(output)], expected)
            << "output " << output << ", step " << totals.steps;
        totals.playing += expected;
    }
    // The lamps the boxes show.
    run_->allPort.Receive(lines[0].ReceiveWaiting());
    run_->boxLamps.Receive(box->written);
    for (int output = 0; output < numOut; ++output) {
        const bool idle = state.OutputState[static_cast<std::size_t>(output)] == 0;
        EXPECT_EQ(run_->allPort.Lamp(output + 1), idle ? 0 : 1) << "play lamp of output " << output + 1;
        EXPECT_EQ(run_->allPort.Lamp(output + 9), idle ? 1 : 0) << "stop lamp of output " << output + 1;
        EXPECT_EQ(run_->allPort.Lamp(output + 5), soak_->Remote().StandbyTally(output))
            << "standby lamp of output " << output + 1;
    }
    // The box of output 1: a lamp code c lights with c and goes out with
    // c + 100, which is not sent when it is above 254.
    const bool firstIdle = state.OutputState[0] == 0;
    const auto expectLamp = [this](int code, bool lit) {
        if (lit || code + 100 <= 254) {
            EXPECT_EQ(run_->boxLamps.Lamp(code), lit ? 1 : 0) << "box lamp " << code << ", step " << totals.steps;
        }
    };
    for (int code = 1; code < RemoteCodes; ++code) {
        const RemoteAssignEntry& entry = state.RemoteAssignTable[static_cast<std::size_t>(RemoteAssignIndex(0, code))];
        if (entry.Output == 0 && entry.Function == RemoteFunction::PlayOn && entry.Value == 1) {
            expectLamp(code, !firstIdle);
        }
        if (entry.Output == 0 && entry.Function == RemoteFunction::StopOn && entry.Value == 1) {
            expectLamp(code, firstIdle);
        }
    }
}

// Stops everything, closes as the operator does with SaveEnd 1, and checks
// that the saved table reads back as it was.
void Soak::EndRun()
{
    FrmMain& window = soak_->Window();
    MainState& state = window.State;
    for (int output = 0; output < run_->shape.numOut; ++output) {
        window.Ports.Playback->StopOutput(output);
    }
    AdvanceChecked(20 * TickMs);
    ASSERT_EQ(state.SomethingPlays, 0);
    AssignTableSet before = playback::FreshTablesForRead(state);
    before.ButtonTable = state.ButtonTable;
    before.ListTable = state.ListTable;
    before.BankName = state.BankName;
    before.ListName = state.ListName;
    const int pageNum = state.PageNum;
    const auto buttonsPerPage = state.ButtonsPerPage;

    int cancel = 0;
    window.Form_QueryUnload(cancel, platform::UnloadByCode);
    ASSERT_EQ(cancel, 0);
    window.Form_Unload(cancel);
    ASSERT_EQ(cancel, 0);

    std::ifstream in(TablePath(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    AssignTableSet saved = playback::FreshTablesForRead(state);
    ASSERT_EQ(playback::ParseAssignFile(bytes, TablePath(), state.SyncDrive, saved).BadLine, 0);
    for (int output = 0; output < AssignOutputs; ++output) {
        for (int page = 0; page < pageNum; ++page) {
            const auto buttons = buttonsPerPage[static_cast<std::size_t>(output)];
            for (int button = 0; button < buttons; ++button) {
                const auto at = static_cast<std::size_t>(ButtonTableIndex(output, page, button));
                EXPECT_EQ(saved.ButtonTable[at].FileName, before.ButtonTable[at].FileName);
                if (!before.ButtonTable[at].FileName.empty()) {
                    EXPECT_EQ(saved.ButtonTable[at].PlayMode, before.ButtonTable[at].PlayMode);
                    EXPECT_EQ(saved.ButtonTable[at].StartMS, before.ButtonTable[at].StartMS);
                }
            }
            const auto list = static_cast<std::size_t>(ListTableIndex(output, page));
            const auto& items = before.ListTable[list].Items;
            for (std::size_t item = 0; item < items.size() && item < 999; ++item) {
                if (!items[item].FileName.empty()) {
                    ASSERT_LT(item, saved.ListTable[list].Items.size());
                    EXPECT_EQ(saved.ListTable[list].Items[item].FileName, items[item].FileName);
                }
            }
        }
    }
    soak_.reset();
    // The process ends here in the program; the next run starts as a new one.
    platform::ReleaseProcessSession();
    AudioSystem::Current().Sync();
}

// The walk over the whole span is dealt out in two halves, each a suite of
// its own so that each runs as a test process of its own: together they take
// over a minute under the sanitizers, more than a busy machine leaves one
// process. Each half has its own seed and keeps the runs' numbers (and so
// their shapes) that it would have in one walk.
class SoakHalf : public Soak {
protected:
    void Walk(int half)
    {
        const double hours = SoakHours();
        const std::uint64_t seed = SoakSeed() + static_cast<std::uint64_t>(half);
        const auto runs = static_cast<int>(hours * 3600.0 * 1000.0 / static_cast<double>(RunMs) + 0.5);
        const int firstRun = runs * half / 2;
        const int endRun = runs * (half + 1) / 2;
        std::printf("[ soak     ] runs %d to %d of %.2f simulated hours, seed %llu\n", firstRun, endRun - 1, hours,
                    static_cast<unsigned long long>(seed));
        random_ = std::make_unique<Mutator>(seed);
        WriteFirstTable();
        std::array<std::optional<int>, 2> descriptors;
        for (int run = firstRun; run < endRun && !HasFatalFailure(); ++run) {
            StartRun(ShapeOf(run));
            if (HasFatalFailure()) {
                break;
            }
            const std::int64_t end = clock.TotalMs() + RunMs;
            while (clock.TotalMs() < end && !HasFailure()) {
                Step();
                AdvanceChecked(TickMs * (1 + Pick(30)));
                CheckInvariants();
            }
            if (HasFailure()) {
                break;
            }
            EndRun();
            // Nothing is left open by a run: the descriptors of a run equal the
            // first run of its kind.
            const int open = testsupport::OpenDescriptorCount();
            auto& first = descriptors[static_cast<std::size_t>(run % 2)];
            if (!first) {
                first = open;
            }
            EXPECT_EQ(open, *first) << "run " << run;
            for (int device = 1; device <= 4; ++device) {
                const auto owner = AudioSystem::Current().Output(device);
                ASSERT_NE(owner, nullptr);
                EXPECT_EQ(owner->VoiceCount(), 0) << "device " << device << " after run " << run;
            }
        }
        std::printf("[ soak     ] %ld steps, %ld outputs found playing after one:", totals.steps, totals.playing);
        for (const auto& [action, times] : totals.actions) {
            std::printf(" %s %ld,", action.c_str(), times);
        }
        std::printf("\n");
        if (HasFailure()) {
            std::printf("[ soak     ] failed with seed %llu\n", static_cast<unsigned long long>(seed));
        }
    }
};

class SoakFirstHalf : public SoakHalf {};
class SoakSecondHalf : public SoakHalf {};

TEST_F(SoakFirstHalf, RandomWalkOnVirtualTime)
{
    Walk(0);
}

TEST_F(SoakSecondHalf, RandomWalkOnVirtualTime)
{
    Walk(1);
}

} // namespace
