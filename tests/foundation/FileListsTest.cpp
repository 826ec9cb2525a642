#include "foundation/FileLists.h"
#include "support/ScratchFolder.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

namespace {

using List = std::vector<std::string>;

// A sound folder with mixed-case extensions, a sub-tree, a link to a file and
// two links that lead back up the tree.
class FileLists : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"a.WAV", "b.wav", "c.Mp3", "d.txt", "wa", "g.wav.bak", "sub/e.wav", "sub/deeper/f.WaV",
                                 "album.wav/track.wav"}) {
            folder.Write(name, "x");
        }
        symlink("b.wav", (folder / "h.wav").c_str());
        symlink(".", (folder / "loop").c_str());
        symlink("..", (folder / "sub/up").c_str());
        symlink("missing.wav", (folder / "dangling.wav").c_str());
    }
    std::string P(const std::string& name) const { return folder / name; }
    testsupport::ScratchFolder folder;
    List list;
};

TEST_F(FileLists, ExtensionFiltersIgnoreCase)
{
    EXPECT_EQ(basic::ListFiles(folder.Path(), ".wav", list, 0, 0, 1, 0, 0), 3);
    EXPECT_EQ(list, (List{P("a.WAV"), P("b.wav"), P("h.wav")}));
    EXPECT_EQ(basic::ListFiles(folder.Path(), "WAV", list, 0, 0, 1, 0, 0), 3) << "no dot, upper case";
    EXPECT_EQ(basic::ListFiles(folder.Path(), "!.wav", list, 0, 0, 1, 0, 0), 3);
    EXPECT_EQ(list, (List{P("c.Mp3"), P("d.txt"), P("g.wav.bak")})) << "a name shorter than the filter never counts";
    EXPECT_EQ(basic::ListFiles(folder.Path(), "", list, 0, 0, 1, 0, 0), 7);
}

TEST_F(FileLists, RecursionNeverFollowsLinksAndEnds)
{
    EXPECT_EQ(basic::ListFiles(folder.Path(), ".wav", list, 0, 1, 1, 0, 0), 6);
    EXPECT_EQ(list, (List{P("a.WAV"), P("album.wav/track.wav"), P("b.wav"), P("h.wav"), P("sub/deeper/f.WaV"),
                          P("sub/e.wav")}));
    // Links to folders are listed as folders, never walked into.
    EXPECT_EQ(basic::ListFiles(folder.Path(), "", list, 2, 1, 1, 0, 0), 5);
    EXPECT_EQ(list, (List{P("album.wav"), P("loop"), P("sub"), P("sub/deeper"), P("sub/up")}));
}

TEST_F(FileLists, FoldersFollowTheSearchPatternOfAPlainListing)
{
    // Without recursion the pattern "*.wav" applies to folder names too.
    EXPECT_EQ(basic::ListFiles(folder.Path(), ".wav", list, 1, 0, 1, 0, 0), 4);
    EXPECT_EQ(list, (List{P("a.WAV"), P("album.wav"), P("b.wav"), P("h.wav")}));
    EXPECT_EQ(basic::ListFiles(folder.Path(), "", list, 2, 0, 2, 0, 0), 3);
    EXPECT_EQ(list, (List{P("sub"), P("loop"), P("album.wav")})) << "descending";
}

TEST_F(FileLists, UnsortedListsComeInNameOrderWithSubFoldersFirst)
{
    EXPECT_EQ(basic::ListFiles(folder / "sub", "", list, 1, 1, 0, 0, 0), 4);
    EXPECT_EQ(list, (List{P("sub/deeper/f.WaV"), P("sub/deeper"), P("sub/e.wav"), P("sub/up")}));
}

TEST_F(FileLists, StartIndexEmptyResultsAndMissingFolders)
{
    list = {"kept 1", "kept 2", "dropped"};
    EXPECT_EQ(basic::ListFiles(folder / "sub/deeper", "", list, 0, 0, 0, 2, 0), 3);
    EXPECT_EQ(list, (List{"kept 1", "kept 2", P("sub/deeper/f.WaV")}));

    EXPECT_EQ(basic::ListFiles(folder.Path(), ".flac", list, 0, 0, 1, 0, 0), 0);
    EXPECT_EQ(list, List{""});

    list = {"untouched"};
    EXPECT_EQ(basic::ListFiles(folder / "missing", "", list, 0, 0, 0, 5, 0), 5);
    EXPECT_EQ(basic::ListFiles(folder / "a.WAV", "", list, 0, 0, 0, 0, 0), 0) << "a file is no folder";
    EXPECT_EQ(basic::ListFiles("", "", list, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(basic::ListFiles("X:\\$RECYCLE.BIN\\", "", list, 0, 0, 0, 1, 1), 1);
    EXPECT_EQ(list, List{"untouched"});
}

TEST_F(FileLists, AnUnreadableSubFolderIsSkipped)
{
    folder.Write("locked/secret.wav", "x");
    testsupport::TestFileLayer layer;
    const std::string locked = folder / "locked/";
    layer.listFault = [&](const char* path) { return path == locked ? -EACCES : 0; };
    EXPECT_EQ(basic::ListFiles(folder.Path(), ".wav", list, 0, 1, 1, 0, 0), 6);
}

TEST(ShellSort, TextIgnoresCaseNumbersByValue)
{
    List text{"b", "A", "c", "B10", "b1"};
    basic::ShellSortStrings(text, 0, 0);
    EXPECT_EQ(text, (List{"A", "b", "b1", "B10", "c"}));
    basic::ShellSortStrings(text, 1, 0);
    EXPECT_EQ(text, (List{"c", "B10", "b1", "b", "A"}));
    List numbers{"10", "9", "100", "1.5", "-2"};
    basic::ShellSortStrings(numbers, 0, 1);
    EXPECT_EQ(numbers, (List{"-2", "1.5", "9", "10", "100"}));
    List many;
    for (int i = 0; i < 200; ++i) {
        many.push_back(std::to_string((i * 37) % 200));
    }
    basic::ShellSortStrings(many, 0, 1);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(many[static_cast<std::size_t>(i)], std::to_string(i));
    }
    List empty;
    basic::ShellSortStrings(empty, 1, 0);
    EXPECT_TRUE(empty.empty());
}

TEST(Wildcards, WindowsRules)
{
    EXPECT_TRUE(basic::MatchesWildcard("A.WAV", "*.wav"));
    EXPECT_FALSE(basic::MatchesWildcard("a.wav2", "*.wav"));
    EXPECT_TRUE(basic::MatchesWildcard("noextension", "*.*"));
    EXPECT_TRUE(basic::MatchesWildcard("abc", "a?c"));
    EXPECT_FALSE(basic::MatchesWildcard("ac", "a?c"));
    EXPECT_TRUE(basic::MatchesWildcard("x.tar.gz", "*.*.gz"));
}

} // namespace
