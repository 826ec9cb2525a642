#pragma once

#include "audio/DiskReadCache.h"
#include "audio/FileVersion.h"
#include "audio/Player.h"
#include "audio/WaveInfoRecord.h"
#include "audio/WaveOutFormat.h"
#include "audio/WaveOutPage.h"
#include "platform/audio/Voice.h"
#include "platform/audio/VoiceBuffer.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The waveOut player: plays an uncompressed wave file on one to four output
// devices by itself, reading the file in pages, converting each page
// (software gain, clipping, meters, the split of a surround file onto stereo
// devices) and queueing it on a voice per device. It has no thread: its owner
// polls ProgressionPlay on every tick, and each poll refills the pages the
// devices have finished. It adds a start delay of silence, a mute tail of
// silence on stop that raises MutingProc about every 10 ms, and a loop back
// to StbyPoint.
//
// Everything here runs on the program's thread; the devices' mixer threads
// only read queued pages, which are never touched again until done.
class C_WaveOut final : public Player {
public:
    static constexpr int MaxDevices = 4;
    // Bytes of the silence that a start delay plays from.
    static constexpr std::size_t SilenceBytes = 9'216'001;

    C_WaveOut();
    ~C_WaveOut() override;

    // Set-up.
    void SetUseExtensible(std::int32_t on) override { UseExtensible_ = on; }
    void SetUseMixer(std::int32_t on) override { UseMixer_ = on; }
    void SetUsePeakVol(std::int32_t on) override { UsePeakVol_ = on; }
    std::int32_t VolMinLevel() override { return VolMinLevel_; }
    void SetVolMinLevel(std::int32_t level) override { VolMinLevel_ = level; }
    std::int32_t DeviceID() override { return c_DeviceID[0]; }
    void SetDeviceID(std::int32_t id) override { c_DeviceID[0] = id; }
    // The device of its stereo sounds (the extra pairs' open at their first
    // use), and the buffers of a usual sound.
    void OpenDeviceAhead() override;
    void SetExtDeviceID(std::int32_t index, std::int32_t id) override;
    void SetBufferPagemsec(std::int32_t ms) override { BufferPagemsec_ = ms; }
    void SetNumBufferPages(std::int32_t pages) override;
    void SetNumDiskBufferPages(std::int32_t pages) override { NumDiskBufferPages_ = pages; }
    void SetNumBufferToPlay(std::int32_t pages) override { NumBufferToPlay_ = pages; }
    void SetHaitahWave(std::int32_t handle) override { HaitahWave_ = handle; }
    void SetNoClose(std::int32_t on) override { NoClose_ = on; }
    void SetMuteMS(std::int32_t ms) override { MuteMS_ = ms; }
    void SetCancelMute(std::int32_t on) override { CancelMute_ = on; }
    std::int32_t WhileMute() override { return WhileMute_; }
    void SetDelayMS(std::int32_t ms) override { DelayMS_ = ms; }
    void Init() override;
    // Tests: a device that refuses pages. Asked before each page is queued
    // on a device; anything but None is taken as that device's refusal.
    using PageRefusal = std::function<platform::audio::AudioError(int device, int page)>;
    void SetPageRefusalForTests(PageRefusal refusal) { pageRefusal_ = std::move(refusal); }

    // The file.
    void UpdateLength() override;
    std::string FileName() override { return fileName_; }
    void SetFileName(std::string_view name) override;
    std::int32_t Length() override;
    std::int32_t Freq() override { return freq_; }
    std::int32_t hWave(std::int32_t index) override;
    void CloseWave() override;

    // Transport.
    std::int32_t Play() override;
    void Pause() override;
    void StopIO(std::int32_t immediate = 0) override;
    std::int32_t ProgressionPlay() override;
    std::int32_t Position(std::int32_t kind = 0) override;
    std::int32_t mode() override;

    // Points.
    std::int32_t FromMS() override;
    void SetFromMS(std::int32_t ms) override;
    std::int32_t ToMS() override;
    void SetToMS(std::int32_t ms) override;
    std::int32_t FromSample() override;
    void SetFromSample(std::int32_t frame) override;
    std::int32_t ToSample() override;
    void SetToSample(std::int32_t frame) override;
    void SetStbyPoint(std::int32_t frame) override;
    void SetLoopOn(std::int32_t on) override;

    // Gain, pan and meters.
    std::int32_t Attenuation() override { return Attenuation_; }
    void SetAttenuation(std::int32_t level) override;
    std::int32_t PanValue() override { return PanValue_; }
    void SetPanValue(std::int32_t pan) override;
    std::int32_t Peak(std::int32_t ch) override;
    std::int32_t RMS(std::int32_t ch) override;

private:
    enum class ReadOutcome { Read, EndOfFile, Failed };

    // Loading and release.
    void AllocatePageTables();
    void FreeBuffers();
    // Makes the sample buffers of a usual sound ready before the first start.
    void PrepareBuffersAhead();
    // True while a voice may read the page buffers: a sound plays, is paused,
    // restarts or runs its mute tail.
    bool SoundQueued() const;
    // Bytes the sample buffers of a file would take with the current settings.
    std::int64_t BufferBytesFor(const WaveInfoRecord& wave, std::int64_t pageFrames) const;
    void BuildBuffers();
    void CloseDevices();
    void Unload();
    std::int64_t LengthFrames() const { return fileName_.empty() ? 0 : c_Wave.Frames; }
    // The samples of a page in the file's layout; what device d plays of it.
    std::span<std::uint8_t> PageSamples(int page);
    std::span<std::uint8_t> DeviceBuffer(int device, int page);
    platform::audio::VoiceBuffer& PageHeader(int device, int page);

    // Pages.
    std::int32_t RefillDonePages();
    bool AddPlayBuffer(int page, std::int64_t fromFrame, bool direct, bool refill);
    ReadOutcome ReadPage(std::span<std::uint8_t> destination, std::int64_t position, bool direct,
                         std::int64_t fromFrame);
    // Queues a page on every device; the first refusal other than a lost
    // device, else None.
    platform::audio::AudioError QueuePage(int page, const char* where);
    int DevicesDone(int page);
    void SyncDevices();

    // Transport.
    bool OpenDevices();
    // True when the sound's every device failed while it played.
    bool EveryDeviceLost() const;
    std::int32_t FailPlay();
    void RunMuteTail();
    std::int64_t MsToFrames(std::int64_t ms) const;
    std::int32_t FramesToMs(std::int64_t frames) const;

    // Gain.
    void UpdateChannelGains();
    void ApplyMixerVolume();

    void LogFailure(const std::string& message, int code);

    // Properties.
    std::int32_t UseExtensible_ = 0;
    std::int32_t UseMixer_ = 0;
    std::int32_t UsePeakVol_ = 0;
    std::int32_t VolMinLevel_ = -4000;
    std::int32_t BufferPagemsec_ = 200;
    std::int32_t NumBufferPages_ = 7;
    std::int32_t NumDiskBufferPages_ = 0;
    std::int32_t NumBufferToPlay_ = 2;
    std::int32_t HaitahWave_ = 0;
    std::int32_t NoClose_ = 0;
    std::int32_t MuteMS_ = 0;
    std::int32_t CancelMute_ = 0;
    std::int32_t WhileMute_ = 0;
    std::int32_t DelayMS_ = 0;
    std::int32_t StbyPoint_ = 0;
    std::int32_t LoopOn_ = 0;
    std::int32_t Attenuation_ = 0;
    std::int32_t PanValue_ = 0;

    // Devices and format.
    int c_LastDevice = 0;
    std::array<std::int32_t, MaxDevices> c_DeviceID{-1, 0, 0, 0};
    std::array<std::int32_t, MaxDevices> c_OpenedDeviceID{};
    int c_PageFrames = 0;
    int c_RefillsPerPoll = 1;
    int c_LastFilledPage = 0;
    DiskReadCache c_DiskCache;
    struct OpenFormat {
        std::int32_t Rate = 0;
        std::int16_t Bits = 0;
        std::int16_t Channels = 0; // 0: no buffers built
    } c_OpenFormat;
    WaveInfoRecord c_Wave;
    int c_PlayingPage = 0;
    WaveOutFormat c_OutFormat;
    int pageCount_ = 0; // NumBufferPages as Init took it

    // Pages: the samples in the file's layout, the stereo device buffers of
    // a split surround file, and per device a queued buffer per page. The
    // memory is declared before the voices, so the voices go first.
    std::vector<std::uint8_t> c_PageBuffer;
    // Where a page's samples are read before they are copied into the page:
    // a read that waits lets other work run, a restart of this player among
    // it, which may queue the page being read. The read then comes back into
    // this (held alive by the read, should the buffers be rebuilt meanwhile)
    // and is dropped, never into a page the device holds.
    std::shared_ptr<std::vector<std::uint8_t>> readLanding_;
    std::vector<std::uint8_t> c_SplitBuffer;
    std::size_t pageBytes_ = 0;
    std::size_t splitPageBytes_ = 0;
    std::array<std::unique_ptr<platform::audio::VoiceBuffer[]>, MaxDevices> c_PageHeaders;
    // Free, claimed by a fill whose read is under way, or filled and queued.
    static constexpr std::int32_t PageFree = 0;
    static constexpr std::int32_t PageQueued = 1;
    static constexpr std::int32_t PageFilling = 2;
    std::vector<std::int32_t> c_PageState;
    std::vector<std::int64_t> c_PageStamp;
    std::int64_t c_NextStamp = 0;
    std::vector<WaveOutPage::Meters> c_PageMeters;
    std::vector<std::uint8_t> c_Silence;
    std::uint8_t silenceByte_ = 0;
    std::array<platform::audio::VoiceBuffer, MaxDevices> c_DelayHeaders;
    std::int64_t delayFrames_ = 0;
    int c_MuteTick = 0;

    // The file and the play state.
    std::string fileName_;
    // The file as it was when its load began: the same name loads again once it changed.
    std::optional<FileVersion> loadedVersion_;
    std::int32_t freq_ = 0;
    int c_FileHnd = 0;
    bool loaded_ = false; // c_FileLoaded
    std::int64_t c_PlayFrom = 0;
    std::int64_t c_PlayEnd = 0;
    std::int64_t c_FromSample = 0;
    bool c_Playing = false;
    bool c_Paused = false;
    std::int64_t c_PlayStartFrame = 0;
    std::int64_t c_ReadFrame = 0;
    // The file turned out shorter than its header: no page after this one.
    bool dataEnded_ = false;
    float c_AttGain = 1.0f;
    std::array<float, 2> c_ChannelGain{1.0f, 1.0f};
    float mixerVolume_ = 1.0f;
    bool c_Busy = false;
    // A poll runs: the waits of its reads feed the players, this one included.
    bool refilling_ = false;
    // Counts the starts and stops, so a fill whose read waited knows whether
    // the sound it read for still plays.
    std::uint64_t playRun_ = 0;
    bool c_Restarting = false;
    // Readying was asked for while a sound played: done once it has stopped.
    bool readyAheadPending_ = false;

    // One voice per device: the handle of the old interface.
    std::array<std::unique_ptr<platform::audio::Voice>, MaxDevices> c_hWave;
    PageRefusal pageRefusal_;
};
