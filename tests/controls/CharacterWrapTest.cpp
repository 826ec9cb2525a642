#include "controls/CharacterWrap.h"
#include "support/FakeTextMeasure.h"

#include <gmock/gmock.h>

namespace {

using testing::ElementsAre;

// Narrow characters are 10 wide, Japanese ones 20.
const testsupport::FakeTextMeasure measure(10.0);

TEST(CharacterWrap, ALineEndsBeforeTheCharacterThatWouldReachTheWidth)
{
    EXPECT_THAT(controls::WrapCharacters("abcdefgh", measure, 35.0).lines, ElementsAre("abc", "def", "gh"));
    // Reaching the width exactly is too wide.
    EXPECT_THAT(controls::WrapCharacters("abcdef", measure, 30.0).lines, ElementsAre("ab", "cd", "ef"));
    EXPECT_THAT(controls::WrapCharacters("ジングルab", measure, 45.0).lines, ElementsAre("ジン", "グル", "ab"));
    EXPECT_THAT(controls::WrapCharacters("aジb", measure, 35.0).lines, ElementsAre("aジ", "b"));
    EXPECT_THAT(controls::WrapCharacters("", measure, 35.0).lines, ElementsAre(""));
}

TEST(CharacterWrap, ACharacterWiderThanTheWidthEndsTheText)
{
    const controls::WrappedText wrapped = controls::WrapCharacters("abジc", measure, 15.0);
    EXPECT_TRUE(wrapped.endless);
    EXPECT_THAT(wrapped.lines, ElementsAre("a", "b"));
    EXPECT_FALSE(controls::WrapCharacters("abジc", measure, 25.0).endless);
}

} // namespace
