#pragma once

#include "platform/audio/AudioError.h"
#include "platform/audio/StreamFormat.h"
#include "platform/audio/VoiceBuffer.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

typedef struct _GstElement GstElement;
typedef struct _GstSample GstSample;

namespace platform::audio {

class Voice;

// The end of a media graph where decoded sound enters our mixer. GStreamer's
// streaming thread copies each decoded block into a fixed pool of buffers and
// queues them on a voice of an output device: nothing is allocated on the way
// and nothing of the program runs on that thread. Decoding runs ahead of the
// device by at most the pool, so a sound starts at once and a long file costs
// no more than a short one.
//
// The control members belong to the program's thread; the graph calls them.
class RendererFeed {
public:
    // Enough blocks that a parser has seen the frames it needs to estimate
    // the length of a stream without an index (50 frames) before it waits.
    static constexpr int PoolBuffers = 64;
    static constexpr int BufferFrames = 4096;

    explicit RendererFeed(int device);
    // The graph's pipeline must have stopped first (see Shutdown).
    ~RendererFeed();
    RendererFeed(const RendererFeed&) = delete;
    RendererFeed& operator=(const RendererFeed&) = delete;

    int Device() const { return device_; }
    // Takes the blocks arriving at sink, an appsink (held until the feed is
    // destroyed, which lets it go again).
    void Attach(GstElement* sink);
    // Opens the voice of the negotiated format on the device, paused.
    AudioError OpenVoice(const StreamFormat& format);
    // With the stream held: a new voice of the same format, paused, in place
    // of one whose device was lost (opening it opens the device afresh when
    // it is back); what the old one held is dropped. The old voice stays
    // when the new one does not open.
    AudioError ReopenVoice();
    bool HasVoice() const { return voice_ != nullptr; }
    // The voice's device failed while open (unplugged): what is queued goes
    // nowhere, and the feed needs a voice on the device opened afresh.
    bool DeviceLost() const;
    // Program side: the voice's device catches up with the clock (virtual
    // time) and passes the mixer's log events on, as for any polled voice.
    void SyncDevice();
    const StreamFormat& Format() const { return format_; }

    // Hold: the streaming thread queues nothing more until Release; when Hold
    // returns it is not queueing. Stream positions change only while held.
    void Hold();
    void Release();
    // With the stream held: drops everything queued; the position counts from
    // frame, and decoded frames before it are skipped.
    void ResetTo(std::int64_t frame);
    void Start();
    void Pause();

    // The frame set by ResetTo plus the frames the device played since.
    std::int64_t PositionFrames();
    // The stream has ended and the device has played all of it.
    bool Finished();
    // Milliseconds the voice went silent for want of decoded sound while the
    // stream had more to give, since the last call.
    std::int64_t TakeStarvedMs();
    // Frames queued and not yet played.
    std::int64_t FramesAhead();
    // Every pool buffer is queued, or the stream has ended (and is not held
    // for a seek that flushes the end away) or was shut down.
    bool Buffered() const;
    // Waits up to timeoutMs for Buffered.
    bool WaitBuffered(int timeoutMs);
    // Enough is decoded ahead for the voice to start: StartMs of sound (what
    // a start takes into the audio the device holds, and time for the
    // decoder's next blocks), every pool buffer, or the stream's end.
    static constexpr int StartMs = 200;
    bool StartReady();
    // Waits up to timeoutMs for StartReady.
    bool WaitStartReady(int timeoutMs);
    // Decoded blocks whose format differed from the voice's and were dropped.
    std::int64_t DroppedBlocks() const { return dropped_.load(std::memory_order_relaxed); }

    void SetGains(float left, float right);
    // Speed factor: the voice plays the stream at this multiple of its rate.
    void SetSpeed(double factor);
    // Before the pipeline stops: the streaming thread gives up every wait.
    void Shutdown();

    struct Callbacks; // the GStreamer side, in the source file

private:
    // A voice on the device, paused, at the feed's gains and speed.
    std::unique_ptr<Voice> NewVoice(const StreamFormat& format, AudioError& error) const;
    // Makes voice the one the stream is queued on.
    void UseVoice(std::unique_ptr<Voice> voice);
    // Streaming thread: queues a decoded block; a GstFlowReturn.
    int TakeSample(GstSample* sample);
    int AcquireSlot();
    void NotifyAll();
    // Program side: adds the silence heard in place of the voice
    // since the last note (when count), and notes where it stands.
    void NoteSilence(Voice& voice, bool count);

    const int device_;
    StreamFormat format_;
    std::unique_ptr<Voice> voice_;
    std::vector<std::uint8_t> storage_;
    std::array<VoiceBuffer, PoolBuffers> pool_;
    std::int64_t base_ = 0;
    float left_ = 1.0f;
    float right_ = 1.0f;
    double speed_ = 1.0;

    // Silence heard for want of decoded sound, in the device's frames: what
    // is counted and not yet taken, and the voice's count when last noted.
    std::int64_t heardNoted_ = 0;
    std::int64_t silentFrames_ = 0;
    std::atomic<Voice*> streamVoice_{nullptr};
    std::atomic<bool> held_{false};
    std::atomic<bool> busy_{false};
    std::atomic<bool> flushing_{false};
    std::atomic<bool> shutdown_{false};
    std::atomic<bool> endOfStream_{false};
    std::atomic<std::int64_t> queued_{0};
    std::atomic<std::int64_t> clipNs_{0};
    std::atomic<std::int64_t> dropped_{0};
    // GStreamer's own locks are invisible to race checkers: every callback
    // reads ready_ on entry and counts itself out on exit, so the program's
    // thread (Attach before, the destructor after) orders with it.
    std::atomic<bool> ready_{false};
    std::atomic<std::int64_t> callbacksDone_{0};
    int next_ = 0; // streaming thread only
    GstElement* sink_ = nullptr;
    unsigned long probe_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable fed_;
};

} // namespace platform::audio
