// An ALSA playback device of the tests' own, loaded by libasound as the
// external PCM type "tolvtest" from a configuration the test writes:
//
//   pcm_type.tolvtest { lib "<path of this module>" }
//   pcm.x { type tolvtest formats "S16_LE" min_period_bytes 4096 refuse_period_below 0 }
//
// It takes every frame at once (no clock of its own, like the null PCM), or
// with "paced 1" at the real rate on the machine's monotonic clock, running
// dry (an underrun) when it is not fed in time, and waking its application
// once avail_min frames are free, then each period, as a card's interrupt; and it shapes what it accepts
// as a sound card does:
// - formats: the only sample formats it offers (default S16_LE, S32_LE, FLOAT_LE);
// - rate: the only rate it offers (default any of 8,000 .. 192,000 Hz);
// - min_period_bytes: the smallest period in bytes it offers (default 32);
// - refuse_period_below: a period below this is refused only when the set-up
//   is committed, as drivers do whose limits are not all advertised.
//
// A paced device records when a loud sound first reaches the speaker: after
// tolvtest_arm(), the first frame whose first channel reaches half of full
// scale (S16_LE, S32_LE or FLOAT_LE) is noted with the time it was handed to
// the device and the time it plays (the start plus its frame count at the
// rate), and with its frame in the stream since the last prepare (0: the
// first frame the device started with). One paced device at a time is watched.
//
// - fifo: frames the device takes from its buffer ahead of what it plays, as
//   a card's FIFO or USB transfers in flight (default 0): its position runs
//   that far ahead, its delay counts them, and frames written back there
//   after a rewind are too late to sound (tolvtest_late_frames counts them).
// - rewind: 0 for a device that says it takes frames back but has passed them
//   on already, as some sound servers' plugins do: what is written after a
//   rewind follows what was written before, and its delay still counts it.
//
// tolvtest_unplug(1) makes every device fail as an unplugged USB interface
// does (-ENODEV on its next transfer or prepare; it cannot be opened), until
// tolvtest_unplug(0).
//
// tolvtest_run_dry(n) makes the next n position queries of a running device
// (of any unpaced one) report that it ran dry (an underrun), as a card does
// when it is fed late.
//
// tolvtest_ran_dry_count() counts the times a paced device ran dry because it
// was not fed in time, over all devices, since the module was loaded.
//
// tolvtest_hold(1) holds the clock of every paced device still: it plays
// nothing, its position and delay stay where they are, and it cannot run dry
// however long its application is held up, for a test that drives the mixer
// itself and looks at what it queues. tolvtest_hold(0) lets the clock run on
// from where it stood. A held device never finishes draining: the clock is
// let go before a device is closed. The paced devices' times (their starts,
// the watch's) are on the monotonic clock less the time it was held.
#include <alsa/asoundlib.h>
#include <alsa/pcm_external.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct TestPcm {
    snd_pcm_ioplug_t io{};
    int fd = -1;
    bool paced = false;
    snd_pcm_uframes_t written = 0; // frames handed over since the last prepare
    std::int64_t startNs = 0;
    long refuseBelow = 0;
    snd_pcm_uframes_t availMin = 0; // the application's wake-up point (0: a period)
    snd_pcm_uframes_t fifo = 0;
    bool takesBack = true;
    bool dry = false; // ran dry since the last prepare
};

std::atomic<bool> armed{false};
std::atomic<int> dryRuns{0};
std::atomic<std::int64_t> loudHandedNs{-1};
std::atomic<std::int64_t> loudPlayedNs{-1};
std::atomic<long long> loudFrame{-1};
std::atomic<long long> lateFrames{0};
std::atomic<long long> ranDry{0};
std::atomic<bool> unplugged{false};
// The paced devices' clock: held still since heldAtNs (monotonic) while
// clockHeld, and behind the monotonic clock by all the time it was held.
std::mutex clockLock;
bool clockHeld = false;
std::int64_t heldAtNs = 0;
std::int64_t heldForNs = 0;
// The open devices, which an unplug marks disconnected as the kernel marks
// every stream of a card that went away. Never destroyed: a program may
// close its devices from its own exit handlers, after this module's ran.
std::mutex openLock;
std::vector<snd_pcm_ioplug_t*>& openDevices = *new std::vector<snd_pcm_ioplug_t*>;

std::int64_t NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The paced devices' clock (see tolvtest_hold).
std::int64_t DeviceNowNs()
{
    const std::lock_guard<std::mutex> lock(clockLock);
    return (clockHeld ? heldAtNs : NowNs()) - heldForNs;
}

TestPcm* Of(snd_pcm_ioplug_t* io)
{
    return static_cast<TestPcm*>(io->private_data);
}

void SetTimer(TestPcm* pcm, std::int64_t intervalNs)
{
    itimerspec timer{};
    timer.it_interval.tv_sec = static_cast<time_t>(intervalNs / 1'000'000'000);
    timer.it_interval.tv_nsec = static_cast<long>(intervalNs % 1'000'000'000);
    timer.it_value = timer.it_interval;
    timerfd_settime(pcm->fd, 0, &timer, nullptr);
}

// A card wakes its application only once the room it waits for is free: the
// next tick comes when the frames handed over have played down to the
// buffer less avail_min, then one each period.
void WakeAtRoom(snd_pcm_ioplug_t* io)
{
    TestPcm* pcm = Of(io);
    if (!pcm->paced || io->state != SND_PCM_STATE_RUNNING) {
        return;
    }
    const auto availMin = static_cast<std::int64_t>(pcm->availMin > 0 ? pcm->availMin : io->period_size);
    const std::int64_t frame =
        static_cast<std::int64_t>(pcm->written) - static_cast<std::int64_t>(io->buffer_size) + availMin;
    const std::int64_t intervalNs = static_cast<std::int64_t>(io->period_size) * 1'000'000'000 / io->rate;
    // The timer runs on the monotonic clock, the device on its own.
    const std::int64_t dueIn =
        pcm->startNs + frame * 1'000'000'000 / static_cast<std::int64_t>(io->rate) - DeviceNowNs();
    const std::int64_t due = NowNs() + std::max<std::int64_t>(dueIn, 1000);
    itimerspec timer{};
    timer.it_interval.tv_sec = static_cast<time_t>(intervalNs / 1'000'000'000);
    timer.it_interval.tv_nsec = static_cast<long>(intervalNs % 1'000'000'000);
    timer.it_value.tv_sec = static_cast<time_t>(due / 1'000'000'000);
    timer.it_value.tv_nsec = static_cast<long>(due % 1'000'000'000);
    timerfd_settime(pcm->fd, TFD_TIMER_ABSTIME, &timer, nullptr);
}

int SwParams(snd_pcm_ioplug_t* io, snd_pcm_sw_params_t* params)
{
    snd_pcm_uframes_t availMin = 0;
    if (snd_pcm_sw_params_get_avail_min(params, &availMin) >= 0) {
        Of(io)->availMin = availMin;
    }
    return 0;
}

int Start(snd_pcm_ioplug_t* io)
{
    TestPcm* pcm = Of(io);
    pcm->startNs = DeviceNowNs();
    if (pcm->paced) {
        SetTimer(pcm, static_cast<std::int64_t>(io->period_size) * 1'000'000'000 / io->rate);
    }
    return 0;
}

int Stop(snd_pcm_ioplug_t* io)
{
    TestPcm* pcm = Of(io);
    if (pcm->paced) {
        SetTimer(pcm, 0);
    }
    return 0;
}

int Prepare(snd_pcm_ioplug_t* io)
{
    if (unplugged.load(std::memory_order_acquire)) {
        return -ENODEV;
    }
    Stop(io);
    Of(io)->written = 0;
    Of(io)->dry = false;
    return 0;
}

// Frames a running paced device has played by now.
snd_pcm_uframes_t PlayedNow(snd_pcm_ioplug_t* io)
{
    const TestPcm* pcm = Of(io);
    return static_cast<snd_pcm_uframes_t>((DeviceNowNs() - pcm->startNs) * io->rate / 1'000'000'000);
}

// Frames a running paced device has taken from its buffer by now: what it
// played and its FIFO, as far as it was fed.
snd_pcm_uframes_t FetchedNow(snd_pcm_ioplug_t* io)
{
    const TestPcm* pcm = Of(io);
    return std::min(pcm->written, PlayedNow(io) + pcm->fifo);
}

snd_pcm_sframes_t Pointer(snd_pcm_ioplug_t* io)
{
    if (unplugged.load(std::memory_order_acquire)) {
        return -ENODEV; // the card's position is gone with it
    }
    TestPcm* pcm = Of(io);
    const bool running = io->state == SND_PCM_STATE_RUNNING || io->state == SND_PCM_STATE_DRAINING;
    // An unpaced device plays what it is given at once, so it never fills to
    // its start; it runs dry when told whatever its state.
    if (running || !pcm->paced) {
        int left = dryRuns.load(std::memory_order_acquire);
        while (left > 0 && !dryRuns.compare_exchange_weak(left, left - 1, std::memory_order_acq_rel)) {
        }
        if (left > 0) {
            return -EPIPE;
        }
    }
    if (!pcm->paced) {
        // Everything handed over has been played.
        return static_cast<snd_pcm_sframes_t>(pcm->written % io->buffer_size);
    }
    if (io->state != SND_PCM_STATE_RUNNING && io->state != SND_PCM_STATE_DRAINING) {
        return 0; // nothing plays before the start
    }
    if (PlayedNow(io) > pcm->written) {
        if (!pcm->dry) {
            pcm->dry = true;
            ranDry.fetch_add(1, std::memory_order_relaxed);
        }
        return -EPIPE; // ran dry
    }
    return static_cast<snd_pcm_sframes_t>(FetchedNow(io) % io->buffer_size);
}

int Delay(snd_pcm_ioplug_t* io, snd_pcm_sframes_t* delay)
{
    const TestPcm* pcm = Of(io);
    const bool running = io->state == SND_PCM_STATE_RUNNING || io->state == SND_PCM_STATE_DRAINING;
    // Frames taken back are gone from a device that takes them back.
    const snd_pcm_uframes_t queued = pcm->takesBack ? io->appl_ptr : pcm->written;
    if (!pcm->paced) {
        *delay = static_cast<snd_pcm_sframes_t>(std::min(pcm->fifo, queued));
    } else if (!running) {
        *delay = static_cast<snd_pcm_sframes_t>(queued);
    } else {
        const snd_pcm_uframes_t played = PlayedNow(io);
        *delay = played < queued ? static_cast<snd_pcm_sframes_t>(queued - played) : 0;
    }
    return 0;
}

// Half of full scale on the first channel.
bool Loud(snd_pcm_format_t format, const unsigned char* frame)
{
    switch (format) {
    case SND_PCM_FORMAT_S16_LE: {
        std::int16_t value = 0;
        std::memcpy(&value, frame, sizeof value);
        return std::abs(static_cast<int>(value)) >= 16384;
    }
    case SND_PCM_FORMAT_S32_LE: {
        std::int32_t value = 0;
        std::memcpy(&value, frame, sizeof value);
        return std::llabs(static_cast<long long>(value)) >= (1LL << 30);
    }
    case SND_PCM_FORMAT_FLOAT_LE: {
        float value = 0;
        std::memcpy(&value, frame, sizeof value);
        return std::fabs(value) >= 0.5f;
    }
    default:
        return false;
    }
}

snd_pcm_sframes_t Transfer(snd_pcm_ioplug_t* io, const snd_pcm_channel_area_t* areas, snd_pcm_uframes_t offset,
                           snd_pcm_uframes_t size)
{
    if (unplugged.load(std::memory_order_acquire)) {
        return -ENODEV;
    }
    TestPcm* pcm = Of(io);
    // The frames go where the application pointer is: after a rewind that is
    // before the end of what was written, and what follows is replaced.
    if (pcm->takesBack) {
        pcm->written = io->appl_ptr;
    }
    const bool running = io->state == SND_PCM_STATE_RUNNING || io->state == SND_PCM_STATE_DRAINING;
    // Frames written where the device has already taken its frames from never sound.
    const snd_pcm_uframes_t fetched = pcm->paced && running ? FetchedNow(io) : 0;
    if (fetched > pcm->written) {
        lateFrames.fetch_add(static_cast<long long>(std::min<snd_pcm_uframes_t>(fetched - pcm->written, size)),
                             std::memory_order_relaxed);
    }
    if (pcm->paced && armed.load(std::memory_order_acquire)) {
        const auto* base = static_cast<const unsigned char*>(areas[0].addr) + areas[0].first / 8;
        const std::size_t step = areas[0].step / 8;
        for (snd_pcm_uframes_t f = 0; f < size; ++f) {
            if (Loud(io->format, base + (offset + f) * step)) {
                // A frame handed over after the device took its place never
                // plays: the sound is heard from the first frame it takes.
                const std::int64_t frame = static_cast<std::int64_t>(std::max(pcm->written + f, fetched));
                // Before the start, the frame plays when the buffer starts.
                const std::int64_t now = DeviceNowNs();
                const std::int64_t start = running ? pcm->startNs : now;
                loudHandedNs.store(now, std::memory_order_relaxed);
                const std::int64_t due = start + frame * 1'000'000'000 / static_cast<std::int64_t>(io->rate);
                loudPlayedNs.store(std::max(due, now), std::memory_order_relaxed);
                loudFrame.store(frame, std::memory_order_relaxed);
                armed.store(false, std::memory_order_release);
                break;
            }
        }
    }
    pcm->written += size;
    WakeAtRoom(io);
    return static_cast<snd_pcm_sframes_t>(size);
}

int PollRevents(snd_pcm_ioplug_t* io, struct pollfd* fds, unsigned int count, unsigned short* revents)
{
    TestPcm* pcm = Of(io);
    if (pcm->paced) {
        std::uint64_t expirations = 0;
        const ssize_t got = read(pcm->fd, &expirations, sizeof expirations);
        (void)got;
        *revents = count > 0 && (fds[0].revents & POLLIN) != 0 ? POLLOUT : 0;
        return 0;
    }
    *revents = count > 0 ? fds[0].revents : 0;
    return 0;
}

int HwParams(snd_pcm_ioplug_t* io, snd_pcm_hw_params_t*)
{
    const TestPcm* pcm = Of(io);
    return static_cast<long>(io->period_size) < pcm->refuseBelow ? -EINVAL : 0;
}

int Close(snd_pcm_ioplug_t* io)
{
    {
        const std::lock_guard<std::mutex> lock(openLock);
        openDevices.erase(std::remove(openDevices.begin(), openDevices.end(), io), openDevices.end());
    }
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
    c.poll_revents = PollRevents;
    c.sw_params = SwParams;
    c.delay = Delay;
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
    long paced = 0;
    long fifo = 0;
    long rewind = 1;
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
        } else if (key == "paced" && snd_config_get_integer(entry, &paced) >= 0) {
        } else if (key == "fifo" && snd_config_get_integer(entry, &fifo) >= 0 && fifo >= 0) {
        } else if (key == "rewind" && snd_config_get_integer(entry, &rewind) >= 0) {
        } else {
            SNDERR("tolvtest: unknown or malformed field %s", id);
            return -EINVAL;
        }
    }
    if (stream != SND_PCM_STREAM_PLAYBACK) {
        return -EINVAL;
    }
    if (unplugged.load(std::memory_order_acquire)) {
        return -ENODEV;
    }
    const std::vector<unsigned int> formats = Formats(formatNames);
    if (formats.empty()) {
        SNDERR("tolvtest: no known format in %s", formatNames.c_str());
        return -EINVAL;
    }

    auto* pcm = new TestPcm;
    pcm->refuseBelow = refuseBelow;
    pcm->paced = paced != 0;
    pcm->fifo = static_cast<snd_pcm_uframes_t>(fifo);
    pcm->takesBack = rewind != 0;
    pcm->fd = pcm->paced ? timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)
                         : eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    pcm->io.version = SND_PCM_IOPLUG_VERSION;
    pcm->io.name = "tolv test device";
    pcm->io.callback = &callbacks;
    pcm->io.private_data = pcm;
    pcm->io.poll_fd = pcm->fd;
    pcm->io.poll_events = pcm->paced ? POLLIN : POLLOUT;
    pcm->io.mmap_rw = 0;
    int r = snd_pcm_ioplug_create(&pcm->io, name, stream, mode);
    if (r < 0) {
        close(pcm->fd);
        delete pcm;
        return r;
    }
    {
        const std::lock_guard<std::mutex> lock(openLock);
        openDevices.push_back(&pcm->io);
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

// The watch of a paced device (see the top of this file); times are of the
// monotonic clock in nanoseconds, -1 while no loud frame was seen since arming.
__attribute__((visibility("default"))) void tolvtest_arm()
{
    loudHandedNs.store(-1, std::memory_order_relaxed);
    loudPlayedNs.store(-1, std::memory_order_relaxed);
    loudFrame.store(-1, std::memory_order_relaxed);
    armed.store(true, std::memory_order_release);
}

__attribute__((visibility("default"))) void tolvtest_unplug(int gone)
{
    unplugged.store(gone != 0, std::memory_order_release);
    if (gone != 0) {
        const std::lock_guard<std::mutex> lock(openLock);
        for (snd_pcm_ioplug_t* io : openDevices) {
            snd_pcm_ioplug_set_state(io, SND_PCM_STATE_DISCONNECTED);
        }
    }
}

__attribute__((visibility("default"))) void tolvtest_hold(int held)
{
    const std::lock_guard<std::mutex> lock(clockLock);
    if (held != 0 && !clockHeld) {
        heldAtNs = NowNs();
    } else if (held == 0 && clockHeld) {
        heldForNs += NowNs() - heldAtNs;
    }
    clockHeld = held != 0;
}

__attribute__((visibility("default"))) void tolvtest_run_dry(int times)
{
    dryRuns.store(times, std::memory_order_release);
}

__attribute__((visibility("default"))) long long tolvtest_loud_handed_ns()
{
    return armed.load(std::memory_order_acquire) ? -1 : loudHandedNs.load(std::memory_order_relaxed);
}

__attribute__((visibility("default"))) long long tolvtest_loud_played_ns()
{
    return armed.load(std::memory_order_acquire) ? -1 : loudPlayedNs.load(std::memory_order_relaxed);
}

__attribute__((visibility("default"))) long long tolvtest_loud_frame()
{
    return armed.load(std::memory_order_acquire) ? -1 : loudFrame.load(std::memory_order_relaxed);
}

// Frames written back after the device had taken their place, since loaded.
__attribute__((visibility("default"))) long long tolvtest_late_frames()
{
    return lateFrames.load(std::memory_order_relaxed);
}

__attribute__((visibility("default"))) long long tolvtest_ran_dry_count()
{
    return ranDry.load(std::memory_order_relaxed);
}
}
