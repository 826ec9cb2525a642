#include "audio/C_WaveOut.h"

#include "audio/WaveHeader.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "platform/base/Numbers.h"

#include <algorithm>

namespace {

// Frames of a page are a multiple of this.
constexpr int pageGranule = 256;
// One queue slot of a voice stays free for the start delay.
constexpr int maxPages = platform::audio::Voice::MaxQueuedBuffers - 1;

// What one player may hold in sample buffers (pages, split pages and disk
// cache). The largest usable format, 192 kHz with 8 channels of 24 bits, needs
// about 96 MB with the monitor's 60 pages of 150 ms and 20 cache pages; a file
// that would need more is refused rather than risk the program's memory.
constexpr std::int64_t MaxBufferBytes = std::int64_t{160} << 20;

// Sample buffers up to this size are kept when a player drops its file, and
// made ready once the program is up: fresh memory is faulted in page by page
// as it is first filled, which for the megabytes of a usual sound took
// milliseconds before its first sample, at every start of another file. Only
// the rare larger buffers (many channels, high rates) are given back.
constexpr std::size_t KeptBufferBytes = std::size_t{8} << 20;

// The format whose buffers are made ready ahead: stereo, 24 bits, 48 kHz
// covers the usual 16- and 24-bit stereo sounds up to 48 kHz.
constexpr int AheadRate = 48000;
constexpr int AheadFrameBytes = 6;

// Gives a buffer's memory back only when it is larger than what is kept.
void DropBuffer(std::vector<std::uint8_t>& buffer)
{
    if (buffer.capacity() > KeptBufferBytes) {
        std::vector<std::uint8_t>().swap(buffer);
    } else {
        buffer.clear();
    }
}

// Makes buffer hold at least bytes of memory that has been written once, so
// that filling it later faults in nothing.
void TouchAhead(std::vector<std::uint8_t>& buffer, std::size_t bytes)
{
    if (buffer.capacity() < bytes) {
        const std::size_t size = buffer.size();
        std::vector<std::uint8_t> touched(bytes, 0);
        std::copy(buffer.begin(), buffer.end(), touched.begin());
        touched.resize(size);
        buffer.swap(touched);
    }
}

} // namespace

C_WaveOut::C_WaveOut() = default;

C_WaveOut::~C_WaveOut()
{
    for (auto& voice : c_hWave) {
        voice.reset();
    }
    basic::CloseFileHandle(c_FileHnd);
}

void C_WaveOut::SetExtDeviceID(std::int32_t index, std::int32_t id)
{
    if (index >= 1 && index < MaxDevices) {
        c_DeviceID[static_cast<std::size_t>(index)] = id;
    }
}

void C_WaveOut::SetNumBufferPages(std::int32_t pages)
{
    NumBufferPages_ = std::clamp(pages, 2, maxPages);
}

void C_WaveOut::LogFailure(const std::string& message, int code)
{
    basic::WriteLog(message + std::to_string(code) + " " + fileName_, 1, 0);
}

void C_WaveOut::Init()
{
    loaded_ = false;
    if (c_Playing) {
        StopIO(1);
    }
    // The page count may change: buffers built for the old one are dropped, and
    // the next FileName builds them afresh.
    if (c_OpenFormat.Channels != 0) {
        FreeBuffers();
        fileName_.clear();
    }
    AllocatePageTables();
}

void C_WaveOut::AllocatePageTables()
{
    pageCount_ = std::clamp(NumBufferPages_, 2, maxPages);
    c_PlayingPage = 0;
    c_LastFilledPage = 0;
    for (auto& headers : c_PageHeaders) {
        headers = std::make_unique<platform::audio::VoiceBuffer[]>(static_cast<std::size_t>(pageCount_));
    }
    c_PageState.assign(static_cast<std::size_t>(pageCount_), 0);
    c_PageStamp.assign(static_cast<std::size_t>(pageCount_), -1);
    c_PageMeters.assign(static_cast<std::size_t>(pageCount_), WaveOutPage::Meters{});
    NumDiskBufferPages_ = std::max(NumDiskBufferPages_, 1);
    if ((MuteMS_ >= 1 || DelayMS_ >= 1) && c_Silence.size() != SilenceBytes) {
        c_Silence.assign(SilenceBytes, silenceByte_);
    }
}

std::int32_t C_WaveOut::Length()
{
    return fileName_.empty() ? 0 : c_Wave.LengthMS;
}

std::int32_t C_WaveOut::hWave(std::int32_t index)
{
    if (index < 0 || index >= MaxDevices || !c_hWave[static_cast<std::size_t>(index)]) {
        return 0;
    }
    return c_hWave[static_cast<std::size_t>(index)]->Handle();
}

void C_WaveOut::Unload()
{
    loaded_ = false;
    fileName_.clear();
    c_PlayFrom = 0;
    c_FromSample = 0;
    c_PlayEnd = 0;
}

void C_WaveOut::SetFileName(std::string_view name)
{
    c_Busy = true;
    if (c_Playing) {
        StopIO(1);
    }
    c_PlayFrom = 0;
    c_FromSample = 0;
    c_PlayEnd = LengthFrames();
    // An empty name unloads; it never counts as a loaded sound.
    if (name.empty()) {
        Unload();
        c_Busy = false;
        return;
    }
    if (name == fileName_ && StillLoaded(fileName_, loadedVersion_)) {
        c_Busy = false;
        loaded_ = true;
        return;
    }

    fileName_ = std::string(name);
    loadedVersion_ = FileVersion::Of(fileName_);
    loaded_ = false;
    c_PlayEnd = 0;
    const WaveInfoRecord wave = WaveMMIO::ReadWaveHeader(fileName_, 0);
    // A page must hold at least one granule of frames at the file's rate.
    const auto roundedFrames = numeric::RoundToInt64(static_cast<double>(wave.SampleRate) * BufferPagemsec_ / 1000.0);
    const std::int64_t pageFrames = roundedFrames / pageGranule * pageGranule;
    // Only PCM is played: other tags of the same width (A-law, mu-law) would
    // sound as noise.
    if (wave.Valid != 1 || !WaveMMIO::IsPcmWave(wave) || pageFrames < pageGranule ||
        pageFrames > wave.SampleRate * 60LL || BufferBytesFor(wave, pageFrames) > MaxBufferBytes) {
        c_Playing = false;
        basic::WriteLog("C_WaveOut Let FileName Fail " + fileName_, 1, 0);
        Unload();
        c_Busy = false;
        return;
    }
    c_FromSample = 0;
    c_PlayEnd = wave.Frames;
    c_DiskCache.Empty();

    const bool sameFormat = wave.SampleRate == c_OpenFormat.Rate && wave.Bits == c_OpenFormat.Bits &&
                            wave.Channels == c_OpenFormat.Channels;
    if (NoClose_ == 1 && sameFormat && c_OpenFormat.Rate != 0 && c_OpenFormat.Channels != 0) {
        c_Wave = wave;
        freq_ = wave.SampleRate;
        c_Busy = false;
        loaded_ = true;
        return;
    }
    if (c_OpenFormat.Channels != 0) {
        FreeBuffers();
    }
    c_Wave = wave;
    c_OpenFormat = OpenFormat{wave.SampleRate, wave.Bits, wave.Channels};
    if (c_hWave[0]) {
        CloseDevices();
    }
    const WaveOutLayout layout = MakeWaveOutLayout(wave, UseExtensible_ != 0);
    c_LastDevice = layout.LastDevice;
    c_OutFormat = layout.Format;
    c_PageFrames = static_cast<int>(pageFrames);
    c_RefillsPerPoll = std::max(1, wave.SampleRate / c_PageFrames / 3);
    if (pageCount_ < 2) {
        // Init was not called: take the page count as it stands.
        AllocatePageTables();
    }
    NumBufferToPlay_ = std::clamp(NumBufferToPlay_, 2, pageCount_);
    BuildBuffers();
    freq_ = wave.SampleRate;
    c_Busy = false;
    loaded_ = true;
}

std::int64_t C_WaveOut::BufferBytesFor(const WaveInfoRecord& wave, std::int64_t pageFrames) const
{
    const std::int64_t pages = pageCount_ >= 2 ? pageCount_ : std::clamp(NumBufferPages_, 2, maxPages);
    const std::int64_t pageBytes = pageFrames * std::max(wave.BlockAlign, 0);
    const WaveOutLayout layout = MakeWaveOutLayout(wave, UseExtensible_ != 0);
    const std::int64_t splitBytes =
        layout.LastDevice > 0 ? pages * (layout.LastDevice + 1) * pageFrames * layout.Format.BlockAlign : 0;
    const std::int64_t diskBytes = NumDiskBufferPages_ > 1 ? std::int64_t{NumDiskBufferPages_} * pageBytes : 0;
    return pages * pageBytes + splitBytes + diskBytes;
}

void C_WaveOut::BuildBuffers()
{
    const auto pages = static_cast<std::size_t>(pageCount_);
    const auto frames = static_cast<std::size_t>(c_PageFrames);
    pageBytes_ = frames * static_cast<std::size_t>(c_Wave.BlockAlign);
    c_PageBuffer.assign(pages * pageBytes_, 0);
    if (!readLanding_ || readLanding_->size() != pageBytes_) {
        readLanding_ = std::make_shared<std::vector<std::uint8_t>>(pageBytes_, 0);
    }
    const bool split = c_LastDevice > 0;
    splitPageBytes_ = split ? frames * static_cast<std::size_t>(c_OutFormat.BlockAlign) : 0;
    c_SplitBuffer.assign(split ? pages * static_cast<std::size_t>(c_LastDevice + 1) * splitPageBytes_ : 0, 0);
    for (int d = 0; d <= c_LastDevice; ++d) {
        for (int p = 0; p < pageCount_; ++p) {
            PageHeader(d, p).data = DeviceBuffer(d, p);
        }
    }
    if (NumDiskBufferPages_ > 1) {
        c_DiskCache.Reserve(static_cast<std::size_t>(NumDiskBufferPages_) * pageBytes_);
    }
    const std::uint8_t silence = WaveOutPage::SilenceByte(c_Wave.Bits);
    if (silence != silenceByte_) {
        silenceByte_ = silence;
        std::fill(c_Silence.begin(), c_Silence.end(), silenceByte_);
    }
}

void C_WaveOut::PrepareBuffersAhead()
{
    const std::int64_t pages = pageCount_ >= 2 ? pageCount_ : std::clamp(NumBufferPages_, 2, maxPages);
    const std::int64_t pageFrames =
        numeric::RoundToInt64(static_cast<double>(AheadRate) * BufferPagemsec_ / 1000.0) / pageGranule * pageGranule;
    const std::int64_t pageBytes = std::max<std::int64_t>(pageFrames, 0) * AheadFrameBytes;
    const auto pageBuffer = static_cast<std::size_t>(std::min(pages * pageBytes, std::int64_t{KeptBufferBytes}));
    TouchAhead(c_PageBuffer, pageBuffer);
    if (NumDiskBufferPages_ > 1) {
        c_DiskCache.Reserve(
            static_cast<std::size_t>(std::min(NumDiskBufferPages_ * pageBytes, std::int64_t{KeptBufferBytes})));
    }
}

std::span<std::uint8_t> C_WaveOut::PageSamples(int page)
{
    if (c_PageBuffer.empty()) {
        return {};
    }
    return std::span<std::uint8_t>(c_PageBuffer).subspan(static_cast<std::size_t>(page) * pageBytes_, pageBytes_);
}

std::span<std::uint8_t> C_WaveOut::DeviceBuffer(int device, int page)
{
    if (c_LastDevice == 0) {
        return PageSamples(page);
    }
    if (c_SplitBuffer.empty()) {
        return {};
    }
    const std::size_t index =
        static_cast<std::size_t>(page) * static_cast<std::size_t>(c_LastDevice + 1) + static_cast<std::size_t>(device);
    return std::span<std::uint8_t>(c_SplitBuffer).subspan(index * splitPageBytes_, splitPageBytes_);
}

platform::audio::VoiceBuffer& C_WaveOut::PageHeader(int device, int page)
{
    return c_PageHeaders[static_cast<std::size_t>(device)][static_cast<std::size_t>(page)];
}

void C_WaveOut::FreeBuffers()
{
    // No voice may go on reading a page that is about to be freed.
    for (auto& voice : c_hWave) {
        if (voice) {
            voice->Reset();
        }
    }
    for (auto& headers : c_PageHeaders) {
        for (int p = 0; headers && p < pageCount_; ++p) {
            headers[static_cast<std::size_t>(p)].data = {};
            headers[static_cast<std::size_t>(p)].Clear();
        }
    }
    for (auto& header : c_DelayHeaders) {
        header.data = {};
        header.Clear();
    }
    DropBuffer(c_SplitBuffer);
    DropBuffer(c_PageBuffer);
    readLanding_.reset();
    pageBytes_ = 0;
    splitPageBytes_ = 0;
    // Nothing is built now: a later file of the same format must build again.
    c_OpenFormat = OpenFormat{};
}

void C_WaveOut::CloseDevices()
{
    for (auto& voice : c_hWave) {
        voice.reset();
    }
}

void C_WaveOut::UpdateLength()
{
    const WaveInfoRecord wave = WaveMMIO::ReadWaveHeader(fileName_, 0);
    if (wave.Valid == 1 && !fileName_.empty()) {
        c_Wave.LengthMS = wave.LengthMS;
        c_Wave.Frames = wave.Frames;
        c_Wave.DataSize = wave.DataSize;
        c_PlayEnd = wave.Frames;
        return;
    }
    // The file is gone or damaged: drop it, stopping what still sounds.
    if (c_Playing) {
        StopIO(1);
    }
    c_Playing = false;
    Unload();
}

void C_WaveOut::CloseWave()
{
    if (c_Playing) {
        StopIO(0);
    }
    basic::CloseFileHandle(c_FileHnd);
    loaded_ = false;
    FreeBuffers();
    c_DiskCache.Release(KeptBufferBytes);
    c_Playing = false;
    fileName_.clear();
    freq_ = 0;
}
