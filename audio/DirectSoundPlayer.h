#pragma once

#include "audio/FileVersion.h"
#include "audio/Player.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform::audio {
class LoopingBuffer;
class OutputDevice;
} // namespace platform::audio

// The streaming both buffer players of back-end 0 share: one PCM wave file
// (8 or 16 bits, 1 or 2 channels) is read from disk into a looping buffer of
// five one-second segments ("units" of the file's rate). Play writes the first
// two units; every ProgressionPlay reads the play cursor, keeps the position
// and the meters, refills the segment ahead of the cursor and stops once the
// cursor enters the segment after the last data, so up to one unit of silence
// follows a sound. The owner must poll more often than once a unit.
//
// C_DSound and C_DSound5 differ only where their hooks below say.
class DirectSoundPlayer : public Player {
public:
    static constexpr int Segments = 5;
    static constexpr int MeterBlockFrames = 2048;
    // The largest ring a file may ask for: five seconds of 16-bit stereo at the
    // highest rate the audio layer takes.
    static constexpr std::int64_t MaxRingBytes = std::int64_t{Segments} * 384000 * 4;
    static constexpr std::int32_t DefaultVolMinLevel = -4000;

    ~DirectSoundPlayer() override;

    std::int32_t InitDS(QWidget* hWnd, std::int32_t device) override;
    void CloseWave() override;

    std::string FileName() override { return fileName_; }
    void SetFileName(std::string_view name) override;
    std::int32_t Length() override { return lengthMS_; }
    std::int32_t Freq() override { return rate_; }

    std::int32_t Play() override;
    void StopIO(std::int32_t immediate = 0) override;
    std::int32_t ProgressionPlay() override;
    std::int32_t Position(std::int32_t kind = 0) override;
    std::int32_t mode() override;

    void SetFromMS(std::int32_t ms) override;
    void SetToMS(std::int32_t ms) override;
    void SetFromSample(std::int32_t frame) override;
    void SetToSample(std::int32_t frame) override;

    std::int32_t Attenuation() override;
    void SetAttenuation(std::int32_t level) override;
    void SetVolMinLevel(std::int32_t level) override { volMinLevel_ = level; }
    std::int32_t PanValue() override;
    void SetPanValue(std::int32_t pan) override;
    float PlaySpeed() override { return playSpeed_; }
    void SetPlaySpeed(float speed) override;
    std::int32_t PlayFreq() override;
    void SetPlayFreq(std::int32_t hz) override;
    std::int32_t Peak(std::int32_t ch) override;
    std::int32_t RMS(std::int32_t ch) override;

    // The buffer volume (1/100 dB) of an attenuation written while playing:
    // round(a x a / volMinLevel), within -10000 .. 0; -10000 at or below volMinLevel.
    static std::int32_t VolumeLaw(std::int32_t attenuation, std::int32_t volMinLevel);

protected:
    // What sets the two players apart.
    struct Traits {
        // A load of a file of the format of the existing buffer keeps that buffer.
        bool reuseBuffer = false;
        // -1: the first poll counts as entering segment 0, so the player stays
        // two segments ahead of the cursor; 0: one segment ahead.
        int firstPlayedSegment = -1;
        // Attenuation read while playing gives the buffer's volume.
        bool readsVolumeBack = false;
        // PlayFreq answers while a file is loaded (else only while playing).
        bool playFreqWhileLoaded = false;
        // Stopping the buffer also forgets where the last play started.
        bool resetForgetsPlayStart = false;
        // InitDS gives 0 when the device does not open (else 1 all the same).
        bool initFailsWithoutDevice = false;
    };
    explicit DirectSoundPlayer(const Traits& traits);

    // The output device for an index of the device list; null when it cannot be opened.
    virtual std::shared_ptr<platform::audio::OutputDevice> OpenDevice(std::int32_t device) = 0;
    // The arrays that hold samples, sized for the loaded format.
    virtual void SizeSampleArrays() = 0;
    // Writable memory of the buffer's bytes from offset, where file data and
    // silence are put, then handed to the buffer by Commit.
    virtual std::span<std::uint8_t> SampleMemory(std::size_t offset, std::size_t bytes) = 0;
    virtual void Commit(std::size_t offset, std::size_t bytes) = 0;
    // The bytes the meters of a segment are taken from.
    virtual std::span<const std::uint8_t> MeterSamples(std::size_t offset, std::size_t bytes) = 0;

    // Opens output device output (0 the default) of the audio system for list
    // entry device; output -1 means the entry is not in the list (-1, "none
    // chosen", included): the default device is opened and a line logged, so
    // an output never falls silent because no device was saved.
    static std::shared_ptr<platform::audio::OutputDevice> OpenOutput(std::string_view who, std::int32_t device,
                                                                     int output);

    platform::audio::LoopingBuffer* Buffer() { return buffer_.get(); }
    std::size_t UnitBytes() const;
    std::size_t BufferBytes() const;

private:
    bool CreateBuffer();
    // The device failed while open (unplugged): nothing this player plays sounds.
    bool DeviceLost() const;
    // Opens the device of InitDS afresh after a loss, with a new buffer;
    // false (logged) while it is not back.
    bool ReopenLostDevice();
    void ResetBuffer();
    void FillSegment(int segment);
    void Silence(std::size_t offset, std::size_t bytes);
    enum class ReadOutcome { Read, Failed, Dropped };
    // Reads frames of the file into the ring from offset. A read may wait on
    // a share and let other work run meanwhile: when this player was stopped,
    // started afresh or given another file by then, the read is Dropped and
    // the ring left alone.
    ReadOutcome ReadFile(std::int64_t fromFrame, std::int64_t frames, std::size_t offset, std::string_view who);
    // The poll's refill of the segment after the last one written.
    void WriteNextSegment();
    // Lets the ring play what has been written since Play, and no more.
    void LimitToWritten();
    // Ends the play under way, if any: the buffer stops, and the silence heard
    // in the sound's place for want of data is logged, once a play.
    void EndPlay();
    void StoreBlock(int block, const std::array<std::int32_t, 2>& peak, const std::array<std::int64_t, 2>& sum,
                    std::int64_t count);
    std::int32_t FramesFromMS(std::int32_t ms) const;
    std::int32_t ClampFrame(std::int64_t frame) const;
    std::int32_t UnitFrames() const { return rate_; }

    const Traits traits_;
    std::shared_ptr<platform::audio::OutputDevice> device_;
    std::int32_t initDevice_ = 0;
    std::unique_ptr<platform::audio::LoopingBuffer> buffer_;
    QWidget* hWnd_ = nullptr;

    std::string fileName_;
    // The file as it was when its load began: the same name loads again once it changed.
    std::optional<FileVersion> loadedVersion_;
    std::int64_t dataOffset_ = 0;
    std::int32_t rate_ = 0;
    std::int16_t bits_ = 0;
    std::int16_t channels_ = 0;
    std::int16_t blockAlign_ = 0;
    std::int32_t fromSample_ = 0;
    std::int32_t toSample_ = 0;
    std::int32_t lengthMS_ = 0;
    std::int32_t totalFrames_ = 0;
    std::int32_t attenuation_ = 0;
    std::int32_t panValue_ = 0;
    float playSpeed_ = 1.0f;
    std::int32_t positionMS_ = 0;
    bool playing_ = false;
    bool loaded_ = false;
    std::int32_t volMinLevel_ = DefaultVolMinLevel;
    std::int32_t bufRate_ = 0;
    std::int16_t bufBits_ = 0;
    std::int16_t bufChannels_ = 0;
    std::int64_t playStart_ = 0;
    std::int64_t readCursor_ = 0;
    std::int32_t bufferFrames_ = 0;
    std::array<std::int32_t, Segments> segmentStart_{};
    int playedSegment_ = 0;
    int writtenSegment_ = 0;
    int endSegment_ = -1;
    std::int64_t wrapCount_ = 0;
    // Ring frames written since Play: all the ring may play of this sound.
    std::int64_t writtenFrames_ = 0;
    // Counts the starts and stops, so that a read that waited knows whether
    // the sound it read for still plays.
    std::uint64_t run_ = 0;
    // A read of run readRun_ waits: the polls that its wait makes must not
    // refill the same sound inside it.
    bool reading_ = false;
    std::uint64_t readRun_ = 0;
    // Where reads land before they reach the ring (held alive by a read
    // that waits, should the ring be made anew meanwhile).
    std::shared_ptr<std::vector<std::uint8_t>> landing_;
    std::int64_t shortMsAtPlay_ = 0;
    std::vector<std::int32_t> peakL_;
    std::vector<std::int32_t> peakR_;
    std::vector<std::int32_t> rmsL_;
    std::vector<std::int32_t> rmsR_;
    std::int32_t blocks_ = 0;
    std::array<std::int32_t, 2> peak_{};
    std::array<std::int32_t, 2> rms_{};
};
