// The remote devices polled by the engine tick while a sound plays on the
// 210 ms preset: boxes that stop answering, a reset that resends every lamp,
// serial ports that fail, and the unload that sends the last lamps and closes
// every device. The sound must never break off.
#include "playback/PlaybackFixture.h"

#include "foundation/Parms.h"
#include "remote/MidiIn.h"
#include "remote/PlaybackRemoteTargets.h"
#include "remote/RemoteControl.h"
#include "support/FakeHidBox.h"
#include "support/FakeMidiBackend.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

class RemoteWhilePlaying : public playbacktest::PlaybackFixture {
protected:
    static constexpr int SoundSeconds = 30;

    void SetUp() override
    {
        PlaybackFixture::SetUp();
        // The 210 ms preset: three pages of 70 ms, volume faders, no mixer.
        Store("UseVol", "1");
        Store("UseMixer", "0");
        for (int n = 1; n <= 4; ++n) {
            const std::string suffix = "_" + std::to_string(n);
            for (const char* key : {"USBHIDID", "ComNo", "HIDGetStatus", "HIDAsync"}) {
                Store(key + suffix, "0");
            }
            Store("HIDCh" + suffix, std::to_string(n - 1));
            Store("ComCh" + suffix, std::to_string(n - 1));
            Store("ComMode" + suffix, "2");
        }
        Store("UseMIDIIn", "0");
        targets = std::make_unique<PlaybackRemoteTargets>(*window, *control);
        remote = std::make_unique<RemoteControl>(*window, *targets);
        window->Ports.Remote = remote.get();
        window->Ports.RemoteDevices = remote.get();
        control->Hooks.PollRemote = [this] { remote->PollRemote(); };
    }
    void TearDown() override
    {
        control->Hooks.PollRemote = nullptr;
        window->Ports.Remote = &ports.Remote;
        window->Ports.RemoteDevices = &ports.RemoteDevices;
        remote.reset();
        targets.reset();
        for (int n = 1; n <= 4; ++n) {
            unsetenv(("TOLV_COM" + std::to_string(10 + n)).c_str());
        }
        PlaybackFixture::TearDown();
    }

    // A box of product 1 on USB port 1-n for channel n, in the given mode.
    testsupport::FakeHidBox& PlugBox(int n, int mode)
    {
        testsupport::FakeHidBox& box = hid.Plug(1, "1-" + std::to_string(n));
        Store("USBHIDID_" + std::to_string(n), "1");
        Store("HIDAsync_" + std::to_string(n), std::to_string(mode));
        return box;
    }
    // Serial channel n on a pseudo-terminal (as COM1n).
    void PlugSerial(int n, const testsupport::PseudoTerminal& line)
    {
        setenv(("TOLV_COM" + std::to_string(10 + n)).c_str(), line.PortPath().c_str(), 1);
        Store("ComNo_" + std::to_string(n), std::to_string(10 + n));
    }

    // Every frame of the file in order from its first frame on, as many as
    // the time since the start gives (less the preset's 210 ms and a period):
    // no gap, no repeat, no silence in between.
    void ExpectEveryFrameInOrder(const std::vector<float>& left)
    {
        const std::int64_t frames =
            std::min<std::int64_t>((clock.TotalMs() - playStart - 300) * Rate / 1000, SoundSeconds * Rate);
        std::size_t at = 0;
        while (at < left.size() && left[at] == 0.0F) {
            ++at;
        }
        ASSERT_LT(at, left.size()) << "nothing played";
        std::int64_t frame = 0;
        for (; at < left.size() && frame < frames; ++at, ++frame) {
            ASSERT_EQ(RampFrame(left[at]), frame % 30000) << "the sound broke off at frame " << frame;
        }
        EXPECT_EQ(frame, frames) << "played too little";
    }
    int DayLogged(const std::string& prefix) const
    {
        int count = 0;
        for (const std::string& entry : DayLogEntries()) {
            count += entry.rfind(prefix, 0) == 0 ? 1 : 0;
        }
        return count;
    }

    // Output 1 plays a long file from its first frame.
    void PlayLongSound()
    {
        Assign(0, 0, 0, RampWave("long.wav", SoundSeconds * Rate));
        playStart = clock.TotalMs();
        control->Pon(0, 0, 0, 0, 0);
        ASSERT_EQ(State().OutputState[0], 1);
    }

    void PlayWhileTheBoxStopsAnswering(int mode)
    {
        testsupport::FakeHidBox& box = PlugBox(1, mode);
        // Code 30 locks the output: a code that leaves the sound alone.
        program.Write("tolv.rrs", "\"Button_01-030\",\"ch1\",\"LINEOUTSTATUS_ON\",\"1\"\r\n");
        ASSERT_TRUE(Start(1));
        ASSERT_TRUE(remote->HidOpen(0));
        PlayLongSound();
        Run(500);
        box.silent = true;
        Run(4000);
        EXPECT_GE(DayLogged("USBResetTimer Set"), 1) << "the silent box was noticed";
        EXPECT_GE(DayLogged("HID Reset OK pRemote=0"), 1) << "and re-opened";
        box.silent = false;
        box.codes = {30};
        Run(3000);
        EXPECT_EQ(State().OutputLocked[0], 1) << "the box is heard again";
        ExpectEveryFrameInOrder(Played(1));
    }

    testsupport::FakeHidTransport hid{clock};
    std::int64_t playStart = 0;
    std::unique_ptr<PlaybackRemoteTargets> targets;
    std::unique_ptr<RemoteControl> remote;
};

TEST_F(RemoteWhilePlaying, ASilentBoxInSyncModeLeavesTheSoundWhole)
{
    PlayWhileTheBoxStopsAnswering(0);
}

TEST_F(RemoteWhilePlaying, ASilentBoxInWaitingModeLeavesTheSoundWhole)
{
    PlayWhileTheBoxStopsAnswering(1);
}

TEST_F(RemoteWhilePlaying, ASilentBoxInPipelinedModeLeavesTheSoundWhole)
{
    PlayWhileTheBoxStopsAnswering(2);
}

TEST_F(RemoteWhilePlaying, AResetResendingFourHundredSlowLampsLeavesTheSoundWhole)
{
    // Four outputs of 100 buttons, one box each, every write taking 10 ms.
    std::vector<testsupport::FakeHidBox*> boxes;
    for (int n = 1; n <= 4; ++n) {
        boxes.push_back(&PlugBox(n, 1));
        boxes.back()->writeMs = 10;
        Store("ModuleX_" + std::to_string(n), "10");
        Store("ModuleY_" + std::to_string(n), "10");
    }
    ASSERT_TRUE(Start(4));
    ASSERT_EQ(State().ButtonsPerPage[3], 100);
    PlayLongSound();
    Run(300);
    boxes[0]->gone = true;
    Run(300);
    ASSERT_EQ(DayLogged("USBResetTimer Set"), 1);
    boxes[0]->gone = false;
    for (testsupport::FakeHidBox* box : boxes) {
        box->written.clear();
    }
    const std::int64_t before = clock.TotalMs();
    Run(2500);
    ASSERT_EQ(DayLogged("HID Reset OK pRemote=0"), 1);
    // Every box got the button lamps of its output again: 4 x 100 writes.
    for (testsupport::FakeHidBox* box : boxes) {
        EXPECT_GE(box->Lamps().size(), 100U);
    }
    EXPECT_GE(clock.TotalMs() - before, 2500);
    Run(2000);
    ExpectEveryFrameInOrder(Played(1));
}

TEST_F(RemoteWhilePlaying, FourFailingPortsAndFourSilentBoxesNeverStarveTheSound)
{
    std::vector<std::unique_ptr<testsupport::PseudoTerminal>> lines;
    std::vector<testsupport::FakeHidBox*> boxes;
    for (int n = 1; n <= 4; ++n) {
        lines.push_back(std::make_unique<testsupport::PseudoTerminal>());
        PlugSerial(n, *lines.back());
        boxes.push_back(&PlugBox(n, n % 3));
        boxes.back()->silent = true;
    }
    ASSERT_TRUE(Start(4));
    for (int channel = 0; channel < 4; ++channel) {
        ASSERT_TRUE(remote->ComOpen(channel)) << channel;
        ASSERT_TRUE(remote->HidOpen(channel)) << channel;
    }
    PlayLongSound();
    Run(200);
    // The far ends hang up: every read of the ports fails from now on.
    lines.clear();
    // The ticks go on: a silent box holds one poll for at most its 2 s lamp
    // wait and a 500 ms read, never a wait per lamp it is sent.
    std::int64_t longest = 0;
    for (int step = 0; step < 30; ++step) {
        const std::int64_t before = clock.TotalMs();
        Run(100);
        longest = std::max(longest, clock.TotalMs() - before);
    }
    EXPECT_LE(longest, 2600);
    // Every box was found silent and re-opened at least once meanwhile.
    EXPECT_GE(DayLogged("USBResetTimer Set"), 4);
    EXPECT_GE(DayLogged("HID Reset OK"), 4);
    ExpectEveryFrameInOrder(Played(1));
}

TEST_F(RemoteWhilePlaying, TheUnloadSendsTheLastLampsAndClosesEveryDevice)
{
    testsupport::PseudoTerminal line;
    PlugSerial(1, line);
    testsupport::FakeHidBox& box = PlugBox(1, 1);
    testsupport::FakeMidiBackend midi;
    midi.inputs = {"Keys"};
    Store("UseMIDIIn", "1");
    ASSERT_TRUE(Start(1));
    ASSERT_TRUE(remote->ComOpen(0));
    ASSERT_TRUE(remote->HidOpen(0));
    ASSERT_TRUE(midi.IsOpen());
    ASSERT_EQ(State().PageNum, 10);
    ASSERT_EQ(State().ButtonsPerPage[0], 32);
    line.ReceiveWaiting();
    box.written.clear();

    int cancel = 0;
    window->Form_Unload(cancel);

    // Protocol 2 on output 1 with 15 lamps: pages 1..10 off (221..230),
    // then buttons 1..15 off (101..115).
    std::vector<std::uint8_t> expected;
    for (int page = 1; page <= 10; ++page) {
        expected.push_back(static_cast<std::uint8_t>(220 + page));
    }
    for (int button = 1; button <= 15; ++button) {
        expected.push_back(static_cast<std::uint8_t>(100 + button));
    }
    EXPECT_EQ(line.Receive(expected.size()), expected);
    // The box: the 32 buttons off (101..132); the other off lamps are beyond
    // a byte and never sent.
    std::vector<int> lamps;
    for (const auto& report : box.Lamps()) {
        lamps.push_back(report[1]);
    }
    std::vector<int> buttonsOff;
    for (int code = 101; code <= 132; ++code) {
        buttonsOff.push_back(code);
    }
    EXPECT_EQ(lamps, buttonsOff);

    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_FALSE(remote->ComOpen(channel));
        EXPECT_FALSE(remote->HidOpen(channel));
    }
    EXPECT_EQ(box.openDevices, 0) << "the box is closed";
    EXPECT_FALSE(remote->MidiInOpen());
    EXPECT_FALSE(midi.IsOpen());
    EXPECT_TRUE(remote->Com(0) == nullptr || !remote->Com(0)->IsOpen());
}

} // namespace
