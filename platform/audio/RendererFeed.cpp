#include "platform/audio/RendererFeed.h"

#include "platform/audio/AudioSystem.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"

#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>
#include <utility>

namespace platform::audio {

namespace {

constexpr std::int64_t nsPerSecond = 1'000'000'000;
// How often a streaming thread whose pool is full looks for a played buffer,
// and how long it sleeps while nothing can change without the program.
constexpr auto pollPlaying = std::chrono::milliseconds(2);
constexpr auto pollIdle = std::chrono::milliseconds(50);

} // namespace

// GStreamer calls these on its own threads: the streaming thread for samples,
// end of stream and flush stop, the seeking thread for flush start.
struct RendererFeed::Callbacks {
    class Scope {
    public:
        explicit Scope(RendererFeed& feed) : feed_(feed) { feed_.ready_.load(std::memory_order_acquire); }
        ~Scope() { feed_.callbacksDone_.fetch_add(1, std::memory_order_release); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        RendererFeed& feed_;
    };

    static GstFlowReturn NewSample(GstAppSink* sink, gpointer data)
    {
        auto* feed = static_cast<RendererFeed*>(data);
        const Scope scope(*feed);
        GstSample* sample = gst_app_sink_try_pull_sample(sink, 0);
        if (sample == nullptr) {
            return GST_FLOW_OK;
        }
        const auto result = static_cast<GstFlowReturn>(feed->TakeSample(sample));
        gst_sample_unref(sample);
        return result;
    }

    static void EndOfStream(GstAppSink* /*sink*/, gpointer data)
    {
        auto* feed = static_cast<RendererFeed*>(data);
        const Scope scope(*feed);
        feed->endOfStream_.store(true);
        // The voice's last frames are queued: running out now is its end.
        feed->busy_.store(true);
        Voice* voice = feed->streamVoice_.load();
        if (!feed->held_.load() && voice != nullptr) {
            voice->SetMoreToCome(false);
        }
        feed->busy_.store(false);
        feed->NotifyAll();
    }

    static GstPadProbeReturn Flush(GstPad* /*pad*/, GstPadProbeInfo* info, gpointer data)
    {
        auto* feed = static_cast<RendererFeed*>(data);
        const Scope scope(*feed);
        GstEvent* event = gst_pad_probe_info_get_event(info);
        if (event != nullptr && GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_START) {
            feed->flushing_.store(true);
            feed->NotifyAll();
        } else if (event != nullptr && GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
            // An end seen before the flush belongs to the stream flushed away.
            feed->endOfStream_.store(false);
            feed->flushing_.store(false);
        }
        return GST_PAD_PROBE_OK;
    }
};

RendererFeed::RendererFeed(int device) : device_(device) {}

RendererFeed::~RendererFeed()
{
    Shutdown();
    // Every callback has returned by now (the pipeline stopped first).
    callbacksDone_.load(std::memory_order_acquire);
    if (sink_ != nullptr) {
        GstAppSinkCallbacks none{};
        gst_app_sink_set_callbacks(GST_APP_SINK_CAST(sink_), &none, nullptr, nullptr);
        GstPad* pad = gst_element_get_static_pad(sink_, "sink");
        if (pad != nullptr) {
            gst_pad_remove_probe(pad, probe_);
            gst_object_unref(pad);
        }
        gst_object_unref(sink_);
    }
    streamVoice_.store(nullptr);
    voice_.reset();
}

void RendererFeed::Attach(GstElement* sink)
{
    sink_ = GST_ELEMENT_CAST(gst_object_ref(sink));
    ready_.store(true, std::memory_order_release);
    GstAppSinkCallbacks callbacks{};
    callbacks.eos = &Callbacks::EndOfStream;
    callbacks.new_sample = &Callbacks::NewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK_CAST(sink), &callbacks, this, nullptr);
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    if (pad != nullptr) {
        probe_ = gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_EVENT_FLUSH, &Callbacks::Flush, this, nullptr);
        gst_object_unref(pad);
    }
}

AudioError RendererFeed::OpenVoice(const StreamFormat& format)
{
    AudioError error = AudioError::None;
    std::unique_ptr<Voice> voice = NewVoice(format, error);
    if (!voice) {
        return error;
    }
    format_ = format;
    storage_.assign(
        static_cast<std::size_t>(PoolBuffers) * BufferFrames * static_cast<std::size_t>(format.BlockAlign()), 0);
    UseVoice(std::move(voice));
    return AudioError::None;
}

AudioError RendererFeed::ReopenVoice()
{
    AudioError error = AudioError::None;
    std::unique_ptr<Voice> voice = NewVoice(format_, error);
    if (!voice) {
        return error;
    }
    // The pool keeps its memory: the old voice lets go of its buffers (they
    // become done) before anything is queued on the new one.
    UseVoice(std::move(voice));
    queued_.store(0);
    return AudioError::None;
}

std::unique_ptr<Voice> RendererFeed::NewVoice(const StreamFormat& format, AudioError& error) const
{
    std::unique_ptr<Voice> voice = AudioSystem::Current().OpenVoice(device_, format, &error);
    if (!voice) {
        if (error == AudioError::None) {
            error = AudioError::DeviceFailed;
        }
        return nullptr;
    }
    voice->Pause();
    voice->SetMoreToCome(!endOfStream_.load());
    voice->SetVolume(left_, right_);
    voice->SetRate(static_cast<int>(std::lround(format.rate * speed_)));
    return voice;
}

void RendererFeed::UseVoice(std::unique_ptr<Voice> voice)
{
    heardNoted_ = 0;
    {
        std::lock_guard lock(mutex_);
        streamVoice_.store(voice.get());
    }
    voice_ = std::move(voice);
    wake_.notify_all();
}

bool RendererFeed::DeviceLost() const
{
    return voice_ && voice_->Device().Lost();
}

void RendererFeed::SyncDevice()
{
    if (voice_) {
        voice_->Sync();
    }
}

void RendererFeed::Hold()
{
    held_.store(true);
    while (busy_.load()) {
        std::this_thread::yield();
    }
}

void RendererFeed::Release()
{
    // An end reached while held is the stream's end (one before the seek's
    // flush is forgotten with it): the voice plays out what it holds.
    if (voice_ && endOfStream_.load()) {
        voice_->SetMoreToCome(false);
    }
    {
        std::lock_guard lock(mutex_);
        held_.store(false);
    }
    wake_.notify_all();
}

void RendererFeed::ResetTo(std::int64_t frame)
{
    if (voice_) {
        voice_->Reset();
        // After a seek the stream goes on from frame: more is to come until
        // it ends again (its end cannot pass while the stream is held).
        voice_->SetMoreToCome(!endOfStream_.load());
    }
    queued_.store(0);
    base_ = frame;
    const int rate = format_.rate > 0 ? format_.rate : 1;
    clipNs_.store(frame * nsPerSecond / rate);
}

void RendererFeed::Start()
{
    if (voice_) {
        voice_->Restart();
        // Silence before a start was asked for: nothing missed.
        NoteSilence(*voice_, false);
    }
    NotifyAll();
}

void RendererFeed::Pause()
{
    if (voice_) {
        voice_->Pause();
    }
}

std::int64_t RendererFeed::PositionFrames()
{
    return base_ + (voice_ ? static_cast<std::int64_t>(voice_->Position()) : 0);
}

std::int64_t RendererFeed::TakeStarvedMs()
{
    if (!voice_) {
        return 0;
    }
    NoteSilence(*voice_, true);
    // Whole milliseconds; the rest counts on into the next call.
    const std::int64_t rate = std::max(1, voice_->Device().Rate());
    const std::int64_t ms = std::max<std::int64_t>(0, silentFrames_) * 1000 / rate;
    silentFrames_ -= ms * rate / 1000;
    return ms;
}

void RendererFeed::NoteSilence(Voice& voice, bool count)
{
    const std::int64_t heard = voice.SilenceHeardFrames();
    if (count) {
        silentFrames_ += heard - heardNoted_;
    }
    heardNoted_ = heard;
}

bool RendererFeed::Finished()
{
    if (!endOfStream_.load()) {
        return false;
    }
    return !voice_ || static_cast<std::int64_t>(voice_->Position()) >= queued_.load();
}

std::int64_t RendererFeed::FramesAhead()
{
    if (!voice_) {
        return 0;
    }
    return std::max<std::int64_t>(0, queued_.load() - static_cast<std::int64_t>(voice_->Position()));
}

bool RendererFeed::Buffered() const
{
    if (shutdown_.load()) {
        return true;
    }
    // A held stream goes on from a seek: an end seen before it belongs to the
    // sound the seek flushes away, and nothing is queued until it lands.
    if (held_.load()) {
        return false;
    }
    if (endOfStream_.load()) {
        return true;
    }
    if (!voice_) {
        return false;
    }
    return std::all_of(pool_.begin(), pool_.end(), [](const VoiceBuffer& buffer) { return buffer.Queued(); });
}

bool RendererFeed::WaitBuffered(int timeoutMs)
{
    std::unique_lock lock(mutex_);
    return fed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return Buffered(); });
}

bool RendererFeed::StartReady()
{
    return Buffered() || FramesAhead() >= static_cast<std::int64_t>(format_.rate) * StartMs / 1000;
}

bool RendererFeed::WaitStartReady(int timeoutMs)
{
    std::unique_lock lock(mutex_);
    return fed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return StartReady(); });
}

void RendererFeed::SetGains(float left, float right)
{
    left_ = left;
    right_ = right;
    if (voice_) {
        voice_->SetVolume(left, right);
    }
}

void RendererFeed::SetSpeed(double factor)
{
    speed_ = factor;
    if (voice_) {
        voice_->SetRate(static_cast<int>(std::lround(format_.rate * factor)));
    }
}

void RendererFeed::Shutdown()
{
    {
        std::lock_guard lock(mutex_);
        shutdown_.store(true);
    }
    NotifyAll();
}

void RendererFeed::NotifyAll()
{
    std::lock_guard lock(mutex_);
    wake_.notify_all();
    fed_.notify_all();
}

int RendererFeed::AcquireSlot()
{
    for (;;) {
        if (flushing_.load() || shutdown_.load()) {
            return -1;
        }
        busy_.store(true);
        Voice* voice = streamVoice_.load();
        if (!held_.load() && voice != nullptr && !pool_[static_cast<std::size_t>(next_)].Queued()) {
            return next_;
        }
        busy_.store(false);
        std::unique_lock lock(mutex_);
        const bool playing = voice != nullptr && !held_.load() && !voice->Paused();
        wake_.wait_for(lock, playing ? pollPlaying : pollIdle);
    }
}

int RendererFeed::TakeSample(GstSample* sample)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstCaps* caps = gst_sample_get_caps(sample);
    GstAudioInfo info;
    if (buffer == nullptr || caps == nullptr || !gst_audio_info_from_caps(&info, caps)) {
        return GST_FLOW_OK;
    }
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        return GST_FLOW_OK;
    }
    const auto block = static_cast<std::size_t>(GST_AUDIO_INFO_BPF(&info));
    const std::size_t frames = block > 0 ? map.size / block : 0;
    const GstSegment* segment = gst_sample_get_segment(sample);
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    const int rate = GST_AUDIO_INFO_RATE(&info);
    GstFlowReturn result = GST_FLOW_OK;
    std::size_t offset = 0;
    bool first = true;
    while (offset < frames) {
        const int slot = AcquireSlot();
        if (slot < 0) {
            result = GST_FLOW_FLUSHING;
            break;
        }
        Voice* voice = streamVoice_.load();
        if (first) {
            first = false;
            if (rate != format_.rate || GST_AUDIO_INFO_CHANNELS(&info) != format_.channels ||
                block != static_cast<std::size_t>(format_.BlockAlign())) {
                dropped_.fetch_add(1, std::memory_order_relaxed);
                busy_.store(false);
                break;
            }
            // Frames before the position asked for (a decoder may start a
            // little early after a seek) are skipped.
            if (segment != nullptr && GST_CLOCK_TIME_IS_VALID(pts)) {
                const guint64 streamTime = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts);
                const std::int64_t clip = clipNs_.load();
                if (GST_CLOCK_TIME_IS_VALID(streamTime) && static_cast<std::int64_t>(streamTime) < clip) {
                    offset = static_cast<std::size_t>(std::llround(
                        static_cast<double>(clip - static_cast<std::int64_t>(streamTime)) * rate / nsPerSecond));
                    if (offset >= frames) {
                        busy_.store(false);
                        break;
                    }
                }
            }
        }
        const std::size_t take = std::min<std::size_t>(frames - offset, BufferFrames);
        VoiceBuffer& target = pool_[static_cast<std::size_t>(slot)];
        std::uint8_t* bytes = storage_.data() + static_cast<std::size_t>(slot) * BufferFrames * block;
        std::memcpy(bytes, map.data + offset * block, take * block);
        target.data = std::span<const std::uint8_t>(bytes, take * block);
        if (voice->WriteFromStream(target) == AudioError::None) {
            queued_.fetch_add(static_cast<std::int64_t>(take));
        }
        next_ = (slot + 1) % PoolBuffers;
        busy_.store(false);
        offset += take;
        NotifyAll();
    }
    gst_buffer_unmap(buffer, &map);
    return result;
}

} // namespace platform::audio
