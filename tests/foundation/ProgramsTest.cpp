#include "foundation/Programs.h"
#include "foundation/ModuleValues.h"
#include "foundation/Settings.h"
#include "support/ArgumentPipe.h"
#include "support/HelperProcess.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::ArgumentPipe;

TEST(RunProgram, PassesItsFirstArgumentWithBlanksIntactAndSplitsTheSecond)
{
    ArgumentPipe pipe;
    const double id = basic::RunProgram(testsupport::HelperPath("tolv_test_argdump"),
                                        "/srv/shows/Morning show \"final\".tlv", 1, "/B=1  \"two words\" x");
    EXPECT_GT(id, 0);
    EXPECT_EQ(pipe.Arguments(),
              (std::vector<std::string>{"/srv/shows/Morning show \"final\".tlv", "/B=1", "two words", "x"}));
}

TEST(RunProgram, GivesZeroForAProgramThatCannotStart)
{
    EXPECT_EQ(basic::RunProgram("/nonexistent/program", "", 1, ""), 0);
    EXPECT_EQ(basic::RunProgram("", "", 1, ""), 0);
}

TEST(RunProgram, SplitsCommandWordsAsTheCommandLineDoes)
{
    EXPECT_EQ(basic::SplitCommandWords(" a  \"b c\"d \"\" e "), (std::vector<std::string>{"a", "b cd", "", "e"}));
    EXPECT_TRUE(basic::SplitCommandWords("   ").empty());
}

TEST(OpenVolumeMixer, StartsTheProgramTheSettingNames)
{
    testsupport::ScratchFolder program;
    basic::SetAppPath(program.Path());
    basic::SettingsStoreName = "tolv";
    basic::SettingsIniPath = program.Write("tolv.ini", "[conf]\n");
    basic::SaveSetting("MixerApp", testsupport::HelperPath("tolv_test_argdump"));
    ArgumentPipe pipe;
    basic::OpenVolumeMixer();
    EXPECT_EQ(pipe.Arguments(), std::vector<std::string>()) << "started, with no arguments";
    basic::SettingsIniPath.clear();
    basic::SettingsStoreName.clear();
    basic::SetAppPath("");
}

} // namespace
