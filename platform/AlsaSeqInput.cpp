#include "platform/AlsaSeqInput.h"

#include "platform/AlsaSeqEvents.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/LogSink.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <poll.h>
#include <string>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace platform {

std::unique_ptr<AlsaSeqInput> AlsaSeqInput::Open(int sourceClient, int sourcePort, MidiInRing& ring)
{
    snd_seq_t* seq = nullptr;
    int result = snd_seq_open(&seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK);
    if (result < 0) {
        Log(std::string("MIDI input: snd_seq_open failed: ") + snd_strerror(result));
        return nullptr;
    }
    snd_seq_set_client_name(seq, App::Title);
    const int port = snd_seq_create_simple_port(seq, (std::string(App::Title) + " MIDI in").c_str(),
                                                SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                                SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    result = port < 0 ? port : snd_seq_connect_from(seq, port, sourceClient, sourcePort);
    if (result < 0) {
        Log("MIDI input: cannot subscribe to " + std::to_string(sourceClient) + ":" + std::to_string(sourcePort) +
            ": " + snd_strerror(result));
        snd_seq_close(seq);
        return nullptr;
    }
    const int stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd < 0) {
        Log("MIDI input: eventfd failed: " + std::to_string(errno));
        snd_seq_close(seq);
        return nullptr;
    }
    return std::unique_ptr<AlsaSeqInput>(new AlsaSeqInput(seq, stopFd, ring));
}

AlsaSeqInput::AlsaSeqInput(snd_seq_t* seq, int stopFd, MidiInRing& ring)
    : seq_(seq), stopFd_(stopFd), ring_(ring), reader_([this] { ReadEvents(); })
{
}

AlsaSeqInput::~AlsaSeqInput()
{
    const std::uint64_t one = 1;
    while (write(stopFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    reader_.join();
    snd_seq_close(seq_);
    close(stopFd_);
}

void AlsaSeqInput::ReadEvents()
{
    const int count = snd_seq_poll_descriptors_count(seq_, POLLIN);
    std::vector<pollfd> watched(static_cast<std::size_t>(count > 0 ? count : 0) + 1);
    const int filled =
        snd_seq_poll_descriptors(seq_, watched.data(), static_cast<unsigned>(watched.size() - 1), POLLIN);
    pollfd& stop = watched[static_cast<std::size_t>(filled > 0 ? filled : 0)];
    stop = {stopFd_, POLLIN, 0};
    const auto watchedCount = static_cast<nfds_t>((filled > 0 ? filled : 0) + 1);

    while (true) {
        if (poll(watched.data(), watchedCount, -1) < 0 && errno != EINTR) {
            return;
        }
        if ((stop.revents & POLLIN) != 0) {
            return;
        }
        while (true) {
            snd_seq_event_t* event = nullptr;
            const int result = snd_seq_event_input(seq_, &event);
            if (result == -ENOSPC) {
                continue; // the input pool overflowed: what was lost is lost, go on reading
            }
            if (result < 0) {
                break; // -EAGAIN: all read
            }
            if (event != nullptr) {
                ring_.Store(ShortMessageOf(*event));
            }
        }
    }
}

} // namespace platform
