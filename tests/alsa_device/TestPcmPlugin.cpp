// An ALSA playback device of the tests' own, loaded by libasound as the
// external PCM type "tolvtest" from a configuration the test writes:
//
//   pcm_type.tolvtest { lib "<path of this module>" }
//   pcm.x { type tolvtest formats "S16_LE" min_period_bytes 4096 refuse_period_below 0 }
//
// It takes every frame at once (no clock of its own, like the null PCM) and
// shapes what it accepts as a sound card does:
// - formats: the only sample formats it offers (default S16_LE, S32_LE, FLOAT_LE);
// - rate: the only rate it offers (default any of 8,000 .. 192,000 Hz);
// - min_period_bytes: the smallest period in bytes it offers (default 32);
// - refuse_period_below: a period below this is refused only when the set-up
//   is committed, as drivers do whose limits are not all advertised.
#include <alsa/asoundlib.h>
#include <alsa/pcm_external.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct TestPcm {
    snd_pcm_ioplug_t io{};
    int fd = -1;
    snd_pcm_uframes_t consumed = 0;
    long refuseBelow = 0;
};

TestPcm* Of(snd_pcm_ioplug_t* io)
{
    return static_cast<TestPcm*>(io->private_data);
}

int Start(snd_pcm_ioplug_t*)
{
    return 0;
}

int Stop(snd_pcm_ioplug_t*)
{
    return 0;
}

int Prepare(snd_pcm_ioplug_t* io)
{
    Of(io)->consumed = 0;
    return 0;
}

snd_pcm_sframes_t Pointer(snd_pcm_ioplug_t* io)
{
    // Everything handed over has been played.
    return static_cast<snd_pcm_sframes_t>(Of(io)->consumed % io->buffer_size);
}

snd_pcm_sframes_t Transfer(snd_pcm_ioplug_t* io, const snd_pcm_channel_area_t*, snd_pcm_uframes_t,
                           snd_pcm_uframes_t size)
{
    Of(io)->consumed += size;
    return static_cast<snd_pcm_sframes_t>(size);
}

int HwParams(snd_pcm_ioplug_t* io, snd_pcm_hw_params_t*)
{
    const TestPcm* pcm = Of(io);
    return static_cast<long>(io->period_size) < pcm->refuseBelow ? -EINVAL : 0;
}

int Close(snd_pcm_ioplug_t* io)
{
    TestPcm* pcm = Of(io);
    if (pcm->fd >= 0) {
        close(pcm->fd);
    }
    delete pcm;
    return 0;
}

const snd_pcm_ioplug_callback_t callbacks = [] {
    snd_pcm_ioplug_callback_t c{};
    c.start = Start;
    c.stop = Stop;
    c.pointer = Pointer;
    c.transfer = Transfer;
    c.close = Close;
    c.hw_params = HwParams;
    c.prepare = Prepare;
    return c;
}();

std::vector<unsigned int> Formats(const std::string& names)
{
    std::vector<unsigned int> formats;
    std::size_t from = 0;
    while (from <= names.size()) {
        const std::size_t to = names.find(',', from);
        const std::string name = names.substr(from, to == std::string::npos ? std::string::npos : to - from);
        const snd_pcm_format_t format = snd_pcm_format_value(name.c_str());
        if (format != SND_PCM_FORMAT_UNKNOWN) {
            formats.push_back(static_cast<unsigned int>(format));
        }
        if (to == std::string::npos) {
            break;
        }
        from = to + 1;
    }
    return formats;
}

} // namespace

extern "C" {

SND_PCM_PLUGIN_DEFINE_FUNC(tolvtest)
{
    (void)root;
    std::string formatNames = "S16_LE,S32_LE,FLOAT_LE";
    long rate = 0;
    long minPeriodBytes = 32;
    long refuseBelow = 0;
    snd_config_iterator_t i;
    snd_config_iterator_t next;
    snd_config_for_each(i, next, conf)
    {
        snd_config_t* entry = snd_config_iterator_entry(i);
        const char* id = nullptr;
        if (snd_config_get_id(entry, &id) < 0) {
            continue;
        }
        const std::string key = id;
        if (key == "comment" || key == "type" || key == "hint") {
            continue;
        }
        const char* text = nullptr;
        if (key == "formats" && snd_config_get_string(entry, &text) >= 0) {
            formatNames = text;
        } else if (key == "rate" && snd_config_get_integer(entry, &rate) >= 0) {
        } else if (key == "min_period_bytes" && snd_config_get_integer(entry, &minPeriodBytes) >= 0) {
        } else if (key == "refuse_period_below" && snd_config_get_integer(entry, &refuseBelow) >= 0) {
        } else {
            SNDERR("tolvtest: unknown or malformed field %s", id);
            return -EINVAL;
        }
    }
    if (stream != SND_PCM_STREAM_PLAYBACK) {
        return -EINVAL;
    }
    const std::vector<unsigned int> formats = Formats(formatNames);
    if (formats.empty()) {
        SNDERR("tolvtest: no known format in %s", formatNames.c_str());
        return -EINVAL;
    }

    auto* pcm = new TestPcm;
    pcm->refuseBelow = refuseBelow;
    pcm->fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    pcm->io.version = SND_PCM_IOPLUG_VERSION;
    pcm->io.name = "tolv test device";
    pcm->io.callback = &callbacks;
    pcm->io.private_data = pcm;
    pcm->io.poll_fd = pcm->fd;
    pcm->io.poll_events = POLLOUT;
    pcm->io.mmap_rw = 0;
    int r = snd_pcm_ioplug_create(&pcm->io, name, stream, mode);
    if (r < 0) {
        close(pcm->fd);
        delete pcm;
        return r;
    }
    // Like a card, it can be mapped, which libasound's converters need.
    const unsigned int access[] = {SND_PCM_ACCESS_RW_INTERLEAVED, SND_PCM_ACCESS_MMAP_INTERLEAVED};
    r = snd_pcm_ioplug_set_param_list(&pcm->io, SND_PCM_IOPLUG_HW_ACCESS, 2, access);
    if (r >= 0) {
        r = snd_pcm_ioplug_set_param_list(&pcm->io, SND_PCM_IOPLUG_HW_FORMAT, static_cast<unsigned int>(formats.size()),
                                          formats.data());
    }
    if (r >= 0) {
        r = snd_pcm_ioplug_set_param_minmax(&pcm->io, SND_PCM_IOPLUG_HW_CHANNELS, 1, 8);
    }
    if (r >= 0) {
        const auto low = static_cast<unsigned int>(rate > 0 ? rate : 8000);
        const auto high = static_cast<unsigned int>(rate > 0 ? rate : 192000);
        r = snd_pcm_ioplug_set_param_minmax(&pcm->io, SND_PCM_IOPLUG_HW_RATE, low, high);
    }
    if (r >= 0) {
        r = snd_pcm_ioplug_set_param_minmax(&pcm->io, SND_PCM_IOPLUG_HW_PERIOD_BYTES,
                                            static_cast<unsigned int>(minPeriodBytes), 1U << 22);
    }
    if (r >= 0) {
        r = snd_pcm_ioplug_set_param_minmax(&pcm->io, SND_PCM_IOPLUG_HW_PERIODS, 2, 64);
    }
    if (r >= 0) {
        r = snd_pcm_ioplug_set_param_minmax(&pcm->io, SND_PCM_IOPLUG_HW_BUFFER_BYTES,
                                            2 * static_cast<unsigned int>(minPeriodBytes), 1U << 24);
    }
    if (r < 0) {
        snd_pcm_ioplug_delete(&pcm->io);
        return r;
    }
    *pcmp = pcm->io.pcm;
    return 0;
}

SND_PCM_PLUGIN_SYMBOL(tolvtest);
}
