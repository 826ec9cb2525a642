// A copy counts only when its source stayed the same file from the first read
// to the last: a server file written over or replaced while it is copied
// must never leave a target that is neither the old file nor the new.
#include "FileHandFixture.h"
#include "LocalCacheFixture.h"
#include "cache/FileHandErrors.h"

#include <gmock/gmock.h>

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>

namespace {

using testing::HasSubstr;
using testing::IsEmpty;
using testsupport::ReadText;

constexpr std::int64_t Day = 1796630400;

// Bytes of one version of a sound, different at every offset from the others.
std::string Version(int version, std::size_t size = 3 * 1048576)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 13 + static_cast<std::size_t>(version) * 101) & 0xFF);
    }
    return bytes;
}

void SetWriteTime(const std::string& path, std::int64_t seconds)
{
    const timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

using ChangingServerSource = LocalCacheFixture;

// Written over in place (same file, same size, a new time), as a copy onto
// an existing file of a share does, while the second mebibyte is read.
TEST_F(ChangingServerSource, AFileWrittenOverWhileCopiedNeverBecomesTheCacheCopyAndTheNextPassCopiesIt)
{
    const std::string server = OnServer("news/a.wav");
    Assign(0, ServerSound("news/a.wav", Version(1)));
    SetWriteTime(server, Day);
    port.CacheAll(0);
    scratch.Write("unc/testhost/share/snd/news/a.wav", Version(2));
    SetWriteTime(server, Day + 60);
    std::atomic<int> reads{0};
    disk.readFault = [&](int) {
        if (++reads == 2) {
            std::fstream(server, std::ios::in | std::ios::out | std::ios::binary) << Version(3);
            SetWriteTime(server, Day + 120);
        }
        return 0;
    };
    port.CacheAll(0);
    disk.readFault = nullptr;

    EXPECT_TRUE(ReadText(Cached("news/a.wav")) == Version(1)) << "the old copy stays whole";
    for (const auto& entry : std::filesystem::directory_iterator(FCT_Quind::LocalPath + "news")) {
        EXPECT_EQ(entry.path().filename(), "a.wav") << "no temporary file is left";
    }
    EXPECT_THAT(DayLog(), HasSubstr("TranspFile Failed " + std::string(Server) + "news/a.wav"));
    port.CacheAll(0);
    EXPECT_TRUE(ReadText(Cached("news/a.wav")) == Version(3)) << "the next pass copies the new file whole";
}

// Another file renamed over the source, of the same size and time (a file
// put back from elsewhere): only which file it is tells them apart.
using ChangingSource = FileHandFixture;

TEST_F(ChangingSource, AFileReplacedUnderItsNameWhileCopiedIsNoCopyOfIt)
{
    testsupport::TestFileLayer layer;
    const std::string src = scratch.Write("src.wav", Version(1));
    const std::string target = scratch.Write("t.wav", "old");
    const std::string replacement = scratch.Write("new.wav", Version(2));
    SetWriteTime(src, Day);
    SetWriteTime(replacement, Day);
    std::atomic<int> reads{0};
    layer.readFault = [&](int) {
        if (++reads == 2) {
            std::filesystem::rename(replacement, src);
        }
        return 0;
    };
    EXPECT_EQ(engine->TranspFile(src, target, 1, 0), 0);
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_THAT(Temporaries(scratch.Path()), IsEmpty());
    EXPECT_THAT(ErrorLog(), HasSubstr("TranspFile Failed " + src + " to " + target));
}

} // namespace
