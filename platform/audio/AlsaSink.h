#pragma once

#include "platform/audio/DeviceSink.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <poll.h>
#include <string>
#include <vector>

typedef struct _snd_pcm snd_pcm_t;
typedef struct _snd_config snd_config_t;

namespace platform::audio {

// S24 is 24 bits in the low bytes of 32 (S24_LE), S24Packed 24 bits in three
// bytes (S24_3LE), as many USB interfaces take them.
enum class AlsaSampleType { Automatic, S16, S32, Float, S24, S24Packed };

struct AlsaOptions {
    // The ALSA name of the PCM ("default", "plughw:CARD=PCH,DEV=0", ...).
    std::string pcm = "default";
    // When not empty, the PCM is looked up in this configuration text alone
    // instead of the system's (tests use a file or null PCM this way).
    std::string configText;
    DeviceOptions device;
    // Automatic takes the best the PCM accepts: 32, 24, 16 bits, float, packed 24.
    AlsaSampleType sampleType = AlsaSampleType::Automatic;
};

// A sound card's playback PCM, opened once. Write converts a period to the
// PCM's sample type and waits until the card has taken it, so the card's own
// clock paces the mixer; an underrun or a suspend is recovered and reported.
class AlsaSink final : public DeviceSink {
    struct Key {};

public:
    explicit AlsaSink(Key) {}
    // Null with the failing call and its text in error when the PCM cannot be
    // opened or set up.
    static std::unique_ptr<AlsaSink> Open(const AlsaOptions& options, std::string& error);
    ~AlsaSink() override;
    AlsaSink(const AlsaSink&) = delete;
    AlsaSink& operator=(const AlsaSink&) = delete;

    const DeviceOptions& Options() const override { return options_; }
    // False for a PCM without a clock of its own (ALSA's null PCM, a file PCM
    // over it), which takes every frame at once: its mixer keeps the real
    // rate on the machine's clock instead of spinning on it.
    bool PacesItself() const override { return hasClock_; }
    WriteResult Write(std::span<const float> frames, SpscRing<MixerEvent>& events,
                      const std::atomic<bool>& running) override;
    void Close() override;
    WaitResult WaitForRoom(SpscRing<MixerEvent>& events, const std::atomic<bool>& running) override;
    void Wake() override;
    bool StopWhileSilent() override;
    int UnheardFrames() override;
    int Rewindable() override;
    std::optional<bool> TriedTakingFramesBack() const override { return tried_; }
    int Rewind(int frames) override;
    void SetQueuedAhead(int frames, int lowWater) override;
    int RoomFrames() const override { return roomFrames_; }
    bool AwaitsStart() const override { return awaitsStart_; }
    int InFlightFrames() override;
    int PositionStepFrames() const override { return positionStep_; }
    int TakeWakeLateFrames() override;

    AlsaSampleType SampleType() const { return sampleType_; }
    // What the device agreed to, for the log.
    const std::string& Description() const { return description_; }
    // Whether frames taken back are really gone from the device, as tried
    // when it was opened: some devices (sound servers' plugins among them)
    // say they take frames back but have already passed them on, so that
    // what is written again would sound twice.
    bool TakesFramesBack() const { return takesFramesBack_; }

private:
    void Convert(std::span<const float> frames);
    // True or false as the device took the frames back or kept them; none
    // when it did not take them or did not even count them as queued (a
    // device without a clock of its own, which plays what it is given at
    // once): nothing to judge by.
    std::optional<bool> TryTakingFramesBack();
    // True when the card has gone (unplugged) while stopped.
    bool CardGone();
    // Before the first frames after the device was prepared: silence that
    // makes those frames and the whole periods after them end exactly on
    // the fill, so that the device starts with the fill queued. None when
    // the frames make the fill themselves, as the mixer's do at a start
    // (see AwaitsStart); the rest of a period cut off by an underrun has it.
    bool WriteStartPad(unsigned long following);

    snd_pcm_t* pcm_ = nullptr;
    snd_config_t* config_ = nullptr;
    DeviceOptions options_;
    AlsaSampleType sampleType_ = AlsaSampleType::S16;
    std::size_t frameBytes_ = 0;
    std::vector<std::uint8_t> bytes_;
    std::string description_;
    // WaitForRoom returns once this many frames are free: when what is
    // queued has fallen a period below the fill.
    long roomAt_ = 0;
    // The device wakes the mixer once this many frames are free (avail_min);
    // how far past it the mixer found the device, the most since last taken.
    long wakeAt_ = 0;
    int wakeLate_ = 0;
    // The frames free below the fill when WaitForRoom last found room, and the fill.
    int roomFrames_ = 0;
    // When WaitForRoom last found room: the device had not started yet.
    bool awaitsStart_ = false;
    long fill_ = 0;
    bool fillMoved_ = false; // since the last wake-up by the device

    int positionStep_ = 1;
    bool takesFramesBack_ = false;
    std::optional<bool> tried_;
    bool hasClock_ = true;
    bool stopped_ = false; // by StopWhileSilent, until woken
    // Prepared and empty: the next frames written start the device afresh.
    bool prepared_ = true;
    std::vector<std::uint8_t> silence_; // a period in the device's format
    int wakeFd_ = -1;
    std::vector<pollfd> polls_; // the PCM's descriptors, then wakeFd_
};

} // namespace platform::audio
