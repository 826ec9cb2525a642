#include "foundation/CommandLine.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Entries = std::vector<std::string>;

TEST(CommandLine, OptionsInBothForms)
{
    Entries out;
    EXPECT_EQ(basic::ParseCommandLine(out, "X=", "X=10 /X=20 Y=5"), 2);
    EXPECT_EQ(out, (Entries{"10", "20"}));
    EXPECT_EQ(basic::ParseCommandLine(out, "B=", "/B=1 B /B= x=3"), 2);
    EXPECT_EQ(out, (Entries{"1", ""}));
    EXPECT_EQ(basic::ParseCommandLine(out, "W=", "/w=5"), 0) << "options are case-sensitive";
    EXPECT_TRUE(out.empty());
}

TEST(CommandLine, FileTokensOfLinuxAndWindows)
{
    Entries out;
    const std::string text = "B \"C:\\My Sounds\\a.wav\" /B=1 /X=20 /B \\\\srv\\share\\b.wav //srv/share/c.wav "
                             "/home/op/d.txt \"/home/op/with blank.wav\"  relative/e.wav d:x";
    EXPECT_EQ(basic::ParseCommandLine(out, "", text), 6);
    EXPECT_EQ(out, (Entries{"C:\\My Sounds\\a.wav", "\\\\srv\\share\\b.wav", "//srv/share/c.wav", "/home/op/d.txt",
                            "/home/op/with blank.wav", "d:x"}));
}

TEST(CommandLine, QuotesBlanksAndEmptyTexts)
{
    Entries out;
    // A closing quote ends the token: the text after it is a token of its own.
    EXPECT_EQ(basic::ParseCommandLine(out, "", "\"/a b/c\"/d/e"), 2);
    EXPECT_EQ(out, (Entries{"/a b/c", "/d/e"}));
    EXPECT_EQ(basic::ParseCommandLine(out, "", "   "), 0);
    EXPECT_EQ(out, Entries{""});
    EXPECT_EQ(basic::ParseCommandLine(out, "", "\"/tmp/unfinished quote"), 1);
    EXPECT_EQ(out, Entries{"/tmp/unfinished quote"});

    basic::SetProgramCommandLine("A /X=5 \"/home/op/list 1.txt\"");
    EXPECT_EQ(basic::ParseCommandLine(out, "X=", ""), 1);
    EXPECT_EQ(out, Entries{"5"});
    EXPECT_EQ(basic::ParseCommandLine(out, "", ""), 1);
    EXPECT_EQ(out, Entries{"/home/op/list 1.txt"});
    basic::SetProgramCommandLine("");
}

TEST(CommandLine, AFileInAMountedShareBecomesAServerPath)
{
    testsupport::ScratchFolder unc;
    setenv("TOLV_UNC_ROOT", unc.Path().c_str(), 1);
    Entries out;
    EXPECT_EQ(basic::ParseCommandLine(out, "", unc.Path() + "nas/sound/list.txt " + unc.Path() + "nas"), 2);
    EXPECT_EQ(out, (Entries{"//nas/sound/list.txt", unc.Path() + "nas"}));
    unsetenv("TOLV_UNC_ROOT");
}

} // namespace
