// A serial port flooded with noise is read through in one engine tick, up to
// 64 KiB, one read of the protocol's size at a time, each read parsed on its
// own. That work runs inside the tick, so it must stay far below the 20 ms
// the tick may take without feeding the players. Measures the parsing of a
// whole 64 KiB poll per protocol, and a poll through a pseudo-terminal.
#include "remote/C_Com.h"
#include "remote/SerialReceive.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <span>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t PollBytes = 64 * 1024;

Bytes Noise(std::size_t count)
{
    std::mt19937 random(7u);
    Bytes bytes(count);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

remote::SerialRemoteContext Context()
{
    remote::SerialRemoteContext context;
    context.numOut = 2;
    context.pageNum = 10;
    context.buttonsPerPage = {32, 32, 0, 0};
    return context;
}

void ParseFloodedPoll(benchmark::State& state)
{
    const int protocol = static_cast<int>(state.range(0));
    const auto readSize = static_cast<std::size_t>(remote::SerialReadSize(protocol));
    const Bytes noise = Noise(PollBytes);
    const remote::SerialRemoteContext context = Context();
    std::size_t actions = 0;
    for (auto _ : state) {
        remote::SerialReceiveState receive;
        for (std::size_t at = 0; at < noise.size(); at += readSize) {
            const std::span<const std::uint8_t> read(noise.data() + at, std::min(readSize, noise.size() - at));
            remote::FeedSerialInput(
                protocol, receive, read, [&context] { return context; },
                [&actions](const remote::SerialAction&) { ++actions; });
        }
        benchmark::DoNotOptimize(receive);
    }
    benchmark::DoNotOptimize(actions);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * PollBytes));
}
BENCHMARK(ParseFloodedPoll)->DenseRange(1, 5)->Unit(benchmark::kMillisecond);

// Reads of four bytes through C_Com from a pseudo-terminal holding 8 KiB (a
// pseudo-terminal holds about 12 KB): the read-ahead keeps the system calls
// few.
void ReadFloodedPort(benchmark::State& state)
{
    const int farEnd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (farEnd < 0 || grantpt(farEnd) != 0 || unlockpt(farEnd) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    setenv("TOLV_COM9", ptsname(farEnd), 1);
    C_Com com;
    com.ComPort = "Com9";
    com.BaudRate = 38400;
    com.DataSize = 4;
    if (com.OpenComm() != 1) {
        state.SkipWithError("port did not open");
        return;
    }
    const Bytes noise = Noise(8 * 1024);
    std::vector<std::uint8_t> bytes(5);
    for (auto _ : state) {
        state.PauseTiming();
        if (write(farEnd, noise.data(), noise.size()) != static_cast<ssize_t>(noise.size())) {
            state.SkipWithError("far end write failed");
            break;
        }
        state.ResumeTiming();
        std::size_t taken = 0;
        for (int count = com.RecvDataB(bytes); count > 0; count = com.RecvMoreB(bytes)) {
            taken += static_cast<std::size_t>(count);
        }
        if (taken != noise.size()) {
            state.SkipWithError("not every byte was read");
            break;
        }
    }
    com.CloseComm();
    close(farEnd);
    unsetenv("TOLV_COM9");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * noise.size()));
}
BENCHMARK(ReadFloodedPort)->Unit(benchmark::kMicrosecond);

} // namespace
