// The file compare of the transfer control: progress per pass, the first
// difference, and reads of at most 1 MiB through the I/O thread.
#include "FileHandFixture.h"
#include "cache/FileCompare.h"
#include "cache/FileHandErrors.h"
#include "cache/UC_FileHand.h"
#include "controls/UC_Bar.h"
#include "support/TestFileLayer.h"

#include <gmock/gmock.h>

#include <thread>

namespace {

using testing::ElementsAre;
using testing::FloatEq;
using testing::IsEmpty;

// Records the largest read and whether any read ran on the test's thread.
class WatchedReads : public testsupport::TestFileLayer {
public:
    std::int64_t Read(int fd, std::span<std::uint8_t> buffer) override
    {
        largest = std::max<std::size_t>(largest, buffer.size());
        if (std::this_thread::get_id() == testThread) {
            ++onTestThread;
        }
        return TestFileLayer::Read(fd, buffer);
    }
    std::atomic<std::size_t> largest{0};
    std::atomic<int> onTestThread{0};
    const std::thread::id testThread = std::this_thread::get_id();
};

class FileCompareTest : public FileHandFixture {
protected:
    FileCompareTest()
    {
        engine->Hooks.HikakuProg = [this](float rate) {
            compareEvents.push_back(rate);
            if (onCompare) {
                onCompare(rate);
            }
        };
    }
    std::vector<float> compareEvents;
    std::function<void(float)> onCompare;
    cache::FileCompare compare{*engine};
};

TEST_F(FileCompareTest, EmptyOrUnequalSizesAreNeverEqualAndShowNothing)
{
    const std::string empty1 = scratch.Write("e1.wav", "");
    const std::string empty2 = scratch.Write("e2.wav", "");
    const std::string shortFile = scratch.Write("short.wav", "abc");
    const std::string longFile = scratch.Write("long.wav", "abcd");
    EXPECT_EQ(compare.HikakuFile(empty1, empty2), 0);
    EXPECT_EQ(compare.HikakuFile(shortFile, longFile), 0);
    EXPECT_EQ(compare.HikakuFile(shortFile, scratch / "missing.wav"), 0);
    EXPECT_THAT(compareEvents, IsEmpty());
    EXPECT_THAT(bar, IsEmpty());
    EXPECT_THAT(messages, IsEmpty());
    EXPECT_THAT(events, IsEmpty()) << "the copy's event is not the compare's";
}

TEST_F(FileCompareTest, EqualFilesOfOneChunkAndOneByteTakeTwoPasses)
{
    constexpr std::int64_t chunk = 4096;
    const std::string a = scratch.Write("a.wav", Pattern(chunk + 1));
    const std::string b = scratch.Write("b.wav", Pattern(chunk + 1));
    EXPECT_EQ(compare.HikakuFile(a, b, 0, chunk), 1);
    EXPECT_THAT(compareEvents, ElementsAre(0.0F, FloatEq(4096.0F / 4097.0F), 1.0F));
    EXPECT_EQ(bar.back(), 1.0F);
    EXPECT_THAT(messages, ElementsAre("ファイル比較中…|0")) << "shown whatever DispFN is, and left on the face";
}

TEST_F(FileCompareTest, TheFirstDifferenceEndsTheCompare)
{
    constexpr std::int64_t chunk = 4096;
    std::string other = Pattern(3 * chunk);
    other[10] = static_cast<char>(other[10] ^ 1);
    const std::string a = scratch.Write("a.wav", Pattern(3 * chunk));
    const std::string b = scratch.Write("b.wav", other);
    EXPECT_EQ(compare.HikakuFile(a, b, 0, chunk), 0);
    EXPECT_THAT(compareEvents, ElementsAre(0.0F, 1.0F)) << "one pass, then the finish";

    std::string last = Pattern(3 * chunk);
    last.back() = static_cast<char>(last.back() ^ 1);
    const std::string c = scratch.Write("c.wav", last);
    EXPECT_EQ(compare.HikakuFile(a, c, 0, chunk), 0);
}

TEST_F(FileCompareTest, TheDefaultChunkIsEightMebibytesReadAMebibyteAtATime)
{
    WatchedReads layer;
    constexpr std::size_t size = 8388608 + 1;
    const std::string a = scratch.Write("a.wav", Pattern(size));
    const std::string b = scratch.Write("b.wav", Pattern(size));
    EXPECT_EQ(compare.HikakuFile(a, b), 1);
    EXPECT_THAT(compareEvents, ElementsAre(0.0F, FloatEq(0.99999988F), 1.0F));
    EXPECT_LE(layer.largest.load(), std::size_t{1} << 20);
    EXPECT_EQ(layer.onTestThread.load(), 0) << "every read on the I/O thread";
}

TEST_F(FileCompareTest, ACancelEndsTheCompareWithCodeOne)
{
    constexpr std::int64_t chunk = 1024;
    const std::string a = scratch.Write("a.wav", Pattern(4 * chunk));
    const std::string b = scratch.Write("b.wav", Pattern(4 * chunk));
    onCompare = [this](float rate) {
        if (rate > 0.4F) {
            engine->ProcCancel();
        }
    };
    EXPECT_EQ(compare.HikakuFile(a, b, 0, chunk), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::Cancelled);
    EXPECT_THAT(compareEvents, ElementsAre(0.0F, 0.25F, 0.5F)) << "no finish after a cancel";

    // The next compare clears the cancel but keeps the code.
    onCompare = nullptr;
    EXPECT_EQ(compare.HikakuFile(a, b, 0, chunk), 1);
    EXPECT_EQ(engine->Canceled(), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::Cancelled);
}

TEST_F(FileCompareTest, TheControlRaisesItsOwnEvent)
{
    cache::UC_FileHand control;
    control.Init(1);
    std::vector<float> rates;
    control.HikakuProg = [&rates](float rate) { rates.push_back(rate); };
    const std::string a = scratch.Write("a.wav", "same bytes");
    const std::string b = scratch.Write("b.wav", "same bytes");
    EXPECT_EQ(control.HikakuFile(a, b), 1);
    EXPECT_THAT(rates, ElementsAre(0.0F, 1.0F));
    EXPECT_EQ(control.ProgressBar()->Value(), 1000);
}

} // namespace
