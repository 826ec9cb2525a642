#pragma once

#include "platform/audio/StreamFormat.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace platform::audio {

class MediaGraph;
class SoundRecorder;

// The modes an MCI device reports.
enum class MciMode : int {
    NotReady = 524,
    Stopped = 525,
    Playing = 526,
    Recording = 527,
    Seeking = 528,
    Paused = 529,
    Open = 530,
};

// One device as the Media Control Interface opened them, in milliseconds: a
// sound file (played through a media graph on an output device), or a new
// recording from an input device that can be saved as a wave file. A device
// notices the end of what it plays when its mode or position is asked for,
// and then stands stopped at that end; the same for the loss of its output
// device (unplugged), after which it plays again once the device is back.
class MciDevice {
public:
    ~MciDevice();
    MciDevice(const MciDevice&) = delete;
    MciDevice& operator=(const MciDevice&) = delete;

    // A device for a sound file playing on output device (0 the default);
    // null with the reason in error when the file does not play.
    static std::unique_ptr<MciDevice> ForFile(std::string_view path, int outputDevice, std::string& error);
    // A device for a new, empty recording from input device (0 the default).
    static std::unique_ptr<MciDevice> ForRecording(int inputDevice);

    bool IsRecorder() const { return !graph_; }
    // The graph of a file device (null for a recorder).
    MediaGraph* Graph() const { return graph_.get(); }

    // Plays from (else from the position) to (else to the end); false also
    // while its output device is lost (see OutputLost).
    bool Play(std::optional<std::int64_t> fromMs, std::optional<std::int64_t> toMs);
    bool Pause();
    bool Stop();
    std::int64_t LengthMs();
    std::int64_t PositionMs();
    MciMode Mode();
    // The output device it plays on was lost and is not open again for it.
    bool OutputLost() const;

    // Where the sound goes and comes from: output and input device numbers.
    bool SetOutputDevice(int device);
    bool SetInputDevice(int device);

    // Recording: the format a saved recording has, whole bytes per sample
    // (blockAlign and bytesPerSecond must agree with the rest); false for a
    // format that cannot be written.
    bool SetRecordFormat(int channels, int rate, int bytesPerSecond, int blockAlign, int bits);
    const StreamFormat& RecordFormat() const { return recordFormat_; }
    // Records anew until Stop.
    bool Record();
    // Writes the recording to path as a wave file (atomically).
    bool Save(const std::string& path, std::string& error);

private:
    MciDevice() = default;
    bool Rebuild(int outputDevice);

    std::string path_;
    std::unique_ptr<MediaGraph> graph_;
    int outputDevice_ = 0;
    int inputDevice_ = 0;
    std::unique_ptr<SoundRecorder> recorder_;
    // The waveaudio device's own default: 11.025 kHz, 8 bits, mono.
    StreamFormat recordFormat_{11025, 8, 1};
    MciMode mode_ = MciMode::Stopped;
};

} // namespace platform::audio
