#include "platform/AlsaSeqBackend.h"

#include "platform/AlsaSeqInput.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/LogSink.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <tuple>

namespace platform {

namespace {

struct SeqPort {
    int rank = 0; // 0 a sound card's client, 1 another kernel client, 2 a program
    int client = 0;
    int port = 0;
    std::string name;
};

// The ports another client can subscribe to for reading (input) or writing.
std::vector<SeqPort> ListPorts(bool input)
{
    std::vector<SeqPort> ports;
    snd_seq_t* seq = nullptr;
    const int opened = snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
    if (opened < 0) {
        Log(std::string("MIDI devices cannot be listed: snd_seq_open failed: ") + snd_strerror(opened));
        return ports;
    }
    const unsigned wanted = input ? (SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ)
                                  : (SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE);
    snd_seq_client_info_t* client = nullptr;
    snd_seq_port_info_t* port = nullptr;
    snd_seq_client_info_malloc(&client);
    snd_seq_port_info_malloc(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        const int id = snd_seq_client_info_get_client(client);
        // The system client's timer and announcements, and this program's own ports.
        if (id == SND_SEQ_CLIENT_SYSTEM || std::string_view(snd_seq_client_info_get_name(client)) == App::Title) {
            continue;
        }
        const int rank = snd_seq_client_info_get_card(client) >= 0                       ? 0
                         : snd_seq_client_info_get_type(client) == SND_SEQ_KERNEL_CLIENT ? 1
                                                                                         : 2;
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            const unsigned caps = snd_seq_port_info_get_capability(port);
            if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT) != 0) {
                continue;
            }
            ports.push_back({rank, id, snd_seq_port_info_get_port(port), snd_seq_port_info_get_name(port)});
        }
    }
    snd_seq_port_info_free(port);
    snd_seq_client_info_free(client);
    snd_seq_close(seq);
    std::stable_sort(ports.begin(), ports.end(), [](const SeqPort& a, const SeqPort& b) {
        return std::tie(a.rank, a.client, a.port) < std::tie(b.rank, b.client, b.port);
    });
    return ports;
}

} // namespace

std::vector<std::string> AlsaSeqBackend::PortNames(bool input)
{
    std::vector<std::string> names;
    for (const SeqPort& port : ListPorts(input)) {
        names.push_back(port.name);
    }
    return names;
}

std::unique_ptr<MidiInputPort> AlsaSeqBackend::OpenInput(int index, MidiInRing& ring)
{
    const std::vector<SeqPort> ports = ListPorts(true);
    if (index < 0 || static_cast<std::size_t>(index) >= ports.size()) {
        Log("MIDI input device " + std::to_string(index) + " is not present (" + std::to_string(ports.size()) +
            " found)");
        return nullptr;
    }
    const SeqPort& source = ports[static_cast<std::size_t>(index)];
    return AlsaSeqInput::Open(source.client, source.port, ring);
}

} // namespace platform
