#include "platform/audio/SoundRecorder.h"

#include "platform/audio/MediaGraph.h"
#include "platform/base/LogSink.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace platform::audio {

namespace {

constexpr int readWaitMs = 20;
constexpr std::size_t blockFrames = 4096;
constexpr int conversionLimitMs = 600'000;

std::string TemporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

bool WriteAll(int fd, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

const char* RawFormatName(int bits)
{
    switch (bits) {
    case 8:
        return "U8";
    case 16:
        return "S16LE";
    case 24:
        return "S24LE";
    default:
        return "S32LE";
    }
}

// A wave file with no sound: only its header.
bool WriteEmptyWave(int fd, const StreamFormat& format)
{
    std::vector<std::uint8_t> header;
    const auto put = [&header](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            header.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    const auto text = [&header](const char* four) { header.insert(header.end(), four, four + 4); };
    const auto block = static_cast<std::uint32_t>(format.BlockAlign());
    text("RIFF");
    put(36, 4);
    text("WAVE");
    text("fmt ");
    put(16, 4);
    put(1, 2);
    put(static_cast<std::uint32_t>(format.channels), 2);
    put(static_cast<std::uint32_t>(format.rate), 4);
    put(static_cast<std::uint32_t>(format.rate) * block, 4);
    put(block, 2);
    put(static_cast<std::uint32_t>(format.bits), 2);
    text("data");
    put(0, 4);
    return WriteAll(fd, header.data(), header.size());
}

} // namespace

SoundRecorder::SoundRecorder(std::unique_ptr<CaptureSource> source) : source_(std::move(source)) {}

SoundRecorder::~SoundRecorder()
{
    Stop();
    RemoveFile();
}

void SoundRecorder::RemoveFile()
{
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!file_.empty()) {
        unlink(file_.c_str());
        file_.clear();
    }
}

bool SoundRecorder::Start()
{
    Stop();
    RemoveFile();
    std::string pattern = TemporaryFolder() + "/tolv-recording-XXXXXX";
    fd_ = mkstemp(pattern.data());
    if (fd_ < 0) {
        Log("Recording: no temporary file in " + TemporaryFolder() + ": " + std::strerror(errno));
        return false;
    }
    file_ = pattern;
    frames_.store(0, std::memory_order_release);
    // Frames captured before the start belong to no recording.
    std::vector<float> stale(blockFrames * static_cast<std::size_t>(Channels()));
    while (source_->Read(stale, 0) > 0) {
    }
    running_.store(true, std::memory_order_release);
    thread_ = std::thread([this] { Run(); });
    return true;
}

void SoundRecorder::Stop()
{
    running_.store(false, std::memory_order_release);
    if (thread_.joinable()) {
        thread_.join();
    }
}

void SoundRecorder::Run()
{
    const auto channels = static_cast<std::size_t>(Channels());
    std::vector<float> block(blockFrames * channels);
    bool failed = false;
    const auto keep = [&](std::size_t frames) {
        if (!failed && !WriteAll(fd_, block.data(), frames * channels * sizeof(float))) {
            failed = true;
        }
        if (!failed) {
            frames_.fetch_add(static_cast<std::int64_t>(frames), std::memory_order_acq_rel);
        }
    };
    while (running_.load(std::memory_order_acquire)) {
        if (const std::size_t frames = source_->Read(block, readWaitMs); frames > 0) {
            keep(frames);
        }
    }
    // What the device still holds when the recording stops belongs to it.
    while (const std::size_t frames = source_->Read(block, 0)) {
        keep(frames);
    }
    if (failed) {
        Log("Recording: the temporary file " + file_ + " is full; the rest of the recording was lost");
    }
}

bool SoundRecorder::CanWrite(const StreamFormat& format)
{
    return (format.bits == 8 || format.bits == 16 || format.bits == 24 || format.bits == 32) &&
           (format.channels == 1 || format.channels == 2) && format.rate >= MinRate && format.rate <= MaxRate;
}

bool SoundRecorder::SaveWave(const std::string& path, const StreamFormat& format, std::string& error)
{
    if (Recording()) {
        error = "still recording";
        return false;
    }
    if (!CanWrite(format)) {
        error = "the format cannot be written";
        return false;
    }
    if (path.empty()) {
        error = "no file name";
        return false;
    }
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temporary = folder + "/." + name + ".XXXXXX";
    const int out = mkstemp(temporary.data());
    if (out < 0) {
        error = std::string("cannot write in the folder: ") + std::strerror(errno);
        return false;
    }
    bool written = false;
    if (Frames() == 0) {
        written = WriteEmptyWave(out, format);
        close(out);
    } else {
        close(out);
        MediaGraph graph;
        const int source = graph.AddElement("filesrc", "source");
        const int parser = graph.AddElement("rawaudioparse", "parser");
        const int converter = graph.AddElement("audioconvert", "converter");
        const int resampler = graph.AddElement("audioresample", "resampler");
        const int shaper = graph.AddElement("capsfilter", "format");
        const int encoder = graph.AddElement("wavenc", "writer");
        const int sink = graph.AddElement("filesink", "file");
        const std::string caps = std::string("audio/x-raw,format=") + RawFormatName(format.bits) +
                                 ",layout=interleaved,rate=" + std::to_string(format.rate) +
                                 ",channels=" + std::to_string(format.channels);
        bool built = sink >= 0 && graph.SetSourceFileName(source, file_) && graph.SetSinkFileName(sink, temporary) &&
                     graph.SetProperty(parser, "use-sink-caps", "false") &&
                     graph.SetProperty(parser, "format", "pcm") && graph.SetProperty(parser, "pcm-format", "f32le") &&
                     graph.SetProperty(parser, "sample-rate", std::to_string(Rate())) &&
                     graph.SetProperty(parser, "num-channels", std::to_string(Channels())) &&
                     graph.SetProperty(converter, "dithering", "none") && graph.SetProperty(shaper, "caps", caps);
        const std::array<int, 7> chain{source, parser, converter, resampler, shaper, encoder, sink};
        for (std::size_t i = 0; built && i + 1 < chain.size(); ++i) {
            built = graph.Connect(chain[i], graph.FirstPin(chain[i], PinDirection::Output), chain[i + 1],
                                  graph.FirstPin(chain[i + 1], PinDirection::Input));
        }
        written = built && graph.Prepare() && graph.RunToEnd(conversionLimitMs);
        if (!written) {
            error = graph.LastError().empty() ? "the recording cannot be converted" : graph.LastError();
        }
    }
    if (written) {
        const int synced = open(temporary.c_str(), O_RDONLY);
        written = synced >= 0 && fsync(synced) == 0;
        if (synced >= 0) {
            close(synced);
        }
        written = written && std::rename(temporary.c_str(), path.c_str()) == 0;
        if (!written) {
            error = std::string("cannot write ") + path + ": " + std::strerror(errno);
        }
    } else if (error.empty()) {
        error = std::string("cannot write ") + path + ": " + std::strerror(errno);
    }
    if (!written) {
        unlink(temporary.c_str());
    }
    return written;
}

} // namespace platform::audio
