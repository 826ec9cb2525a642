#include "platform/audio/MciDevice.h"

#include "platform/audio/AudioSystem.h"
#include "platform/audio/CaptureSource.h"
#include "platform/audio/MediaGraph.h"
#include "platform/audio/SoundRecorder.h"
#include "platform/base/LogSink.h"

#include <cmath>

namespace platform::audio {

MciDevice::~MciDevice() = default;

std::unique_ptr<MciDevice> MciDevice::ForFile(std::string_view path, int outputDevice, std::string& error)
{
    std::unique_ptr<MciDevice> device(new MciDevice());
    device->path_ = std::string(path);
    if (!device->Rebuild(outputDevice)) {
        error = device->graph_ ? device->graph_->LastError() : "no media graph";
        return nullptr;
    }
    return device;
}

std::unique_ptr<MciDevice> MciDevice::ForRecording(int inputDevice)
{
    std::unique_ptr<MciDevice> device(new MciDevice());
    device->inputDevice_ = inputDevice;
    return device;
}

bool MciDevice::Rebuild(int outputDevice)
{
    auto graph = std::make_unique<MediaGraph>();
    if (!graph->RenderFile(path_, outputDevice)) {
        if (!graph_) {
            graph_ = std::move(graph);
        }
        return false;
    }
    graph_ = std::move(graph);
    outputDevice_ = outputDevice;
    return true;
}

bool MciDevice::Play(std::optional<std::int64_t> fromMs, std::optional<std::int64_t> toMs)
{
    if (!graph_) {
        return false;
    }
    if (graph_->RendererLost()) {
        // What it played went nowhere: it stands stopped, and plays again
        // only on its device opened afresh.
        mode_ = MciMode::Stopped;
        if (!graph_->ReopenLostRenderers()) {
            return false;
        }
    }
    const std::int64_t length = LengthMs();
    const std::int64_t from = fromMs ? *fromMs : PositionMs();
    if (from < 0 || from > length || (toMs && (*toMs < from || *toMs > length))) {
        return false;
    }
    // The length counts whole milliseconds: a stop there is the end, so the
    // last fraction of a millisecond (a file's last samples) plays too.
    const std::optional<double> stop =
        toMs && *toMs < length ? std::optional<double>(static_cast<double>(*toMs) / 1000.0) : std::nullopt;
    if (!graph_->SetPlayRange(static_cast<double>(from) / 1000.0, stop) || !graph_->Run()) {
        return false;
    }
    mode_ = MciMode::Playing;
    return true;
}

bool MciDevice::Pause()
{
    if (!graph_) {
        return false;
    }
    if (!graph_->Pause()) {
        return false;
    }
    mode_ = MciMode::Paused;
    return true;
}

bool MciDevice::Stop()
{
    if (!graph_) {
        if (recorder_) {
            recorder_->Stop();
        }
        mode_ = MciMode::Stopped;
        return true;
    }
    graph_->Stop();
    mode_ = MciMode::Stopped;
    return true;
}

std::int64_t MciDevice::LengthMs()
{
    if (!graph_) {
        return recorder_ ? recorder_->Frames() * 1000 / recorder_->Rate() : 0;
    }
    return std::llround(graph_->Duration() * 1000.0);
}

std::int64_t MciDevice::PositionMs()
{
    if (!graph_) {
        return LengthMs();
    }
    Mode();
    return std::llround(graph_->CurrentPosition() * 1000.0);
}

MciMode MciDevice::Mode()
{
    if (!graph_) {
        return recorder_ && recorder_->Recording() ? MciMode::Recording : MciMode::Stopped;
    }
    if (graph_->PollOutputLost() && (mode_ == MciMode::Playing || mode_ == MciMode::Paused)) {
        // Every device it played on was lost (which they logged): nothing
        // sounds, so it must not report that it plays.
        graph_->Stop();
        mode_ = MciMode::Stopped;
    } else if (mode_ == MciMode::Playing && graph_->Completed()) {
        // The device stops by itself at the end of what it was told to play.
        graph_->Stop();
        mode_ = MciMode::Stopped;
    }
    return mode_;
}

bool MciDevice::OutputLost() const
{
    return graph_ && graph_->RendererLost();
}

bool MciDevice::SetOutputDevice(int device)
{
    if (device == -1) {
        device = 0;
    }
    if (device < 0 || device >= AudioSystem::Current().OutputCount()) {
        return false;
    }
    if (!graph_ || device == outputDevice_) {
        outputDevice_ = device;
        return true;
    }
    // The sound moves to the other device and goes on where it was.
    const MciMode mode = Mode();
    const std::int64_t position = PositionMs();
    graph_->Stop();
    if (!Rebuild(device)) {
        return false;
    }
    graph_->SetCurrentPosition(static_cast<double>(position) / 1000.0);
    if (mode == MciMode::Playing) {
        graph_->Run();
    } else if (mode == MciMode::Paused) {
        graph_->Pause();
    }
    mode_ = mode;
    return true;
}

bool MciDevice::SetInputDevice(int device)
{
    if (device == -1) {
        device = 0;
    }
    if (device < 0 || device >= AudioSystem::Current().InputCount()) {
        return false;
    }
    inputDevice_ = device;
    return true;
}

bool MciDevice::SetRecordFormat(int channels, int rate, int bytesPerSecond, int blockAlign, int bits)
{
    const StreamFormat format{rate, bits, channels};
    if (!SoundRecorder::CanWrite(format) || blockAlign != format.BlockAlign() ||
        static_cast<std::int64_t>(bytesPerSecond) != static_cast<std::int64_t>(rate) * blockAlign) {
        return false;
    }
    recordFormat_ = format;
    return true;
}

bool MciDevice::Record()
{
    if (graph_) {
        return false;
    }
    if (recorder_) {
        recorder_->Stop();
    }
    AudioError error = AudioError::None;
    std::unique_ptr<CaptureSource> source = AudioSystem::Current().OpenCapture(inputDevice_, &error);
    if (!source) {
        return false;
    }
    recorder_ = std::make_unique<SoundRecorder>(std::move(source));
    if (!recorder_->Start()) {
        recorder_.reset();
        return false;
    }
    return true;
}

bool MciDevice::Save(const std::string& path, std::string& error)
{
    if (!recorder_) {
        error = graph_ ? "the device holds no recording" : "nothing was recorded";
        return false;
    }
    if (!recorder_->SaveWave(path, recordFormat_, error)) {
        Log("Recording: " + path + ": " + error);
        return false;
    }
    return true;
}

} // namespace platform::audio
