#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "platform/SystemLanguage.h"
#include "support/ScratchFolder.h"

#include <gmock/gmock.h>

namespace {

using testing::HasSubstr;
using testsupport::ReadText;

class Language : public testing::Test {
protected:
    void SetUp() override
    {
        savedMode = basic::LangMode;
        basic::SettingsIniPath = program / "tolv.ini";
        basic::SettingsStoreName = "tolv";
        basic::LogFolder = logs.Path();
        basic::LogError = 1;
    }
    void TearDown() override
    {
        basic::LangMode = savedMode;
        basic::SettingsIniPath.clear();
        basic::SettingsStoreName.clear();
        basic::LogFolder.clear();
    }
    void WriteSettings(const std::string& lines) { program.Write("tolv.ini", "[conf]\n" + lines); }
    std::string Settings() const { return ReadText(program / "tolv.ini"); }

    testsupport::ScratchFolder program;
    testsupport::ScratchFolder logs;
    std::int32_t savedMode = 0;
};

TEST_F(Language, AnEnglishSystemIsEnglishWithoutReadingTheSetting)
{
    WriteSettings("LangMode=0\n");
    EXPECT_EQ(basic::DecideLangMode(platform::LangIdEnglishUnitedStates), 1);
    WriteSettings("");
    EXPECT_EQ(basic::DecideLangMode(platform::LangIdEnglishUnitedStates), 1);
    EXPECT_THAT(Settings(), testing::Not(HasSubstr("LangMode"))) << "a read would have written the default";
}

TEST_F(Language, AJapaneseSystemFollowsTheSetting)
{
    WriteSettings("LangMode=1\n");
    EXPECT_EQ(basic::DecideLangMode(platform::LangIdJapanese), 1);
    WriteSettings("LangMode=0\n");
    EXPECT_EQ(basic::DecideLangMode(platform::LangIdJapanese), 0);
    WriteSettings("");
    EXPECT_EQ(basic::DecideLangMode(platform::LangIdJapanese), 0);
    EXPECT_THAT(Settings(), HasSubstr("LangMode=0"));
}

TEST_F(Language, ASettingThatIsNoLanguageFallsBackToJapanese)
{
    for (const char* stored : {"2", "-1", "English", "1.5x"}) {
        WriteSettings(std::string("LangMode=") + stored + "\n");
        EXPECT_EQ(basic::DecideLangMode(platform::LangIdJapanese), 0) << stored;
    }
}

TEST_F(Language, TheLanguageIsDecidedOncePerRun)
{
    basic::InitLanguage();
    EXPECT_THAT(basic::LangMode, testing::AnyOf(0, 1));
    EXPECT_EQ(basic::LangDllMissing, 0);
    basic::LangMode = 5;
    basic::InitLanguage();
    EXPECT_EQ(basic::LangMode, 5);
}

TEST_F(Language, TextsComeInTheLanguageOfTheRun)
{
    basic::LangMode = 0;
    EXPECT_EQ(basic::LangText("設定", "Configuration"), "設定");
    EXPECT_EQ(basic::LangText("", "Output"), "");
    basic::LangMode = 1;
    EXPECT_EQ(basic::LangText("設定", "Configuration"), "Configuration");
    EXPECT_EQ(basic::LangText("設定", ""), "設定");
    basic::LangMode = 2;
    EXPECT_EQ(basic::LangText("設定", "Configuration"), "");
}

} // namespace
