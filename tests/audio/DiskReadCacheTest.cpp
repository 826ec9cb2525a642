// The read cache of the waveOut player: copies only what it wholly holds.
#include "audio/DiskReadCache.h"
#include "foundation/FileAccess.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <numeric>
#include <unistd.h>

namespace {

class DiskReadCacheTest : public testing::Test {
protected:
    void SetUp() override
    {
        bytes.resize(1000);
        std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
        path = folder / "data.bin";
        testsupport::WriteFile(path, bytes);
    }
    void TearDown() override { basic::CloseFileHandle(handle); }

    testsupport::ScratchFolder folder;
    testsupport::Bytes bytes;
    std::string path;
    int handle = 0;
    DiskReadCache cache;
};

TEST_F(DiskReadCacheTest, ServesRangesItHoldsAndReloadsForOnesThatReachBeyond)
{
    cache.Reserve(300);
    std::vector<std::uint8_t> out(100);
    std::size_t copied = 0;
    ASSERT_EQ(cache.Read(out, 100, 1000, 300, handle, path, copied), DiskReadCache::Result::Copied);
    EXPECT_EQ(copied, 100U);
    EXPECT_EQ(out[0], 100);
    EXPECT_EQ(cache.Start(), 100);
    EXPECT_EQ(cache.End(), 399);
    EXPECT_NE(handle, 0);
    // Wholly inside: no reload.
    ASSERT_EQ(cache.Read(out, 300, 1000, 300, handle, path, copied), DiskReadCache::Result::Copied);
    EXPECT_EQ(cache.Start(), 100);
    EXPECT_EQ(out[99], static_cast<std::uint8_t>(399));
    // Begins inside but ends beyond: reloaded from its start, never copied past
    // what the cache holds.
    ASSERT_EQ(cache.Read(out, 350, 1000, 300, handle, path, copied), DiskReadCache::Result::Copied);
    EXPECT_EQ(cache.Start(), 350);
    EXPECT_EQ(out[99], static_cast<std::uint8_t>(449));
}

TEST_F(DiskReadCacheTest, AReloadNearTheEndOfTheDataIsShortenedAndACutFileReadsShort)
{
    std::vector<std::uint8_t> out(100);
    std::size_t copied = 0;
    ASSERT_EQ(cache.Read(out, 850, 950, 300, handle, path, copied), DiskReadCache::Result::Copied);
    EXPECT_EQ(cache.End(), 949);

    ASSERT_EQ(::truncate(path.c_str(), 520), 0);
    ASSERT_EQ(cache.Read(out, 450, 1000, 300, handle, path, copied), DiskReadCache::Result::Short);
    EXPECT_EQ(copied, 70U);
    EXPECT_EQ(out[69], static_cast<std::uint8_t>(519));
    cache.Empty();
    EXPECT_TRUE(cache.IsEmpty());
    ASSERT_EQ(cache.Read(out, 600, 1000, 300, handle, path, copied), DiskReadCache::Result::Short);
    EXPECT_EQ(copied, 0U);
}

TEST_F(DiskReadCacheTest, AFailedReadLeavesNothingCachedAndTheHandleClosed)
{
    std::vector<std::uint8_t> out(100);
    std::size_t copied = 0;
    ASSERT_EQ(cache.Read(out, 0, 1000, 300, handle, path, copied), DiskReadCache::Result::Copied);
    testsupport::TestFileLayer layer;
    layer.readFault = [](int) { return -EIO; };
    EXPECT_EQ(cache.Read(out, 600, 1000, 300, handle, path, copied), DiskReadCache::Result::Failed);
    EXPECT_EQ(handle, 0);
    EXPECT_TRUE(cache.IsEmpty());
}

TEST_F(DiskReadCacheTest, AReloadWhoseReadWaitsWhileTheCacheIsReservedAnewKeepsNothingItRead)
{
    // The read waits and lets a load of another file reserve the cache anew:
    // the read lands in the memory it began with, still alive, and the cache
    // neither serves it nor holds it.
    cache.Reserve(300);
    std::vector<std::uint8_t> out(100, 0xEE);
    std::size_t copied = 0;
    testsupport::TestFileLayer layer;
    bool reserved = false;
    layer.readFault = [&](int) {
        if (!reserved) {
            reserved = true;
            cache.Reserve(4000);
        }
        return 0;
    };
    EXPECT_EQ(cache.Read(out, 100, 1000, 300, handle, path, copied), DiskReadCache::Result::Failed);
    EXPECT_TRUE(reserved);
    EXPECT_EQ(copied, 0U);
    EXPECT_TRUE(cache.IsEmpty());
    EXPECT_EQ(out[0], 0xEE);
}

} // namespace
