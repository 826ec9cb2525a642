// A file that cannot be read as fast as it plays (a share that falls behind)
// leaves the sound short: the log says which file, and for how long.
#include "platform/audio/OutputDevice.h"
#include "support/AudioTestSignals.h"
#include "support/CapturedLog.h"
#include "support/MediaFixture.h"
#include "support/MediaTestFiles.h"
#include "support/TestAlsaDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

using namespace platform::audio;

// A share that gives the first bytes of a file and then stops answering
// until the test is over, or until it is released to give the rest.
class FallingBehindShare {
public:
    FallingBehindShare(std::string path, std::vector<char> given, std::vector<char> rest = {}) : path_(std::move(path))
    {
        EXPECT_EQ(::mkfifo(path_.c_str(), 0600), 0);
        server_ = std::thread([this, given = std::move(given), rest = std::move(rest)] {
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
                    if (!rest.empty() && released_.load()) {
                        // All of it given: the file ends, and its reader was the last.
                        ::write(fd, rest.data(), rest.size());
                        ::close(fd);
                        return;
                    }
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

    void Release() { released_.store(true); }

private:
    bool Over() const { return over_.load(); }

    std::string path_;
    std::atomic<bool> over_{false};
    std::atomic<bool> released_{false};
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

TEST_F(Shortfall, ASilenceIsLoggedOnceWhenItsPlayIsStoppedAndWholeAsItStops)
{
    const std::string wave = folder / "whole.wav";
    testsupport::WriteWave(wave, Rate, 16, 2, testsupport::SineSamples16(Rate, 2, 3 * Rate, 440.0, 0.5));
    std::ifstream in(wave, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    bytes.resize(44 + static_cast<std::size_t>(Rate) * 4);
    const std::string path = folder / "share.wav";
    testsupport::CapturedLog log;
    const std::string line = "\"" + path + "\" was not read in time: the sound went silent for ";
    {
        MediaGraph graph;
        const FallingBehindShare share(path, std::move(bytes));
        ASSERT_TRUE(graph.RenderFile(path, 1));
        ASSERT_TRUE(graph.Run());
        // Two seconds pass; the mixer goes on with them as the stop pauses
        // the voice, as a card's mixer runs beside the program.
        clock.Advance(2000);
        graph.Stop();
        ASSERT_EQ(log.LinesWith(line), 1) << "logged as the play stops";
        EXPECT_GE(std::stoi(log.Lines().back().substr(log.Lines().back().rfind("for ") + 4)), 1000);
        // The graph goes later (the program ends): nothing more to say.
        clock.Advance(500);
        System().Sync();
    }
    EXPECT_EQ(log.LinesWith(line), 1);
}

TEST_F(Shortfall, AStartWaitsAMomentForItsDecoderButNeverForAStalledShare)
{
    // A share that gave 150 ms of sound (of eight channels: enough bytes for
    // the parsers to know it) and stalls: the decoder never has enough ahead
    // to start with, and the operator's press is not held.
    const std::string wave = folder / "whole.wav";
    testsupport::WriteWave(wave, Rate, 16, 8, testsupport::SineSamples16(Rate, 8, Rate, 440.0, 0.5));
    std::ifstream in(wave, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    bytes.resize(44 + static_cast<std::size_t>(Rate) * 16 * 150 / 1000);
    const std::string path = folder / "share.wav";
    MediaGraph graph;
    const FallingBehindShare share(path, std::move(bytes));
    ASSERT_TRUE(graph.RenderFile(path, 1)) << graph.LastError();
    const auto before = std::chrono::steady_clock::now();
    ASSERT_TRUE(graph.Run());
    const auto tookMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before).count();
    EXPECT_GE(tookMs, 10) << "the start did not wait for more than the decoder's first block";
    EXPECT_LT(tookMs, 500) << "the press was held";
    graph.Stop();
}

// On a sound card, which stops while nothing sounds on it: the silence the
// line gives is the silence heard, the card's stop included.
class ShortfallOnACard : public testing::Test {
protected:
    void SetUp() override { testsupport::InstallPacedTestCardSystem(); }
    void TearDown() override { AudioSystem::Install(nullptr); }

    testsupport::ScratchFolder folder;
};

TEST_F(ShortfallOnACard, TheLineGivesTheSilenceHeard)
{
    // Half a second whose first 10 ms are loud, then the share stalls; then
    // half a second that starts loud: the card hears when each part starts.
    // The share gives the rest once the card has stopped for want of sound:
    // at once (the silence it dropped unheard as it stopped was never
    // heard), and a while later (it heard nothing while stopped either).
    constexpr int rate = 48000;
    constexpr int firstMs = 500;
    const std::vector<std::uint8_t> loud = audiotest::Constant16(2, rate / 100, 28672);
    std::vector<std::uint8_t> first = audiotest::Constant16(2, rate * firstMs / 1000, 1000);
    std::copy(loud.begin(), loud.end(), first.begin());
    const std::vector<std::uint8_t> rest = audiotest::Constant16(2, rate / 2, 28672);
    std::vector<std::uint8_t> samples = first;
    samples.insert(samples.end(), rest.begin(), rest.end());
    const std::string wave = folder / "whole.wav";
    testsupport::WriteWave(wave, rate, 16, 2, samples);
    std::ifstream in(wave, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto split = bytes.begin() + 44 + static_cast<std::ptrdiff_t>(first.size());
    // A card that ran dry because a busy machine held the mixer up heard a
    // silence no share caused: such a try is taken again, and a card that
    // runs dry in every try fails the test.
    const auto measure = [&](int stoppedMs, int attempt, bool& ranDry) {
        const std::string path =
            folder / ("share" + std::to_string(stoppedMs) + "-" + std::to_string(attempt) + ".wav");
        testsupport::CapturedLog log;
        testsupport::TestAlsaControls card;
        MediaGraph graph;
        FallingBehindShare share(path, {bytes.begin(), split}, {split, bytes.end()});
        ASSERT_TRUE(graph.RenderFile(path, 0)) << graph.LastError();
        ASSERT_TRUE(card.Find());
        const long long dryBefore = card.ranDryCount();
        card.arm();
        ASSERT_TRUE(graph.Run());
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return card.played() >= 0; }));
        const long long firstHeard = card.played();
        std::shared_ptr<OutputDevice> device = AudioSystem::Current().Output(0);
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); }));
        card.arm(); // the first part has played out
        std::this_thread::sleep_for(std::chrono::milliseconds(stoppedMs));
        share.Release();
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return card.played() >= 0; }));
        const long long silentMs = (card.played() - firstHeard) / 1'000'000 - firstMs;
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return graph.Completed(); }));
        graph.Stop();
        ranDry = card.ranDryCount() != dryBefore;
        if (ranDry) {
            return;
        }

        ASSERT_EQ(log.LinesWith("\"" + path + "\" was not read in time: the sound went silent for "), 1);
        const std::string& line = log.Lines().back();
        const int ms = std::stoi(line.substr(line.rfind("for ") + 4));
        const int periodMs = device->PeriodFrames() * 1000 / rate;
        EXPECT_NEAR(ms, silentMs, 2 * periodMs + 2) << "period " << periodMs << " ms";
    };
    constexpr int tries = 20;
    for (const int stoppedMs : {0, 300}) {
        SCOPED_TRACE("the share answers " + std::to_string(stoppedMs) + " ms after the card stopped");
        bool ranDry = true;
        for (int n = 0; n < tries && ranDry && !HasFatalFailure(); ++n) {
            measure(stoppedMs, n, ranDry);
        }
        EXPECT_FALSE(ranDry) << "the card ran dry in each of " << tries << " tries";
    }
}

} // namespace
