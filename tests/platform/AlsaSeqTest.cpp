#include "platform/AlsaSeqBackend.h"
#include "platform/AlsaSeqEvents.h"
#include "platform/MidiInRing.h"
#include "support/RealWait.h"

#include <gtest/gtest.h>

#include <alsa/asoundlib.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <unistd.h>

namespace {

snd_seq_event_t Event(snd_seq_event_type_t type)
{
    snd_seq_event_t event{};
    event.type = type;
    return event;
}

TEST(AlsaSeqEvents, ChannelMessagesBecomeTheirShortMessageWords)
{
    snd_seq_event_t event{};
    snd_seq_ev_set_noteon(&event, 0, 48, 127);
    EXPECT_EQ(platform::ShortMessageOf(event), 0x7F3090u);
    snd_seq_ev_set_noteon(&event, 15, 60, 0);
    EXPECT_EQ(platform::ShortMessageOf(event), 0x003C9Fu);
    snd_seq_ev_set_noteoff(&event, 2, 50, 64);
    EXPECT_EQ(platform::ShortMessageOf(event), 0x403282u);
    snd_seq_ev_set_controller(&event, 0, 7, 100);
    EXPECT_EQ(platform::ShortMessageOf(event), 0x6407B0u);
    snd_seq_ev_set_pgmchange(&event, 1, 5);
    EXPECT_EQ(platform::ShortMessageOf(event), 0x0005C1u);
    snd_seq_ev_set_pitchbend(&event, 0, 0); // the centre: 0x2000
    EXPECT_EQ(platform::ShortMessageOf(event), 0x4000E0u);
    snd_seq_ev_set_pitchbend(&event, 0, -8192);
    EXPECT_EQ(platform::ShortMessageOf(event), 0x0000E0u);
}

TEST(AlsaSeqEvents, SystemMessagesAndNotices)
{
    EXPECT_EQ(platform::ShortMessageOf(Event(SND_SEQ_EVENT_SENSING)), 0xFEu);
    EXPECT_EQ(platform::ShortMessageOf(Event(SND_SEQ_EVENT_CLOCK)), 0xF8u);
    EXPECT_EQ(platform::ShortMessageOf(Event(SND_SEQ_EVENT_START)), 0xFAu);
    EXPECT_EQ(platform::ShortMessageOf(Event(SND_SEQ_EVENT_STOP)), 0xFCu);
    // No short message: nothing is stored for them.
    EXPECT_EQ(platform::ShortMessageOf(Event(SND_SEQ_EVENT_SYSEX)), 0u);
    EXPECT_EQ(platform::ShortMessageOf(Event(SND_SEQ_EVENT_PORT_SUBSCRIBED)), 0u);
    EXPECT_EQ(platform::ShortMessageOf(Event(SND_SEQ_EVENT_CLIENT_START)), 0u);
}

// A program on the sequencer with a port that other clients can read from.
class SourcePort {
public:
    SourcePort()
    {
        if (snd_seq_open(&seq_, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
            seq_ = nullptr;
            return;
        }
        snd_seq_set_client_name(seq_, "tolv test keyboard");
        port_ = snd_seq_create_simple_port(seq_, "tolv test keys", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                           SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    }
    ~SourcePort()
    {
        if (seq_ != nullptr) {
            snd_seq_close(seq_);
        }
    }
    SourcePort(const SourcePort&) = delete;
    SourcePort& operator=(const SourcePort&) = delete;

    bool Ready() const { return seq_ != nullptr && port_ >= 0; }
    void NoteOn(int note, int velocity)
    {
        snd_seq_event_t event{};
        snd_seq_ev_clear(&event);
        snd_seq_ev_set_source(&event, port_);
        snd_seq_ev_set_subs(&event);
        snd_seq_ev_set_direct(&event);
        snd_seq_ev_set_noteon(&event, 0, note, velocity);
        snd_seq_event_output_direct(seq_, &event);
    }

private:
    snd_seq_t* seq_ = nullptr;
    int port_ = -1;
};

bool SequencerPresent()
{
    return access("/dev/snd/seq", R_OK | W_OK) == 0;
}

TEST(AlsaSequencer, ListsAProgramsPortAndDeliversItsNotes)
{
    if (!SequencerPresent()) {
        GTEST_SKIP() << "no ALSA sequencer on this machine (/dev/snd/seq is missing or not accessible)";
    }
    SourcePort source;
    ASSERT_TRUE(source.Ready());
    platform::AlsaSeqBackend alsa;
    const std::vector<std::string> inputs = alsa.PortNames(true);
    const auto found = std::find(inputs.begin(), inputs.end(), "tolv test keys");
    ASSERT_NE(found, inputs.end());
    // It only sends: it is no output device.
    const std::vector<std::string> outputs = alsa.PortNames(false);
    EXPECT_EQ(std::find(outputs.begin(), outputs.end(), "tolv test keys"), outputs.end());

    platform::MidiInRing ring;
    auto input = alsa.OpenInput(static_cast<int>(found - inputs.begin()), ring);
    ASSERT_NE(input, nullptr);
    source.NoteOn(48, 100);
    std::uint32_t message = 0;
    const auto deadline = std::chrono::steady_clock::now() + testsupport::RealWait;
    while (message == 0 && std::chrono::steady_clock::now() < deadline) {
        message = ring.Take();
        std::this_thread::yield();
    }
    EXPECT_EQ(message, 0x643090u);
    input.reset();
}

TEST(AlsaSequencer, ADeviceNumberBeyondTheListOpensNothing)
{
    if (!SequencerPresent()) {
        GTEST_SKIP() << "no ALSA sequencer on this machine (/dev/snd/seq is missing or not accessible)";
    }
    platform::AlsaSeqBackend alsa;
    platform::MidiInRing ring;
    const auto count = static_cast<int>(alsa.PortNames(true).size());
    EXPECT_EQ(alsa.OpenInput(count, ring), nullptr);
    EXPECT_EQ(alsa.OpenInput(-1, ring), nullptr);
}

} // namespace
