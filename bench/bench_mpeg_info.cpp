// The MPEG information is read for every MP3 a list or the monitor window
// shows. The first frame is confirmed by the header that follows it, so junk
// full of false syncs costs more than a clean file; the search is bounded, so
// even a hostile file costs a few milliseconds at most.
#include "audio/MpegHeader.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// MPEG-1 layer III, 128 kbit/s, 44.1 kHz, joint stereo: 417-byte frames.
const Bytes FrameHeader{0xFF, 0xFB, 0x90, 0x40};
constexpr std::size_t FrameBytes = 417;

std::string Write(const std::string& name, const Bytes& bytes)
{
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

void AppendFrames(Bytes& bytes, int count)
{
    for (int i = 0; i < count; ++i) {
        bytes.insert(bytes.end(), FrameHeader.begin(), FrameHeader.end());
        bytes.resize(bytes.size() + FrameBytes - FrameHeader.size(), 0);
    }
}

// A tag of 4 KB, 3000 bytes of junk with a false sync every 131 bytes, then a
// minute of frames.
void TaggedFileWithJunk(benchmark::State& state)
{
    Bytes bytes{'I', 'D', '3', 3, 0, 0, 0, 0, 0x1F, 0x76}; // 4086-byte body
    bytes.resize(4096, 0);
    for (std::size_t i = 0; i < 3000; ++i) {
        bytes.push_back(i % 131 == 0 ? 0xFF : i % 131 == 1 ? 0xFB : static_cast<std::uint8_t>(i & 0x7F));
    }
    AppendFrames(bytes, 2297);
    const std::string path = Write("bench_mpeg_junk.mp3", bytes);
    MpegInfo info;
    if (FCT_mpeg::GetMpegInfo(path, info, 0) != 1 || info.HeaderPos != 4096 + 3000 + 1) {
        state.SkipWithError("the first frame was not found after the junk");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(FCT_mpeg::GetMpegInfo(path, info, 0));
    }
    std::filesystem::remove(path);
}
BENCHMARK(TaggedFileWithJunk);

// Junk that ends in 0xFF 0xFC right before a minute of frames: the look-alike
// asks for frames of its second byte, so the whole bounded search runs before
// the first frame after the junk is taken.
void JunkEndingInALookAlike(benchmark::State& state)
{
    Bytes bytes;
    for (std::size_t i = 0; i < 3000; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(i & 0x7F));
    }
    bytes.insert(bytes.end(), {0xFF, 0xFC});
    AppendFrames(bytes, 2297);
    const std::string path = Write("bench_mpeg_lookalike.mp3", bytes);
    MpegInfo info;
    if (FCT_mpeg::GetMpegInfo(path, info, 0) != 1 || info.HeaderPos != 3002 + 1) {
        state.SkipWithError("the first frame was not found after the junk");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(FCT_mpeg::GetMpegInfo(path, info, 0));
    }
    std::filesystem::remove(path);
}
BENCHMARK(JunkEndingInALookAlike)->Unit(benchmark::kMillisecond);

// 2 MB of false syncs that never confirm: the search gives up after 1 MB.
void HostileSyncs(benchmark::State& state)
{
    Bytes bytes;
    while (bytes.size() < (2U << 20)) {
        bytes.insert(bytes.end(), FrameHeader.begin(), FrameHeader.end());
        bytes.resize(bytes.size() + 3, 0);
    }
    const std::string path = Write("bench_mpeg_hostile.mp3", bytes);
    MpegInfo info;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FCT_mpeg::GetMpegInfo(path, info, 0));
    }
    std::filesystem::remove(path);
}
BENCHMARK(HostileSyncs)->Unit(benchmark::kMillisecond);

} // namespace
