#include "platform/SystemLanguage.h"

#include <gmock/gmock.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Sets the three locale variables for one test and restores them after.
class Locale : public testing::Test {
protected:
    static constexpr std::array<const char*, 3> names{"LC_ALL", "LC_MESSAGES", "LANG"};
    void SetUp() override
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            const char* value = std::getenv(names[i]);
            saved[i] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(names[i]);
        }
    }
    void TearDown() override
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (saved[i]) {
                setenv(names[i], saved[i]->c_str(), 1);
            } else {
                unsetenv(names[i]);
            }
        }
    }
    std::array<std::optional<std::string>, 3> saved;
};

TEST_F(Locale, AJapaneseLocaleGivesTheJapaneseLanguageId)
{
    setenv("LANG", "ja_JP.UTF-8", 1);
    EXPECT_EQ(platform::SystemDefaultLangId(), 0x0411);
    setenv("LC_MESSAGES", "en_US.UTF-8", 1);
    EXPECT_EQ(platform::SystemDefaultLangId(), 0x0409) << "messages decide before LANG";
    setenv("LC_ALL", "ja_JP.eucJP", 1);
    EXPECT_EQ(platform::SystemDefaultLangId(), 0x0411) << "LC_ALL decides first";
}

TEST_F(Locale, AnyOtherOrNoLocaleIsEnglish)
{
    EXPECT_EQ(platform::SystemDefaultLangId(), 0x0409);
    setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(platform::SystemDefaultLangId(), 0x0409);
    setenv("LC_ALL", "", 1);
    setenv("LANG", "jaa", 1);
    EXPECT_EQ(platform::SystemDefaultLangId(), 0x0411);
    setenv("LANG", "de_DE", 1);
    EXPECT_EQ(platform::SystemDefaultLangId(), 0x0409);
}

} // namespace
