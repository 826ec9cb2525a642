#include "audio/DirectSoundPlayer.h"

#include "audio/WaveHeader.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/LoopingBuffer.h"
#include "platform/audio/OutputDevice.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

std::int32_t RoundToLong(double value)
{
    const std::int64_t rounded = numeric::RoundToInt64(value);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(rounded, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace

DirectSoundPlayer::DirectSoundPlayer(const Traits& traits) : traits_(traits) {}

DirectSoundPlayer::~DirectSoundPlayer()
{
    EndPlay();
}

std::shared_ptr<platform::audio::OutputDevice> DirectSoundPlayer::OpenOutput(std::string_view who, std::int32_t device,
                                                                             int output)
{
    if (output < 0) {
        basic::WriteLog(std::string(who) + ".InitDS: device " + std::to_string(device) +
                            " is not in the DirectSound device list; the default device is used",
                        0, 0);
        output = 0;
    }
    platform::audio::AudioSystem& system = platform::audio::AudioSystem::Current();
    platform::audio::AudioError error = platform::audio::AudioError::None;
    std::shared_ptr<platform::audio::OutputDevice> opened = system.Output(output, &error);
    if (!opened) {
        basic::WriteLog(std::string(who) + ".InitDS: DirectSoundCreate Failed r=" +
                            std::to_string(static_cast<int>(error)) + " " + system.OutputName(output),
                        1, 0);
    }
    return opened;
}

std::int32_t DirectSoundPlayer::InitDS(QWidget* hWnd, std::int32_t device)
{
    initDevice_ = device;
    device_ = OpenDevice(device);
    if (!device_ && traits_.initFailsWithoutDevice) {
        return 0;
    }
    hWnd_ = hWnd;
    playSpeed_ = 1.0f;
    return 1;
}

void DirectSoundPlayer::CloseWave()
{
    EndPlay();
    buffer_.reset();
    device_.reset();
    loaded_ = false;
    playing_ = false;
    // Back to the state before InitDS: the same file loads again afterwards.
    fileName_.clear();
    bufRate_ = 0;
    bufBits_ = 0;
    bufChannels_ = 0;
}

std::size_t DirectSoundPlayer::UnitBytes() const
{
    return static_cast<std::size_t>(UnitFrames()) * static_cast<std::size_t>(blockAlign_);
}

std::size_t DirectSoundPlayer::BufferBytes() const
{
    return static_cast<std::size_t>(bufferFrames_) * static_cast<std::size_t>(blockAlign_);
}

void DirectSoundPlayer::SetFileName(std::string_view name)
{
    // A failed load is tried again when the same name is written once more.
    if (name == fileName_ && loaded_ && StillLoaded(fileName_, loadedVersion_)) {
        return;
    }
    // The sound playing ends here, under its own name.
    EndPlay();
    fileName_ = std::string(name);
    loadedVersion_ = FileVersion::Of(fileName_);
    loaded_ = false;

    const WaveInfoRecord info = WaveMMIO::ReadWaveHeader(fileName_, 0);
    // The ring holds Segments seconds of the file's frames, sized in 64 bits
    // before anything is allocated.
    const std::int64_t ringBytes = std::int64_t{Segments} * info.SampleRate * info.BlockAlign;
    const bool playable = info.Valid == 1 && info.FormatTag == 1 && (info.Bits == 8 || info.Bits == 16) &&
                          (info.Channels == 1 || info.Channels == 2) && info.SampleRate >= platform::audio::MinRate &&
                          info.SampleRate <= platform::audio::MaxRate && ringBytes <= MaxRingBytes;
    if (!playable) {
        basic::WriteLog("DirectSound: not a PCM wave file of 8 or 16 bits with 1 or 2 channels: " + fileName_, 1, 0);
        return;
    }
    dataOffset_ = info.DataOffset;
    totalFrames_ = info.Frames;
    rate_ = info.SampleRate;
    bits_ = info.Bits;
    channels_ = info.Channels;
    blockAlign_ = static_cast<std::int16_t>(info.BlockAlign);
    toSample_ = totalFrames_;
    lengthMS_ = RoundToLong(static_cast<double>(totalFrames_) / rate_ * 1000.0);

    if (traits_.reuseBuffer && buffer_ && rate_ == bufRate_ && bits_ == bufBits_ && channels_ == bufChannels_) {
        loaded_ = true;
        return;
    }

    bufferFrames_ = Segments * rate_;
    blocks_ = std::max<std::int32_t>(1, RoundToLong(static_cast<double>(bufferFrames_) / MeterBlockFrames));
    peakL_.assign(static_cast<std::size_t>(blocks_), 0);
    peakR_.assign(static_cast<std::size_t>(blocks_), 0);
    rmsL_.assign(static_cast<std::size_t>(blocks_), 0);
    rmsR_.assign(static_cast<std::size_t>(blocks_), 0);
    SizeSampleArrays();

    loaded_ = CreateBuffer();
}

bool DirectSoundPlayer::CreateBuffer()
{
    buffer_.reset();
    bufRate_ = 0;
    platform::audio::AudioError error = platform::audio::AudioError::BadDevice;
    buffer_ = platform::audio::LoopingBuffer::Create(device_, platform::audio::StreamFormat{rate_, bits_, channels_},
                                                     BufferBytes(), &error);
    if (!buffer_) {
        basic::WriteLog("CreateSoundBuffer Failed r=" + std::to_string(static_cast<int>(error)) + " " + fileName_, 1,
                        0);
        return false;
    }
    // Play reads up to two units at once.
    landing_ = std::make_shared<std::vector<std::uint8_t>>(2 * UnitBytes());
    bufRate_ = rate_;
    bufBits_ = bits_;
    bufChannels_ = channels_;
    for (int k = 0; k < Segments; ++k) {
        segmentStart_[static_cast<std::size_t>(k)] = k * UnitFrames();
    }
    return true;
}

bool DirectSoundPlayer::DeviceLost() const
{
    return device_ && device_->Lost();
}

bool DirectSoundPlayer::ReopenLostDevice()
{
    if (!DeviceLost()) {
        return true;
    }
    // The buffer goes with the old device; the new one is filled by Play.
    std::shared_ptr<platform::audio::OutputDevice> device = OpenDevice(initDevice_);
    if (!device) {
        return false; // OpenDevice logged why
    }
    buffer_.reset();
    device_ = std::move(device);
    loaded_ = CreateBuffer();
    return loaded_;
}

std::int32_t DirectSoundPlayer::mode()
{
    // Nothing sounds on a lost device: the lamps and the tally must not say otherwise.
    return playing_ && !DeviceLost() ? 3 : 1;
}

void DirectSoundPlayer::ResetBuffer()
{
    if (buffer_) {
        buffer_->Stop();
    }
    readCursor_ = 0;
    if (traits_.resetForgetsPlayStart) {
        playStart_ = 0;
    }
}

void DirectSoundPlayer::Silence(std::size_t offset, std::size_t bytes)
{
    const std::span<std::uint8_t> memory = SampleMemory(offset, bytes);
    std::fill(memory.begin(), memory.end(), bits_ == 8 ? std::uint8_t{128} : std::uint8_t{0});
    Commit(offset, bytes);
}

DirectSoundPlayer::ReadOutcome DirectSoundPlayer::ReadFile(std::int64_t fromFrame, std::int64_t frames,
                                                           std::size_t offset, std::string_view who)
{
    const auto bytes = static_cast<std::size_t>(frames) * static_cast<std::size_t>(blockAlign_);
    if (bytes == 0) {
        return ReadOutcome::Read;
    }
    const std::shared_ptr<std::vector<std::uint8_t>> landing = landing_;
    if (!landing || landing->size() < bytes) {
        return ReadOutcome::Failed;
    }
    const std::span<std::uint8_t> read = std::span<std::uint8_t>(*landing).first(bytes);
    const std::uint64_t run = run_;
    const platform::audio::LoopingBuffer* const buffer = buffer_.get();
    const std::string name = fileName_;
    const bool outerReading = reading_;
    const std::uint64_t outerRun = readRun_;
    reading_ = true;
    readRun_ = run;
    std::int64_t got = 0;
    const int result = basic::ReadFileAt(read, dataOffset_ + fromFrame * blockAlign_, 0, name, 1, &got);
    reading_ = outerReading;
    readRun_ = outerRun;
    if (run != run_ || buffer != buffer_.get() || name != fileName_) {
        return ReadOutcome::Dropped;
    }
    // What the file no longer holds (cut short since it was loaded) is
    // silence, never the zero bytes that 8-bit data would turn into a thump.
    const auto kept =
        result == 0 ? std::size_t{0}
                    : static_cast<std::size_t>(std::clamp<std::int64_t>(got, 0, static_cast<std::int64_t>(bytes)));
    const std::span<std::uint8_t> memory = SampleMemory(offset, bytes);
    std::copy_n(read.begin(), std::min(kept, memory.size()), memory.begin());
    std::fill(memory.begin() + static_cast<std::ptrdiff_t>(std::min(kept, memory.size())), memory.end(),
              bits_ == 8 ? std::uint8_t{128} : std::uint8_t{0});
    if (result == 0) {
        basic::WriteLog("ReadFileAt (" + std::string(who) + ") Failed " + fileName_, 1, 0);
        return ReadOutcome::Failed;
    }
    return ReadOutcome::Read;
}

void DirectSoundPlayer::LimitToWritten()
{
    // Until the end of the sound is in the ring, more is to come.
    buffer_->LimitPlay(static_cast<std::uint64_t>(writtenFrames_), endSegment_ == -1);
}

void DirectSoundPlayer::EndPlay()
{
    if (!playing_) {
        return;
    }
    playing_ = false;
    if (!buffer_) {
        return;
    }
    // Stopped first, so that no silence is heard after the count is taken.
    buffer_->Stop();
    const std::int64_t shortMs = buffer_->ShortMs() - shortMsAtPlay_;
    if (shortMs > 0) {
        basic::WriteLog("DirectSound: \"" + fileName_ + "\" was not read in time: the sound went silent for " +
                            std::to_string(shortMs) + " ms",
                        0, 0);
    }
}

std::int32_t DirectSoundPlayer::Play()
{
    if (!loaded_ || !buffer_) {
        return 0;
    }
    // A sound started again ends the play before it, silences and all.
    EndPlay();
    if (!ReopenLostDevice()) {
        return 0;
    }
    ++run_;
    ResetBuffer();
    wrapCount_ = 0;
    playStart_ = fromSample_;
    readCursor_ = fromSample_;
    const std::int64_t remaining = static_cast<std::int64_t>(toSample_) - fromSample_;
    if (remaining <= 0) {
        StopIO();
        return 0;
    }
    const std::int64_t unit = UnitFrames();
    std::int64_t count = 0;
    if (remaining >= 2 * unit) {
        count = 2 * unit;
        writtenSegment_ = 1;
        endSegment_ = -1;
    } else {
        count = remaining;
        Silence(0, BufferBytes());
        if (remaining >= unit) {
            endSegment_ = 2;
            writtenSegment_ = 1;
        } else {
            endSegment_ = 1;
            writtenSegment_ = 0;
        }
    }
    // A file that cannot be read does not start as silence that looks like a sound.
    const ReadOutcome read = ReadFile(fromSample_, count, 0, "Play");
    if (read == ReadOutcome::Dropped) {
        return 0;
    }
    Commit(0, static_cast<std::size_t>(count) * static_cast<std::size_t>(blockAlign_));
    if (read != ReadOutcome::Read) {
        return 0;
    }
    readCursor_ = fromSample_ + count;
    writtenFrames_ = (writtenSegment_ + 1) * unit;
    LimitToWritten();
    shortMsAtPlay_ = buffer_->ShortMs();

    buffer_->SetCurrentPosition(0);
    buffer_->SetFrequency(RoundToLong(static_cast<double>(playSpeed_) * rate_));
    buffer_->SetVolume(attenuation_ > DefaultVolMinLevel ? attenuation_ : platform::audio::LoopingBuffer::VolumeMin);
    buffer_->SetPan(panValue_);
    playedSegment_ = traits_.firstPlayedSegment;
    buffer_->Play(true);

    FillSegment(0);
    if (endSegment_ != 1) {
        FillSegment(1);
    }
    positionMS_ = RoundToLong(static_cast<double>(playStart_) / rate_ * 1000.0);
    playing_ = true;
    return 1;
}

void DirectSoundPlayer::StopIO(std::int32_t)
{
    ++run_;
    if (playing_ && loaded_) {
        readCursor_ = 0;
    }
    EndPlay();
    fromSample_ = 0;
}

std::int32_t DirectSoundPlayer::ProgressionPlay()
{
    platform::audio::AudioSystem::CheckLostDevicesOfInstalled();
    if (!playing_ || !loaded_ || !buffer_) {
        return 0;
    }
    // A read of this sound waits on a share, and that wait feeds the players:
    // a poll inside it would refill the segment being read.
    if (reading_ && readRun_ == run_) {
        return 0;
    }
    if (DeviceLost()) {
        // The device logged its loss.
        StopIO();
        return 0;
    }
    const auto frame = static_cast<std::int64_t>(buffer_->PlayCursor() / static_cast<std::size_t>(blockAlign_));
    const int previous = playedSegment_;
    int segment = 0;
    for (int k = 0; k < Segments; ++k) {
        if (segmentStart_[static_cast<std::size_t>(k)] > frame) {
            break;
        }
        segment = k;
    }
    playedSegment_ = segment;
    if (playedSegment_ < previous) {
        ++wrapCount_;
    }
    const double played = static_cast<double>(wrapCount_ * bufferFrames_ + playStart_ + frame);
    positionMS_ = std::min(RoundToLong(played / rate_ * 1000.0), lengthMS_);

    const auto block = static_cast<std::size_t>(std::min<std::int64_t>(frame / MeterBlockFrames, blocks_ - 1));
    peak_ = {peakL_[block], peakR_[block]};
    rms_ = {rmsL_[block], rmsR_[block]};

    // The ring never plays past what was written, so the cursor waits at the
    // start of the segment after the last data until a poll sees it there.
    // A cursor right on that start, not held there, has just played the
    // last frame before it: stopped now, that frame would be faded out as a
    // cut; stopped once a frame after it has played, the sound ends on it.
    if (playedSegment_ == endSegment_) {
        const bool held = wrapCount_ * bufferFrames_ + frame >= writtenFrames_;
        if (held || frame > segmentStart_[static_cast<std::size_t>(endSegment_)]) {
            StopIO();
        }
        return 0;
    }
    if (playedSegment_ == previous) {
        return 0;
    }
    WriteNextSegment();
    return 0;
}

void DirectSoundPlayer::WriteNextSegment()
{
    writtenSegment_ = (writtenSegment_ + 1) % Segments;
    const std::int64_t unit = UnitFrames();
    const std::int64_t left = static_cast<std::int64_t>(toSample_) - readCursor_;
    if (left < 0) {
        return;
    }
    const std::size_t offset =
        static_cast<std::size_t>(segmentStart_[static_cast<std::size_t>(writtenSegment_)]) * blockAlign_;
    std::int64_t count = unit;
    if (left <= unit) {
        count = left;
        if (endSegment_ == -1) {
            endSegment_ = (writtenSegment_ + 1) % Segments;
            Silence(offset, UnitBytes());
            Silence(static_cast<std::size_t>(segmentStart_[static_cast<std::size_t>(endSegment_)]) * blockAlign_,
                    UnitBytes());
        }
    }
    if (ReadFile(readCursor_, count, offset, "ProgressionPlay") == ReadOutcome::Dropped) {
        return;
    }
    readCursor_ += unit;
    Commit(offset, UnitBytes());
    FillSegment(writtenSegment_);
    writtenFrames_ += unit;
    LimitToWritten();
}

std::int32_t DirectSoundPlayer::Position(std::int32_t kind)
{
    if (!playing_ || !loaded_) {
        return 0;
    }
    switch (kind) {
    case 0:
        return positionMS_;
    case 1:
        return RoundToLong(static_cast<double>(totalFrames_) / rate_ * 1000.0 - positionMS_);
    case 2:
        return RoundToLong(static_cast<double>(toSample_) / rate_ * 1000.0 - positionMS_);
    default:
        return 0;
    }
}

std::int32_t DirectSoundPlayer::ClampFrame(std::int64_t frame) const
{
    // A negative point would read the header as sound, one past the data the
    // chunks that follow it.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(frame, 0, totalFrames_));
}

std::int32_t DirectSoundPlayer::FramesFromMS(std::int32_t ms) const
{
    return RoundToLong(static_cast<double>(ms) / 1000.0 * rate_);
}

void DirectSoundPlayer::SetFromMS(std::int32_t ms)
{
    fromSample_ = ClampFrame(FramesFromMS(ms));
}

void DirectSoundPlayer::SetToMS(std::int32_t ms)
{
    toSample_ = ClampFrame(FramesFromMS(ms));
}

void DirectSoundPlayer::SetFromSample(std::int32_t frame)
{
    fromSample_ = ClampFrame(frame);
}

void DirectSoundPlayer::SetToSample(std::int32_t frame)
{
    toSample_ = ClampFrame(frame);
}

std::int32_t DirectSoundPlayer::VolumeLaw(std::int32_t attenuation, std::int32_t volMinLevel)
{
    if (attenuation <= volMinLevel) {
        return platform::audio::LoopingBuffer::VolumeMin;
    }
    if (volMinLevel >= 0) {
        return platform::audio::LoopingBuffer::VolumeMax;
    }
    const double volume = static_cast<double>(attenuation) * attenuation / volMinLevel;
    return std::clamp(RoundToLong(volume), platform::audio::LoopingBuffer::VolumeMin,
                      platform::audio::LoopingBuffer::VolumeMax);
}

std::int32_t DirectSoundPlayer::Attenuation()
{
    if (traits_.readsVolumeBack && playing_ && buffer_) {
        attenuation_ = buffer_->Volume();
    }
    return attenuation_;
}

void DirectSoundPlayer::SetAttenuation(std::int32_t level)
{
    attenuation_ = level;
    if (playing_ && buffer_) {
        buffer_->SetVolume(VolumeLaw(level, volMinLevel_));
    }
}

std::int32_t DirectSoundPlayer::PanValue()
{
    if (playing_ && buffer_) {
        panValue_ = buffer_->Pan();
    }
    return panValue_;
}

void DirectSoundPlayer::SetPanValue(std::int32_t pan)
{
    if (playing_ && buffer_) {
        buffer_->SetPan(pan);
    }
    panValue_ = pan;
}

void DirectSoundPlayer::SetPlaySpeed(float speed)
{
    playSpeed_ = speed;
    if (playing_ && buffer_) {
        buffer_->SetFrequency(RoundToLong(static_cast<double>(speed) * rate_));
    }
}

std::int32_t DirectSoundPlayer::PlayFreq()
{
    const bool answers = traits_.playFreqWhileLoaded ? loaded_ : playing_;
    return answers && buffer_ ? buffer_->Frequency() : 0;
}

void DirectSoundPlayer::SetPlayFreq(std::int32_t hz)
{
    const bool answers = traits_.playFreqWhileLoaded ? loaded_ : playing_;
    if (answers && buffer_) {
        buffer_->SetFrequency(hz);
    }
}

std::int32_t DirectSoundPlayer::Peak(std::int32_t ch)
{
    return ch == 0 || ch == 1 ? peak_[static_cast<std::size_t>(ch)] : 0;
}

std::int32_t DirectSoundPlayer::RMS(std::int32_t ch)
{
    return ch == 0 || ch == 1 ? rms_[static_cast<std::size_t>(ch)] : 0;
}

void DirectSoundPlayer::StoreBlock(int block, const std::array<std::int32_t, 2>& peak,
                                   const std::array<std::int64_t, 2>& sum, std::int64_t count)
{
    // Both scales end at 128: 16-bit values are divided by 255.
    const double scale = bits_ == 16 ? 255.0 : 1.0;
    const auto level = [&](int ch) {
        return RoundToLong(std::sqrt(static_cast<double>(sum[static_cast<std::size_t>(ch)]) / count) / scale);
    };
    const auto b = static_cast<std::size_t>(block);
    peakL_[b] = RoundToLong(peak[0] / scale);
    rmsL_[b] = level(0);
    if (channels_ == 2) {
        peakR_[b] = RoundToLong(peak[1] / scale);
        rmsR_[b] = level(1);
    } else {
        peakR_[b] = peakL_[b];
        rmsR_[b] = rmsL_[b];
    }
}

void DirectSoundPlayer::FillSegment(int segment)
{
    const std::int64_t unit = UnitFrames();
    const std::int64_t first = segmentStart_[static_cast<std::size_t>(segment)];
    const std::span<const std::uint8_t> bytes =
        MeterSamples(static_cast<std::size_t>(first) * blockAlign_, UnitBytes());
    const auto block = static_cast<std::size_t>(blockAlign_);
    std::array<std::int32_t, 2> peak{};
    std::array<std::int64_t, 2> sum{};
    std::int64_t count = 0;
    for (std::int64_t i = 0; i < unit; ++i) {
        const std::int64_t frame = first + i;
        const std::uint8_t* sample = bytes.data() + static_cast<std::size_t>(i) * block;
        for (int ch = 0; ch < channels_; ++ch) {
            std::int32_t value = 0;
            if (bits_ == 16) {
                value = static_cast<std::int16_t>(sample[2 * ch] | (sample[2 * ch + 1] << 8));
            } else {
                value = sample[ch] - 128;
            }
            const auto c = static_cast<std::size_t>(ch);
            peak[c] = std::max(peak[c], std::abs(value));
            sum[c] += static_cast<std::int64_t>(value) * value;
        }
        ++count;
        const std::int64_t blockIndex = frame / MeterBlockFrames;
        const bool lastOfBlock = frame == bufferFrames_ - 1 ||
                                 (blockIndex < blocks_ - 1 && frame % MeterBlockFrames == MeterBlockFrames - 1);
        if (lastOfBlock || i == unit - 1) {
            StoreBlock(static_cast<int>(std::min<std::int64_t>(blockIndex, blocks_ - 1)), peak, sum, count);
            peak = {};
            sum = {};
            count = 0;
        }
    }
}
