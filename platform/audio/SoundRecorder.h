#pragma once

#include "platform/audio/CaptureSource.h"
#include "platform/audio/StreamFormat.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace platform::audio {

// Records an input device: a thread of its own takes the captured frames as
// they come and writes them to a temporary file, so a recording of any length
// costs no memory; Stop takes in what the device still holds. SaveWave then
// writes the recording as a wave file of the format asked for (converted and
// resampled by GStreamer), atomically.
class SoundRecorder {
public:
    explicit SoundRecorder(std::unique_ptr<CaptureSource> source);
    // Stops and deletes the temporary file.
    ~SoundRecorder();
    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    // Starts a new recording (anything recorded before is dropped); false
    // when no temporary file can be made.
    bool Start();
    void Stop();
    bool Recording() const { return thread_.joinable(); }
    // Frames recorded so far, at the capture rate.
    std::int64_t Frames() const { return frames_.load(std::memory_order_acquire); }
    int Rate() const { return source_->Options().rate; }
    int Channels() const { return source_->Options().channels; }

    // Writes the recording to path as PCM of format (8, 16, 24 or 32 bits;
    // 1 or 2 channels): a temporary file beside it, flushed, then renamed over
    // it. False with the reason in error; nothing is written while recording.
    bool SaveWave(const std::string& path, const StreamFormat& format, std::string& error);
    // True for a format SaveWave can write.
    static bool CanWrite(const StreamFormat& format);

private:
    void Run();
    void RemoveFile();

    std::unique_ptr<CaptureSource> source_;
    std::string file_;
    int fd_ = -1;
    std::atomic<bool> running_{false};
    std::atomic<std::int64_t> frames_{0};
    std::thread thread_;
};

} // namespace platform::audio
