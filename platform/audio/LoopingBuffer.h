#pragma once

#include "platform/audio/AudioError.h"
#include "platform/audio/StreamFormat.h"
#include "platform/audio/Voice.h"
#include "platform/audio/VoiceBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace platform::audio {

class OutputDevice;

// A ring of sample bytes that plays on its own voice of an output device, in
// a loop or once, as a DirectSound secondary buffer did: the program writes
// anywhere in the ring while it plays, and reads the play cursor to learn
// which part has sounded. Volume and pan are in 1/100 dB; the frequency is the
// rate the ring plays at, resampled in the mixer.
//
// The ring is allocated once, when the buffer is made; nothing here allocates
// while it plays. The program must not write the part of the ring that is
// about to sound (the period under the play cursor); everything else may be
// rewritten at any time.
class LoopingBuffer {
    struct Key {};

public:
    static constexpr int VolumeMin = -10000; // silence
    static constexpr int VolumeMax = 0;
    static constexpr int PanLeft = -10000; // right channel silent
    static constexpr int PanRight = 10000; // left channel silent

    // A buffer of bytes bytes (rounded down to whole frames, at least one
    // frame) on device; null with the reason in error when the format is not
    // playable or the device has no free voice. The ring starts silent.
    static std::unique_ptr<LoopingBuffer> Create(const std::shared_ptr<OutputDevice>& device,
                                                 const StreamFormat& format, std::size_t bytes,
                                                 AudioError* error = nullptr);
    LoopingBuffer(Key, std::unique_ptr<Voice> voice, std::size_t bytes);
    LoopingBuffer(const LoopingBuffer&) = delete;
    LoopingBuffer& operator=(const LoopingBuffer&) = delete;

    const StreamFormat& Format() const { return voice_->Format(); }
    std::size_t Bytes() const { return ring_.size(); }
    std::size_t Frames() const { return frames_; }

    // The ring memory of bytes bytes from offset (taken modulo the ring), in
    // one part or, where it passes the end of the ring, two; at most the whole
    // ring. Reads and writes go straight to the memory the mixer plays.
    struct Region {
        std::span<std::uint8_t> first;
        std::span<std::uint8_t> second;
    };
    Region Lock(std::size_t offset, std::size_t bytes);
    // Copies data into the ring from offset, wrapping at its end; returns the
    // bytes copied (at most the ring's size).
    std::size_t Write(std::size_t offset, std::span<const std::uint8_t> data);
    // Every byte of the ring set to value (0 for 16-bit silence, 128 for 8-bit).
    void Fill(std::uint8_t value);

    // Starts playing at the cursor: looping, on and on around the ring; once,
    // up to the end of the ring. Play while playing only changes whether the
    // ring loops.
    void Play(bool looping);
    // Stops at once; the cursor stays where the sound stopped.
    void Stop();
    // True from Play until Stop, or until a buffer played once reaches its end.
    bool Playing();
    // Where the sound is in the ring, in bytes (whole frames).
    std::size_t PlayCursor();
    // Moves the cursor (modulo the ring, to a whole frame); a playing buffer
    // goes on from there.
    void SetCurrentPosition(std::size_t offset);

    // Streaming into the ring: only frames frames from where Play (or a move
    // of the cursor) started it are heard, the part the program has written
    // ahead of the cursor. There the buffer holds in silence, its cursor
    // kept, and goes on once the limit moves on: a late refill is heard as a
    // gap, never as what the ring held before. more: more of the sound is
    // to come, so that gap counts as a shortfall (ShortMs).
    void LimitPlay(std::uint64_t frames, bool more);
    // Milliseconds of silence heard in its place while more was to come,
    // since the buffer was made.
    std::int64_t ShortMs() const;

    // 1/100 dB, VolumeMin .. VolumeMax; VolumeMin is silence.
    void SetVolume(int hundredthsDb);
    int Volume() const { return volume_; }
    // 1/100 dB of attenuation of one side: negative values quieten the right
    // channel, positive ones the left; the ends silence that side.
    void SetPan(int pan);
    int Pan() const { return pan_; }
    // Playback rate in Hz; 0 or less is the format's own rate. Limited to the
    // rates a voice plays.
    void SetFrequency(int hz);
    int Frequency() const { return voice_->Rate(); }

    // The linear gain of an attenuation in 1/100 dB (0 at VolumeMin and below).
    static float GainOf(int hundredthsDb);

private:
    void Queue(std::size_t startFrame);
    void ApplyGains();
    std::size_t CursorFrame();

    std::unique_ptr<Voice> voice_;
    std::vector<std::uint8_t> ring_;
    std::size_t frames_ = 0;
    // The part of the ring from the cursor to its end, then the whole ring.
    VoiceBuffer head_;
    VoiceBuffer whole_;
    const VoiceBuffer* last_ = nullptr; // the buffer whose end ends a play once
    bool playing_ = false;
    bool looping_ = false;
    std::size_t startFrame_ = 0;  // the ring frame the voice's position 0 stands for
    std::size_t cursorFrame_ = 0; // where a stopped buffer goes on
    int volume_ = VolumeMax;
    int pan_ = 0;
};

} // namespace platform::audio
