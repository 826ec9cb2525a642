// A copy dropped because its server file changed while it was read leaves a
// day-log line naming the file, so an operator can tell why the cache still
// holds the old sound.
#include "LocalCacheFixture.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace {

using ChangedServerSource = LocalCacheFixture;

TEST_F(ChangedServerSource, ADroppedCopyIsNamedInTheDayLog)
{
    // Three mebibytes, read in several parts; another file is renamed over it
    // as its second part is read.
    const std::string server = OnServer("news/a.wav");
    Assign(0, ServerSound("news/a.wav", std::string(3 * 1048576, '0')));
    const std::string next = scratch.Write("next.wav", std::string(3 * 1048576, '1'));
    disk.readFault = [&, reads = 0](int) mutable {
        if (++reads == 2) {
            std::filesystem::rename(next, server);
        }
        return 0;
    };
    port.CacheAll(0);
    disk.readFault = nullptr;
    EXPECT_THAT(DayLog(), testing::HasSubstr("MirrorFile: " + std::string(Server) +
                                             "news/a.wav changed while it was copied; the copy is dropped"));
}

} // namespace
