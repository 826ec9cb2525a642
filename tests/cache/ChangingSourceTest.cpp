// A copy counts only when its source stayed the same file from the first read
// to the last: a server file written over or replaced while it is copied
// must never leave a cache copy that is neither the old file nor the new.
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

constexpr std::int64_t Mebibyte = 1048576;
// Seconds of the server's file times: each version a minute after the last.
constexpr std::int64_t FirstVersionAt = 1796630400;

// Bytes of one version of a sound, different at every offset from the others.
std::string Version(int version, std::size_t size)
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

std::int64_t WriteTime(const std::string& path)
{
    struct stat status {};
    stat(path.c_str(), &status);
    return status.st_mtim.tv_sec;
}

// Writes over a file in place, as a copy onto an existing file of a share
// does: the same file (same inode), new bytes, a new last-write time.
void WriteOver(const std::string& path, const std::string& bytes, std::int64_t seconds)
{
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    SetWriteTime(path, seconds);
}

class ChangingServerSource : public LocalCacheFixture {
protected:
    static std::vector<std::string> Temporaries(const std::string& folder)
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().filename().string().starts_with("~tmp")) {
                found.push_back(entry.path().filename().string());
            }
        }
        return found;
    }
};

TEST_F(ChangingServerSource, AFileWrittenOverWhileCopiedNeverBecomesTheCacheCopyAndTheNextPassCopiesItWhole)
{
    const std::size_t size = 3 * Mebibyte;
    const std::string server = OnServer("news/a.wav");
    Assign(0, ServerSound("news/a.wav", Version(1, size)));
    SetWriteTime(server, FirstVersionAt);
    port.CacheAll(0);
    ASSERT_TRUE(ReadText(Cached("news/a.wav")) == Version(1, size));

    // The server gets version 2; while its copy reads the second mebibyte,
    // version 3 is written over it.
    scratch.Write("unc/testhost/share/snd/news/a.wav", Version(2, size));
    SetWriteTime(server, FirstVersionAt + 60);
    std::atomic<int> reads{0};
    disk.readFault = [&](int) {
        if (++reads == 2) {
            WriteOver(server, Version(3, size), FirstVersionAt + 120);
        }
        return 0;
    };
    port.CacheAll(0);
    disk.readFault = nullptr;

    ASSERT_GE(reads.load(), 3) << "the copy went on after the file was written over";
    EXPECT_TRUE(ReadText(Cached("news/a.wav")) == Version(1, size)) << "the old copy stays whole";
    EXPECT_EQ(WriteTime(Cached("news/a.wav")), FirstVersionAt);
    EXPECT_THAT(Temporaries(FCT_Quind::LocalPath + "news"), IsEmpty());
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], HasSubstr("転送元ファイルから読み込みできません"));
    EXPECT_THAT(DayLog(), HasSubstr("TranspFile Failed " + std::string(Server) + "news/a.wav"));
    EXPECT_EQ(state.AllCached, 0);
    EXPECT_EQ(Button(0).Cached, 1);

    boxes.clear();
    port.CacheAll(0);
    EXPECT_TRUE(ReadText(Cached("news/a.wav")) == Version(3, size)) << "the next pass copies the new file whole";
    EXPECT_EQ(WriteTime(Cached("news/a.wav")), FirstVersionAt + 120);
    EXPECT_THAT(boxes, IsEmpty());
    EXPECT_EQ(state.AllCached, 1);
}

// Another file renamed over the source under the same name, size and time
// (a file put back from elsewhere): the copy of the file that was opened
// would carry the new file's time and never be copied again.
using ChangingSource = FileHandFixture;

TEST_F(ChangingSource, AFileReplacedUnderItsNameWhileCopiedIsNoCopyOfIt)
{
    testsupport::TestFileLayer layer;
    const std::size_t size = 2 * Mebibyte + 1;
    const std::string src = scratch.Write("src.wav", Version(1, size));
    SetWriteTime(src, FirstVersionAt);
    const std::string target = scratch.Write("t.wav", "old");
    const std::string replacement = scratch.Write("new.wav", Version(2, size));
    SetWriteTime(replacement, FirstVersionAt);
    std::atomic<int> reads{0};
    layer.readFault = [&](int) {
        if (++reads == 2) {
            std::filesystem::rename(replacement, src);
        }
        return 0;
    };

    EXPECT_EQ(engine->TranspFile(src, target, 1, 0), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::SourceNotRead);
    EXPECT_EQ(ReadText(target), "old");
    EXPECT_THAT(Temporaries(scratch.Path()), IsEmpty());
    EXPECT_THAT(ErrorLog(), HasSubstr("TranspFile Failed " + src + " to " + target));

    layer.readFault = nullptr;
    EXPECT_EQ(engine->TranspFile(src, target, 1, 0), 1);
    EXPECT_TRUE(ReadText(target) == Version(2, size));
}

} // namespace
