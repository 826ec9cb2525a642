// A file that cannot be read as fast as it plays (a share that falls behind)
// leaves the sound short: the log says which file, and for how long.
#include "support/CapturedLog.h"
#include "support/MediaFixture.h"
#include "support/MediaTestFiles.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

using namespace platform::audio;

// A share that gives the first bytes of a file and then stops answering
// until the test is over.
class FallingBehindShare {
public:
    FallingBehindShare(std::string path, std::vector<char> given) : path_(std::move(path))
    {
        EXPECT_EQ(::mkfifo(path_.c_str(), 0600), 0);
        server_ = std::thread([this, given = std::move(given)] {
            // A reader that leaves early (a look at the file's first bytes)
            // is no failure: the next one is served.
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
            for (;;) {
                const int fd = ::open(path_.c_str(), O_WRONLY);
                const bool written = ::write(fd, given.data(), given.size()) == static_cast<ssize_t>(given.size());
                // Held open until the test is over, or until its reader leaves.
                pollfd gone{fd, 0, 0};
                while (written && !Over() && !(::poll(&gone, 1, 20) > 0 && (gone.revents & POLLERR) != 0)) {
                }
                ::close(fd);
                if (Over()) {
                    return;
                }
            }
        });
    }
    ~FallingBehindShare()
    {
        over_.store(true);
        // A reader of our own lets a server that was never read return.
        const int reader = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
        server_.join();
        ::close(reader);
    }
    FallingBehindShare(const FallingBehindShare&) = delete;
    FallingBehindShare& operator=(const FallingBehindShare&) = delete;

private:
    bool Over() const { return over_.load(); }

    std::string path_;
    std::atomic<bool> over_{false};
    std::thread server_;
};

class Shortfall : public audiotest::MediaFixture {};

TEST_F(Shortfall, ASoundLeftShortByItsFileIsLoggedWithTheFileAndHowLong)
{
    // Three seconds of sound, of which the share gives the first second.
    const std::string wave = folder / "whole.wav";
    testsupport::WriteWave(wave, Rate, 16, 2, testsupport::SineSamples16(Rate, 2, 3 * Rate, 440.0, 0.5));
    std::ifstream in(wave, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    bytes.resize(44 + static_cast<std::size_t>(Rate) * 4);
    const std::string path = folder / "share.wav";
    testsupport::CapturedLog log;
    MediaGraph graph;
    // Ended before the graph, so that its reads return.
    const FallingBehindShare share(path, std::move(bytes));
    ASSERT_TRUE(graph.RenderFile(path, 1));
    ASSERT_TRUE(graph.Run());
    clock.Advance(2000);
    System().Sync();
    EXPECT_FALSE(graph.Completed());
    graph.Stop();
    ASSERT_EQ(log.LinesWith("\"" + path + "\" was not read in time: the sound went silent for "), 1);
    const std::string& line = log.Lines().back();
    const int ms = std::stoi(line.substr(line.rfind("for ") + 4));
    // Of two seconds played, at most the second the share gave sounded.
    EXPECT_GE(ms, 1000);
    EXPECT_LT(ms, 2000);
}

} // namespace
