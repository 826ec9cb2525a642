// A file is read well ahead of its sound, away from the voice's feed: the
// slow reads of a share that can keep up never leave the sound short.
#include "support/MediaFixture.h"
#include "support/MediaTestFiles.h"
#include "support/RealWait.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

using namespace platform::audio;

// A share that hands its reader the whole file (again to a reader that leaves
// early) and says when all of it was taken.
class PipedShare {
public:
    PipedShare(std::string path, const std::vector<char>& file) : path_(std::move(path))
    {
        EXPECT_EQ(::mkfifo(path_.c_str(), 0600), 0);
        server_ = std::thread([this, &file] {
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
            while (!over_ && !taken_) {
                const int fd = ::open(path_.c_str(), O_WRONLY);
                std::size_t given = 0;
                for (ssize_t n = 1; n > 0 && given < file.size() && !over_; given += static_cast<std::size_t>(n)) {
                    n = std::max<ssize_t>(::write(fd, file.data() + given, file.size() - given), 0);
                }
                ::close(fd);
                taken_ = given == file.size();
            }
        });
    }
    ~PipedShare()
    {
        over_ = true;
        // A reader of our own lets a server blocked on the pipe return.
        const int reader = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
        std::vector<char> drain(1 << 16);
        while (::read(reader, drain.data(), drain.size()) != 0) {
        }
        server_.join();
        ::close(reader);
    }
    PipedShare(const PipedShare&) = delete;
    PipedShare& operator=(const PipedShare&) = delete;

    std::atomic<bool> taken_{false};

private:
    std::string path_;
    std::atomic<bool> over_{false};
    std::thread server_;
};

class ReadAhead : public audiotest::MediaFixture {};

TEST_F(ReadAhead, AFileIsReadThroughLongBeforeItsSoundPlaysAndThenPlaysWhole)
{
    // Twenty seconds: far more than the decoded sound queued ahead of a voice.
    constexpr int seconds = 20;
    const std::string wave = folder / "whole.wav";
    const testsupport::Bytes samples = testsupport::SineSamples16(Rate, 2, seconds * Rate, 441.0, 0.5);
    testsupport::WriteWave(wave, Rate, 16, 2, samples);
    std::ifstream in(wave, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string path = folder / "share.wav";
    MediaGraph graph;
    PipedShare share(path, bytes);
    ASSERT_TRUE(graph.RenderFile(path, 1)) << graph.LastError();
    ASSERT_TRUE(graph.Run());
    // Not a frame played yet, and the share has given all of it (bounded only
    // so that a fault fails).
    ASSERT_TRUE(testsupport::PollUntil([&share] { return share.taken_.load(); })) << "the file was not read through";

    PlayFor(graph, seconds * 1000 + 200);
    EXPECT_TRUE(graph.Completed());
    const auto played = Played(1);
    std::size_t first = 0;
    while (first < played.size() && played[first] == 0.0f) {
        ++first;
    }
    // The sine's first frame is silent.
    first = first >= 2 ? first - 2 : 0;
    ASSERT_GE(played.size(), first + samples.size() / 2);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < samples.size() / 2; ++i) {
        const auto expected = static_cast<std::int16_t>(static_cast<std::uint16_t>(samples[2 * i]) |
                                                        static_cast<std::uint16_t>(samples[2 * i + 1]) << 8);
        wrong += std::lround(played[first + i] * 32768.0f) != expected ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0U);
}

} // namespace
