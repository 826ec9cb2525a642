// Reading the header and cue list happens before every start of a sound: its
// cost must not grow with the file. A 1 MB and a 2 GB wave file (sparse, so it
// costs no disk space) with the cue list behind the sound data, as recorders
// write it, should read in the same time.
#include "audio/CueList.h"
#include "audio/WaveHeader.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void PutText(Bytes& bytes, const char* text)
{
    for (; *text != '\0'; ++text) {
        bytes.push_back(static_cast<std::uint8_t>(*text));
    }
}

// 16-bit stereo at 48000 Hz with dataBytes of sound, then 8 cue points and
// their labels.
std::string MakeWave(const std::string& path, std::uint32_t dataBytes)
{
    Bytes head;
    PutText(head, "RIFF");
    Put32(head, 0);
    PutText(head, "WAVE");
    PutText(head, "fmt ");
    Put32(head, 16);
    Put32(head, 0x00020001);
    Put32(head, 48000);
    Put32(head, 192000);
    Put32(head, 0x00100004);
    PutText(head, "data");
    Put32(head, dataBytes);

    Bytes tail;
    PutText(tail, "cue ");
    Put32(tail, 4 + 8 * 24);
    Put32(tail, 8);
    for (std::uint32_t id = 1; id <= 8; ++id) {
        Put32(tail, id);
        Put32(tail, id * 48000);
        PutText(tail, "data");
        Put32(tail, 0);
        Put32(tail, 0);
        Put32(tail, id * 48000);
    }
    Bytes labels;
    PutText(labels, "adtl");
    for (std::uint32_t id = 1; id <= 8; ++id) {
        PutText(labels, "labl");
        Put32(labels, 16);
        Put32(labels, id);
        const std::string text = id == 1 ? "BC$STANDBY" : "marker";
        labels.insert(labels.end(), text.begin(), text.end());
        labels.resize(labels.size() + 12 - text.size(), 0); // NUL-padded to 12 bytes
    }
    PutText(tail, "LIST");
    Put32(tail, static_cast<std::uint32_t>(labels.size()));
    tail.insert(tail.end(), labels.begin(), labels.end());

    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    const auto tailAt = static_cast<off_t>(head.size() + dataBytes);
    const bool written = fd >= 0 && ::pwrite(fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size()) &&
                         ::pwrite(fd, tail.data(), tail.size(), tailAt) == static_cast<ssize_t>(tail.size());
    if (fd >= 0) {
        ::close(fd);
    }
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(2);
    }
    return path;
}

class Folder {
public:
    Folder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolv-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::exit(2);
        }
        path_ = pattern;
    }
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const char* name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

const Folder& BenchFolder()
{
    static const Folder folder;
    return folder;
}

void ReadHeaderAndCues(benchmark::State& state, const std::string& path)
{
    std::vector<CueRecord> cues;
    for (auto _ : state) {
        const WaveInfoRecord info = WaveMMIO::ReadWaveHeader(path, 0);
        const std::int32_t count = WaveBWFJ::ReadCueList(path, 0, cues);
        if (info.Valid != 1 || count != 8 || cues[0].Label != "BC$STANDBY") {
            state.SkipWithError("the file did not read as written");
            break;
        }
        benchmark::DoNotOptimize(info);
    }
}

void HeaderAndCues1MB(benchmark::State& state)
{
    static const std::string path = MakeWave(BenchFolder().File("1mb.wav"), 1 << 20);
    ReadHeaderAndCues(state, path);
}
BENCHMARK(HeaderAndCues1MB);

void HeaderAndCues2GB(benchmark::State& state)
{
    static const std::string path = MakeWave(BenchFolder().File("2gb.wav"), 0x80000000U);
    ReadHeaderAndCues(state, path);
}
BENCHMARK(HeaderAndCues2GB);

} // namespace
