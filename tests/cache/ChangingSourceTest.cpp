// A copy counts only when its source stayed the same file from the first read
// to the last: a server file written over or replaced while it is copied
// must never leave a cache copy that is neither the old file nor the new.
#include "LocalCacheFixture.h"

#include <gmock/gmock.h>

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>

namespace {

using testsupport::ReadText;

constexpr time_t Day = 1796630400;

// Three mebibytes, so that a copy reads them in several parts.
std::string Version(char v)
{
    return std::string(3 * 1048576, v);
}

void SetWriteTime(const std::string& path, time_t seconds)
{
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

using ChangingServerSource = LocalCacheFixture;

TEST_F(ChangingServerSource, AFileChangedWhileCopiedNeverBecomesTheCacheCopyAndTheNextPassCopiesIt)
{
    const std::string server = OnServer("news/a.wav");
    Assign(0, ServerSound("news/a.wav", Version('0')));
    port.CacheAll(0);
    std::string cached = Version('0');
    // As its second part is read, the file is written over in place (the
    // same file and size, a new time), as a copy onto a share does; or
    // another file of its size and time is renamed over it (one put back
    // from elsewhere), told apart only by which file it is.
    for (const bool inPlace : {true, false}) {
        SCOPED_TRACE(inPlace ? "written over" : "renamed over");
        const time_t at = Day + (inPlace ? 0 : 120);
        scratch.Write("unc/testhost/share/snd/news/a.wav", Version(inPlace ? '1' : '3'));
        SetWriteTime(server, at);
        const std::string next = scratch.Write("next.wav", Version(inPlace ? '2' : '4'));
        SetWriteTime(next, inPlace ? at + 60 : at);
        disk.readFault = [&, reads = 0](int) mutable {
            if (++reads == 2 && inPlace) {
                std::fstream(server, std::ios::in | std::ios::out | std::ios::binary) << ReadText(next);
                SetWriteTime(server, at + 60);
            } else if (reads == 2) {
                std::filesystem::rename(next, server);
            }
            return 0;
        };
        port.CacheAll(0);
        disk.readFault = nullptr;
        EXPECT_TRUE(ReadText(Cached("news/a.wav")) == cached) << "the old copy stays whole";
        for (const auto& entry : std::filesystem::directory_iterator(FCT_Quind::LocalPath + "news")) {
            EXPECT_EQ(entry.path().filename(), "a.wav") << "no temporary file is left";
        }
        EXPECT_THAT(DayLog(), testing::HasSubstr("TranspFile Failed " + std::string(Server) + "news/a.wav"));
        port.CacheAll(0);
        cached = Version(inPlace ? '2' : '4');
        EXPECT_TRUE(ReadText(Cached("news/a.wav")) == cached) << "the next pass copies the new file whole";
    }
}

} // namespace
