// The page cycle of the waveOut player: the poll, the refill of the pages the
// devices have finished, and the reading and conversion of one page.
#include "audio/C_WaveOut.h"

#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "platform/audio/AudioSystem.h"

#include <algorithm>

namespace {

// Marks a poll as running for as long as it lives.
class RefillScope {
public:
    explicit RefillScope(bool& running) : running_(running) { running_ = true; }
    ~RefillScope() { running_ = false; }
    RefillScope(const RefillScope&) = delete;
    RefillScope& operator=(const RefillScope&) = delete;

private:
    bool& running_;
};

} // namespace

std::int32_t C_WaveOut::ProgressionPlay()
{
    platform::audio::AudioSystem::CheckLostDevicesOfInstalled();
    // A page read from a share waits on the I/O thread, and that wait feeds
    // the players: the poll that reads must not run again inside itself, or
    // both would fill the page being read.
    if (!c_Playing || c_Busy || refilling_) {
        return 0;
    }
    const RefillScope refill(refilling_);
    SyncDevices();
    if (EveryDeviceLost()) {
        // Each device logged its loss; a sound spread over several devices
        // plays on while any of them works.
        StopIO(1);
        return 0;
    }
    const std::int32_t result = RefillDonePages();
    if (result == -5) {
        StopIO(1);
        c_PlayStartFrame = 0;
        c_ReadFrame = 0;
        c_PlayFrom = 0;
        return 0;
    }
    if (result == -4 && WhileMute_ == 0) {
        StopIO(0);
        c_PlayStartFrame = 0;
        c_ReadFrame = 0;
        c_PlayFrom = 0;
    }
    return 0;
}

void C_WaveOut::SyncDevices()
{
    // Devices on virtual time mix what is due now, so the done flags read
    // below are those of the present moment.
    for (const auto& voice : c_hWave) {
        if (voice) {
            voice->Sync();
        }
    }
}

int C_WaveOut::DevicesDone(int page)
{
    int done = 0;
    for (int d = 0; d <= c_LastDevice; ++d) {
        // A page that a device refused to queue counts as played there.
        if (!PageHeader(d, page).Queued()) {
            ++done;
        }
    }
    return done;
}

std::int32_t C_WaveOut::RefillDonePages()
{
    if (pageCount_ < 2 || !c_PageHeaders[0]) {
        return -4;
    }
    // The page being heard: the oldest one device 0 has not finished.
    int heard = -1;
    for (int p = 0; p < pageCount_; ++p) {
        const std::int64_t stamp = c_PageStamp[static_cast<std::size_t>(p)];
        if (PageHeader(0, p).Queued() && stamp != -1 && stamp < c_NextStamp &&
            (heard < 0 || stamp < c_PageStamp[static_cast<std::size_t>(heard)])) {
            heard = p;
        }
    }
    if (heard >= 0) {
        c_PlayingPage = heard;
    }

    bool endReached = false;
    bool stillQueued = false;
    int refills = 0;
    int lastRecorded = -1;
    int p = c_LastFilledPage;
    for (int n = 0; n < pageCount_; ++n) {
        p = (p + 1) % pageCount_;
        const auto index = static_cast<std::size_t>(p);
        if (c_PageState[index] == PageFilling) {
            continue;
        }
        if (c_PageState[index] != PageFree && DevicesDone(p) < c_LastDevice + 1) {
            stillQueued = stillQueued || c_PageState[index] == PageQueued;
            continue;
        }
        c_PageState[index] = PageFree;
        c_PageStamp[index] = -1;
        if (dataEnded_) {
            endReached = true;
            continue;
        }
        if (c_ReadFrame >= c_PlayEnd) {
            // A loop needs room between its return point and the end point.
            if (LoopOn_ == 0 || StbyPoint_ >= c_PlayEnd) {
                endReached = true;
                continue;
            }
            c_ReadFrame = StbyPoint_;
        }
        const std::uint64_t run = playRun_;
        const bool filled = AddPlayBuffer(p, c_ReadFrame, false, true);
        if (run != playRun_) {
            // Stopped or started afresh while the page was read: the pages
            // belong to that run now.
            return 0;
        }
        if (!filled) {
            // A page that could not be filled is never queued: it would replay
            // what it held before.
            basic::WriteLog("C_WaveOut AddPlayBuffer Failed", 1, 0);
            endReached = true;
            continue;
        }
        const platform::audio::AudioError refused = QueuePage(p, "waveOutWrite (ProgPlay) Failed r=");
        if (refused != platform::audio::AudioError::None) {
            // Going on would skip the page: the sound would lose a piece
            // without a word. It stops instead, and says why.
            basic::WriteLog("C_WaveOut sound stopped at " + std::to_string(FramesToMs(c_ReadFrame)) +
                                " ms, a page was not taken (" + std::string(platform::audio::ErrorText(refused)) +
                                ") " + fileName_,
                            1, 0);
            return -5;
        }
        c_ReadFrame += c_PageFrames;
        c_LastFilledPage = p;
        ++refills;
        if (refills >= c_RefillsPerPoll) {
            break;
        }
        lastRecorded = p;
    }
    if (refills > 0) {
        return lastRecorded >= 0 ? lastRecorded : c_LastFilledPage;
    }
    if (!endReached) {
        return -1;
    }
    return stillQueued ? -3 : -4;
}

platform::audio::AudioError C_WaveOut::QueuePage(int page, const char* failure)
{
    platform::audio::AudioError refused = platform::audio::AudioError::None;
    for (int d = 0; d <= c_LastDevice; ++d) {
        auto& voice = c_hWave[static_cast<std::size_t>(d)];
        if (!voice) {
            continue;
        }
        platform::audio::AudioError result = pageRefusal_ ? pageRefusal_(d, page) : platform::audio::AudioError::None;
        if (result == platform::audio::AudioError::None) {
            result = voice->Write(PageHeader(d, page));
        }
        if (result != platform::audio::AudioError::None) {
            LogFailure(failure, static_cast<int>(result));
            // A lost device is reported by its loss; the others play on.
            if (result != platform::audio::AudioError::DeviceLost && refused == platform::audio::AudioError::None) {
                refused = result;
            }
        }
    }
    return refused;
}

bool C_WaveOut::AddPlayBuffer(int page, std::int64_t fromFrame, bool direct, bool refill)
{
    if (!loaded_ || c_PageBuffer.empty()) {
        basic::WriteLog("C_WaveOut AddPlayBuffer error c_FileLoaded = 0&", 1, 0);
        return false;
    }
    const auto index = static_cast<std::size_t>(page);
    // Claimed before the read, which may wait and let other work run: no
    // other fill takes this page until it is queued or given up.
    c_PageState[index] = PageFilling;
    const std::uint64_t run = playRun_;
    c_PageMeters[index] = WaveOutPage::Meters{};
    const std::int64_t lenToRead = std::min<std::int64_t>(c_PageFrames, c_PlayEnd - fromFrame);
    if (lenToRead < 1) {
        basic::WriteLog("C_WaveOut AddPlayBuffer error LenToRead < 1& pl=" + std::to_string(page) +
                            " pFrom=" + std::to_string(fromFrame) + " c_PlayEnd=" + std::to_string(c_PlayEnd),
                        1, 0);
        c_PageState[index] = PageFree;
        return false;
    }
    const auto frames = static_cast<std::size_t>(lenToRead);
    const std::span<std::uint8_t> samples =
        PageSamples(page).first(frames * static_cast<std::size_t>(c_Wave.BlockAlign));
    const std::int64_t position = c_Wave.DataOffset + fromFrame * c_Wave.BlockAlign;
    const std::shared_ptr<std::vector<std::uint8_t>> landing = readLanding_;
    if (!landing || landing->size() < samples.size()) {
        c_PageState[index] = PageFree;
        return false;
    }
    const std::span<std::uint8_t> read = std::span<std::uint8_t>(*landing).first(samples.size());
    const ReadOutcome outcome = ReadPage(read, position, direct || NumDiskBufferPages_ <= 1, fromFrame);
    if (run != playRun_) {
        return false;
    }
    std::copy(read.begin(), read.end(), samples.begin());
    if (outcome == ReadOutcome::Failed) {
        if (!refill) {
            c_PageState[index] = PageFree;
            return false;
        }
        // Silence rather than the page's old samples.
        std::fill(samples.begin(), samples.end(), silenceByte_);
    }

    if (UsePeakVol_ != 0 || c_Wave.Channels > 2) {
        const WaveOutPage::Gains gains{c_ChannelGain[0], c_ChannelGain[1], c_AttGain};
        std::array<std::span<std::uint8_t>, MaxDevices> split{};
        std::span<const std::span<std::uint8_t>> devices;
        if (c_LastDevice > 0) {
            for (int d = 0; d <= c_LastDevice; ++d) {
                split[static_cast<std::size_t>(d)] = DeviceBuffer(d, page);
            }
            devices =
                std::span<const std::span<std::uint8_t>>(split.data(), static_cast<std::size_t>(c_LastDevice + 1));
        }
        WaveOutPage::Convert(c_Wave.FormatCode, samples, frames, gains, devices, c_PageMeters[index]);
    }

    const std::size_t outBytes = frames * static_cast<std::size_t>(c_OutFormat.BlockAlign);
    for (int d = 0; d <= c_LastDevice; ++d) {
        PageHeader(d, page).data = DeviceBuffer(d, page).first(outBytes);
    }
    c_PageState[index] = PageQueued;
    c_PageStamp[index] = c_NextStamp++;
    return true;
}

C_WaveOut::ReadOutcome C_WaveOut::ReadPage(std::span<std::uint8_t> destination, std::int64_t position, bool direct,
                                           std::int64_t fromFrame)
{
    std::size_t got = 0;
    // The read may wait and let a stop or a new start run meanwhile: what it
    // gives back (the handle, the end of the data) belongs to its run only.
    const std::uint64_t run = playRun_;
    const int before = c_FileHnd;
    int handle = before;
    const auto keepsRun = [&] {
        if (run == playRun_) {
            c_FileHnd = handle;
            return true;
        }
        if (handle != 0 && handle != before) {
            basic::CloseFileHandle(handle); // opened for the run that is over
        }
        return false;
    };
    if (direct) {
        std::int64_t bytesRead = 0;
        handle = basic::ReadFileAt(destination, position, handle, fileName_, 0, &bytesRead);
        if (!keepsRun()) {
            return ReadOutcome::Failed;
        }
        if (c_FileHnd == 0) {
            basic::WriteLog("C_WaveOut ReadFileToMemEx Failed " + fileName_ + "#" + std::to_string(fromFrame) + "#" +
                                basic::SystemErrorText(0),
                            1, 0);
            return ReadOutcome::Failed;
        }
        got = static_cast<std::size_t>(bytesRead);
    } else {
        const std::size_t reload = static_cast<std::size_t>(NumDiskBufferPages_) * pageBytes_;
        const DiskReadCache::Result result = c_DiskCache.Read(
            destination, position, c_Wave.DataOffset + c_Wave.DataSize, reload, handle, fileName_, got);
        if (!keepsRun()) {
            return ReadOutcome::Failed;
        }
        if (result == DiskReadCache::Result::Failed) {
            basic::WriteLog("C_WaveOut ReadBufferToMem Failed " + fileName_ + "#" + std::to_string(fromFrame), 1, 0);
            return ReadOutcome::Failed;
        }
    }
    if (got >= destination.size()) {
        return ReadOutcome::Read;
    }
    // The file is shorter than its header said (cut while playing): its
    // sound ends here, followed by silence, and no further page is read.
    std::fill(destination.begin() + static_cast<std::ptrdiff_t>(got), destination.end(), silenceByte_);
    if (!dataEnded_) {
        basic::WriteLog("C_WaveOut file ends before its data " + fileName_ + "#" +
                            std::to_string(fromFrame + static_cast<std::int64_t>(got) / c_Wave.BlockAlign),
                        1, 0);
    }
    dataEnded_ = true;
    return ReadOutcome::EndOfFile;
}
