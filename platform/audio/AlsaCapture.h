#pragma once

#include "platform/audio/AlsaSink.h"
#include "platform/audio/CaptureSource.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::audio {

// A sound card's capture PCM, read by the recording thread. An overrun (the
// thread was late) is recovered; what was lost is counted.
class AlsaCapture final : public CaptureSource {
    struct Key {};

public:
    explicit AlsaCapture(Key) {}
    // Null with the failing call and its text in error when the PCM cannot be
    // opened or set up (the options' sampleType is chosen as for output).
    static std::unique_ptr<AlsaCapture> Open(const AlsaOptions& options, std::string& error);
    ~AlsaCapture() override;
    AlsaCapture(const AlsaCapture&) = delete;
    AlsaCapture& operator=(const AlsaCapture&) = delete;

    const DeviceOptions& Options() const override { return options_; }
    std::size_t Read(std::span<float> frames, int waitMs) override;
    int Overruns() const { return overruns_; }

private:
    snd_pcm_t* pcm_ = nullptr;
    snd_config_t* config_ = nullptr;
    DeviceOptions options_;
    AlsaSampleType sampleType_ = AlsaSampleType::S16;
    std::vector<std::uint8_t> bytes_;
    int overruns_ = 0;
};

} // namespace platform::audio
