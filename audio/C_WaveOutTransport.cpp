// The transport of the waveOut player: start with its delay, pause, stop with
// its mute tail, the points and the position.
#include "audio/C_WaveOut.h"

#include "audio/WaveDeviceList.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Waits.h"
#include "platform/audio/AudioSystem.h"
#include "platform/base/Clock.h"
#include "platform/base/Hooks.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <limits>

namespace {

std::int32_t ToLong(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace

std::int64_t C_WaveOut::MsToFrames(std::int64_t ms) const
{
    return numeric::RoundToInt64(static_cast<double>(c_Wave.SampleRate) / 1000.0 * static_cast<double>(ms));
}

std::int32_t C_WaveOut::FramesToMs(std::int64_t frames) const
{
    if (c_Wave.SampleRate <= 0) {
        return 0;
    }
    return ToLong(numeric::RoundToInt64(static_cast<double>(frames) / c_Wave.SampleRate * 1000.0));
}

void C_WaveOut::OpenDeviceAhead()
{
    platform::audio::AudioSystem::Current().OpenAhead(c_DeviceID[0]);
    // The voices of a sound that plays read its pages where they lie: growing
    // the buffers now would free what they read. The sound plays on as it is,
    // and the buffers are made ready once it has stopped.
    if (SoundQueued()) {
        readyAheadPending_ = true;
        return;
    }
    PrepareBuffersAhead();
}

bool C_WaveOut::SoundQueued() const
{
    return c_Playing || c_Paused || c_Restarting || WhileMute_ != 0;
}

bool C_WaveOut::OpenDevices()
{
    platform::audio::AudioSystem& system = platform::audio::AudioSystem::Current();
    for (int d = 0; d <= c_LastDevice; ++d) {
        const auto i = static_cast<std::size_t>(d);
        c_hWave[i].reset();
        platform::audio::AudioError error = platform::audio::AudioError::None;
        c_hWave[i] = system.OpenVoice(c_DeviceID[i], c_OutFormat.Stream(), &error);
        if (!c_hWave[i] || error != platform::audio::AudioError::None) {
            c_hWave[i].reset();
            // A device lost while open was reported when it failed: the start
            // fails with a log line, never a box the operator must close.
            const int logOnly = error == platform::audio::AudioError::DeviceLost ? 1 : 0;
            WaveMMIO::CheckWaveError(static_cast<std::int32_t>(error), 1, logOnly);
            return false;
        }
        c_OpenedDeviceID[i] = c_DeviceID[i];
        if (c_hWave[i]->Handle() == HaitahWave_) {
            // Never kept, even with NoClose: the next start must get another.
            c_hWave[i].reset();
            return false;
        }
        const float volume = UseMixer_ != 0 ? mixerVolume_ : 1.0f;
        c_hWave[i]->SetVolume(volume, volume);
    }
    return true;
}

std::int32_t C_WaveOut::FailPlay()
{
    // Nothing of a failed start may go on sounding or stay queued.
    for (auto& voice : c_hWave) {
        if (voice) {
            voice->Reset();
        }
    }
    for (int d = 0; d <= c_LastDevice; ++d) {
        for (int p = 0; p < pageCount_; ++p) {
            PageHeader(d, p).Clear();
        }
    }
    std::fill(c_PageState.begin(), c_PageState.end(), 0);
    std::fill(c_PageStamp.begin(), c_PageStamp.end(), -1);
    if (NoClose_ == 0) {
        CloseDevices();
    }
    c_Restarting = false;
    c_Busy = false;
    return 0;
}

std::int32_t C_WaveOut::Play()
{
    if (c_Playing) {
        c_Restarting = true;
        StopIO(1);
    }
    c_Busy = true;
    ++playRun_;
    if (!loaded_ || pageCount_ < 2 || c_PageBuffer.empty()) {
        c_Restarting = false;
        c_Busy = false;
        return 0;
    }
    for (int d = 0; d <= c_LastDevice; ++d) {
        const auto i = static_cast<std::size_t>(d);
        const bool lost = c_hWave[i] && c_hWave[i]->Device().Lost();
        if ((c_DeviceID[i] != c_OpenedDeviceID[i] || lost) && c_hWave[i]) {
            c_hWave[i].reset();
            c_hWave[0].reset();
        }
    }
    if (!(c_hWave[0] && NoClose_ != 0)) {
        if (!OpenDevices()) {
            return FailPlay();
        }
    }
    // A pause left over from before never holds the new sound.
    c_Paused = false;
    for (int d = 0; d <= c_LastDevice; ++d) {
        if (auto& voice = c_hWave[static_cast<std::size_t>(d)]) {
            voice->Restart();
        }
    }

    c_PlayStartFrame = c_PlayFrom;
    c_ReadFrame = c_PlayFrom;
    c_PlayingPage = 0;
    c_LastFilledPage = 0;
    c_NextStamp = 0;
    dataEnded_ = false;
    for (int d = 0; d <= c_LastDevice; ++d) {
        for (int p = 0; p < pageCount_; ++p) {
            PageHeader(d, p).Clear();
        }
    }
    std::fill(c_PageState.begin(), c_PageState.end(), 0);
    std::fill(c_PageStamp.begin(), c_PageStamp.end(), -1);

    delayFrames_ = 0;
    if (DelayMS_ > 0 && !c_Silence.empty()) {
        const auto block = static_cast<std::int64_t>(c_OutFormat.BlockAlign);
        const std::int64_t fits = static_cast<std::int64_t>(c_Silence.size()) / block;
        std::int64_t frames = MsToFrames(DelayMS_);
        if (frames > fits) {
            basic::WriteLog(
                "C_WaveOut DelayMS too long, limited to " + std::to_string(FramesToMs(fits)) + " " + fileName_, 1, 0);
            frames = fits;
        }
        delayFrames_ = frames;
        for (int d = 0; d <= c_LastDevice; ++d) {
            auto& header = c_DelayHeaders[static_cast<std::size_t>(d)];
            header.Clear();
            header.data = std::span<const std::uint8_t>(c_Silence).first(static_cast<std::size_t>(frames * block));
        }
        for (int d = 0; d <= c_LastDevice; ++d) {
            const auto result =
                c_hWave[static_cast<std::size_t>(d)]->Write(c_DelayHeaders[static_cast<std::size_t>(d)]);
            if (result != platform::audio::AudioError::None) {
                LogFailure("waveOutWrite (Start mute) Failed r=", static_cast<int>(result));
            }
        }
    }

    const int toPlay = std::clamp(NumBufferToPlay_, 2, pageCount_);
    const bool direct = toPlay <= 2;
    for (int page = 0; page < toPlay; ++page) {
        if (!AddPlayBuffer(page, c_ReadFrame, direct, false)) {
            basic::WriteLog("C_WaveOut AddPlayBuffer(Start) Failed " + fileName_, 1, 0);
            basic::CloseFileHandle(c_FileHnd);
            return FailPlay();
        }
        c_LastFilledPage = page;
        c_ReadFrame += c_PageFrames;
        if (dataEnded_) {
            break;
        }
        if (c_ReadFrame >= c_PlayEnd) {
            if (LoopOn_ == 0 || StbyPoint_ >= c_PlayEnd) {
                break;
            }
            c_ReadFrame = StbyPoint_;
        }
    }
    for (int page = 0; page <= c_LastFilledPage; ++page) {
        const platform::audio::AudioError refused = QueuePage(page, "waveOutWrite (Start1) Failed r=");
        if (refused != platform::audio::AudioError::None) {
            // Passed over, the page's piece of the sound would be missing
            // without a word: the sound does not start, and says why.
            basic::WriteLog("C_WaveOut sound not started, a page was not taken (" +
                                std::string(platform::audio::ErrorText(refused)) + ") " + fileName_,
                            1, 0);
            basic::CloseFileHandle(c_FileHnd);
            return FailPlay();
        }
    }
    c_Playing = true;
    c_Restarting = false;
    c_Busy = false;
    return 1;
}

void C_WaveOut::Pause()
{
    if (c_Busy) {
        return;
    }
    for (int d = 0; d <= c_LastDevice; ++d) {
        if (auto& voice = c_hWave[static_cast<std::size_t>(d)]) {
            if (c_Paused) {
                voice->Restart();
            } else {
                voice->Pause();
            }
        }
    }
    c_Paused = !c_Paused;
}

void C_WaveOut::RunMuteTail()
{
    bool muting = false;
    for (int d = 0; d <= c_LastDevice; ++d) {
        auto& voice = c_hWave[static_cast<std::size_t>(d)];
        if (!voice) {
            continue;
        }
        voice->Reset();
        // Silence on every second page keeps the device running to the end.
        for (int p = 0; p < pageCount_; p += 2) {
            const std::span<std::uint8_t> buffer = DeviceBuffer(d, p);
            if (buffer.empty()) {
                continue;
            }
            std::fill(buffer.begin(), buffer.end(), silenceByte_);
            auto& header = PageHeader(d, p);
            header.Clear();
            header.data = buffer;
            const auto result = voice->Write(header);
            if (result != platform::audio::AudioError::None) {
                LogFailure("waveOutWrite (mute) Failed r=", static_cast<int>(result));
            }
        }
        muting = true;
    }
    if (!muting) {
        return;
    }
    WhileMute_ = 1;
    CancelMute_ = 0;
    c_MuteTick = 0;
    const double start = platform::Timer();
    for (int turn = 1; turn <= MuteMS_; ++turn) {
        // One millisecond, with window events dispatched and the players fed.
        platform::Pump();
        platform::RefillIfDue();
        platform::CurrentClock().Sleep(1);
        if (++c_MuteTick >= 10) {
            c_MuteTick = 0;
            if (MutingProc) {
                MutingProc();
            }
        }
        if (CancelMute_ == 1) {
            CancelMute_ = 0;
            break;
        }
        if (basic::ElapsedSince(start, 0) * 1000.0 > MuteMS_) {
            break;
        }
    }
    WhileMute_ = 0;
}

void C_WaveOut::StopIO(std::int32_t immediate)
{
    c_Busy = true;
    ++playRun_;
    basic::CloseFileHandle(c_FileHnd);
    // Only a sound that plays has a tail to fade into; a stopped player stops at once.
    if (LengthFrames() >= 1 && immediate == 0 && MuteMS_ > 0 && c_Playing) {
        RunMuteTail();
    }
    for (int d = 0; d <= c_LastDevice; ++d) {
        if (auto& voice = c_hWave[static_cast<std::size_t>(d)]) {
            voice->Reset();
        }
        for (int p = 0; c_PageHeaders[static_cast<std::size_t>(d)] && p < pageCount_; ++p) {
            PageHeader(d, p).Clear();
        }
        c_DelayHeaders[static_cast<std::size_t>(d)].Clear();
    }
    std::fill(c_PageState.begin(), c_PageState.end(), 0);
    std::fill(c_PageStamp.begin(), c_PageStamp.end(), -1);
    std::fill(c_PageMeters.begin(), c_PageMeters.end(), WaveOutPage::Meters{});
    if (NoClose_ == 0) {
        CloseDevices();
    }
    c_Paused = false;
    c_Playing = false;
    // Nothing is queued now; a restart plays at once and readies after it.
    if (readyAheadPending_ && !c_Restarting) {
        readyAheadPending_ = false;
        PrepareBuffersAhead();
    }
    c_Busy = false;
}

std::int32_t C_WaveOut::Position(std::int32_t kind)
{
    if (!loaded_ || kind < 0 || kind > 3) {
        return 0;
    }
    const std::int64_t length = LengthFrames();
    if (!c_Playing) {
        if (!c_Restarting) {
            return 0;
        }
        const std::int64_t at = c_PlayFrom;
        const std::int64_t values[] = {at, length - at, c_PlayEnd - at, c_FromSample + at};
        return FramesToMs(values[kind]);
    }
    if (WhileMute_ != 0) {
        const std::int64_t values[] = {length, 0, c_PlayEnd, c_FromSample};
        return FramesToMs(values[kind]);
    }
    const auto played = static_cast<std::int64_t>(c_hWave[0] ? c_hWave[0]->Position() : 0);
    // The start delay is silence ahead of the sound, not part of it.
    std::int64_t p = c_PlayStartFrame + std::max<std::int64_t>(0, played - delayFrames_);
    const std::int64_t loop = c_PlayEnd - StbyPoint_;
    if (LoopOn_ != 0 && loop > 0 && p > c_PlayEnd) {
        p -= (p - c_PlayEnd + loop - 1) / loop * loop;
    }
    const std::int64_t values[] = {p, length - p, c_PlayEnd - p, c_FromSample + p};
    return FramesToMs(values[kind]);
}

bool C_WaveOut::EveryDeviceLost() const
{
    bool any = false;
    for (int d = 0; d <= c_LastDevice; ++d) {
        const auto& voice = c_hWave[static_cast<std::size_t>(d)];
        if (voice && !voice->Device().Lost()) {
            return false;
        }
        any = any || voice != nullptr;
    }
    return any;
}

std::int32_t C_WaveOut::mode()
{
    // Nothing sounds any more: the lamps and the tally must not say otherwise.
    if ((c_Playing || c_Paused) && !c_Restarting && EveryDeviceLost()) {
        return 1;
    }
    if (c_Paused) {
        return 2;
    }
    return c_Playing || c_Restarting ? 3 : 1;
}

std::int32_t C_WaveOut::FromMS()
{
    return FramesToMs(c_FromSample);
}

void C_WaveOut::SetFromMS(std::int32_t ms)
{
    if (c_Busy) {
        return;
    }
    // Not limited above: a start past the end makes Play refuse. A start
    // before the data would play the header as sound.
    c_PlayFrom = std::max<std::int64_t>(0, MsToFrames(ms));
    c_FromSample = c_PlayFrom;
}

std::int32_t C_WaveOut::ToMS()
{
    return FramesToMs(c_PlayEnd);
}

void C_WaveOut::SetToMS(std::int32_t ms)
{
    if (c_Busy) {
        return;
    }
    SetToSample(ToLong(MsToFrames(ms)));
    c_PlayEnd = std::min(c_PlayEnd, LengthFrames());
}

std::int32_t C_WaveOut::FromSample()
{
    return ToLong(c_FromSample);
}

void C_WaveOut::SetFromSample(std::int32_t frame)
{
    if (c_Busy) {
        return;
    }
    c_PlayFrom = std::clamp<std::int64_t>(frame, 0, LengthFrames());
    c_FromSample = c_PlayFrom;
}

std::int32_t C_WaveOut::ToSample()
{
    return ToLong(c_PlayEnd);
}

void C_WaveOut::SetToSample(std::int32_t frame)
{
    if (c_Busy) {
        return;
    }
    const std::int64_t length = LengthFrames();
    c_PlayEnd = frame <= 0 || frame > length ? length : frame;
}

void C_WaveOut::SetStbyPoint(std::int32_t frame)
{
    if (c_Busy) {
        return;
    }
    StbyPoint_ = ToLong(std::clamp<std::int64_t>(frame, 0, LengthFrames()));
}

void C_WaveOut::SetLoopOn(std::int32_t on)
{
    if (c_Busy) {
        return;
    }
    LoopOn_ = on;
}
