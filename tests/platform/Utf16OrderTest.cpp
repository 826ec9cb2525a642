// UTF-16 settings and key files without a byte order mark whose text holds a
// character that reads as "=", "[" or a line end in the other order: the
// order their ASCII text tells is the one read and written, and no save
// ever writes in the order the file is not in.
#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "platform/base/Utf16Text.h"
#include "support/ScratchRegistry.h"
#include "support/StoredTextFiles.h"
#include "support/Utf16Shapes.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

namespace {

using testing::HasSubstr;

std::string Unmarked(const std::string& text, const std::string& order)
{
    return testsupport::Utf16File(text, order).substr(2);
}

// The text of bytes without a mark read in the given order.
std::optional<std::string> ReadInOrder(const std::string& bytes, const std::string& order)
{
    return testsupport::ReadUtf16File(testsupport::Utf16File("", order) + bytes, order);
}

class Utf16Order : public testing::Test {
protected:
    Utf16Order() { std::filesystem::create_directories(std::filesystem::path(keyFile).parent_path()); }

    // Saves New=x through the settings writer (ini) or the key file writer
    // into a file of these bytes.
    platform::FileUpdate Save(bool settings, const std::string& bytes)
    {
        std::ofstream(settings ? ini : keyFile, std::ios::binary | std::ios::trunc) << bytes;
        return settings ? platform::WriteProfileString(ini, "conf", "New", "x")
                        : platform::WriteRegistryValue(keyPath, "New", "x");
    }
    std::string After(bool settings) const { return testsupport::ReadText(settings ? ini : keyFile); }

    testsupport::ScratchRegistry registry;
    const std::string ini = registry / "tolv.ini";
    const std::string keyPath = "Software\\Quorvant\\tolv";
    const std::string keyFile = *platform::RegistryKeyFile(keyPath);
};

TEST_F(Utf16Order, KeysBlanksAndPunctuationOutweighOneRareCharacter)
{
    // One line with no "=", "[" or line end of its own, and three lines with
    // a rare character in a value.
    for (const std::string order : {"LE", "BE"}) {
        for (const std::string text : {"; 朝の番組 㴀", "; ニュース 嬀", "; ਀ ഀ"}) {
            ASSERT_TRUE(Save(false, Unmarked(text, order)).ok) << order << " " << text;
            EXPECT_EQ(ReadInOrder(After(false), order), text + "\nNew=x\n") << order << " " << text;
            ASSERT_TRUE(Save(true, Unmarked(text, order)).ok) << order << " " << text;
            EXPECT_EQ(ReadInOrder(After(true), order), text + "\n[conf]\nNew=x\n") << order << " " << text;
        }
        for (const std::string text : {"[conf]\r\nTitle=嬀\r\nFOTime=1500\r\n", "a=1\nb=㴀\nc=朝のニュース\n"}) {
            ASSERT_TRUE(Save(true, Unmarked(text, order)).ok) << order << " " << text;
            EXPECT_EQ(ReadInOrder(After(true), order),
                      text.starts_with("[conf]") ? text + "New=x\r\n" : text + "[conf]\nNew=x\n");
            EXPECT_EQ(platform::ReadProfileString(ini, "conf", "Title"),
                      text.starts_with("[conf]") ? std::optional<std::string>("嬀") : std::nullopt);
        }
    }
}

TEST_F(Utf16Order, OnlyAFileAsLikelyEitherWayIsInDoubtAndLeftWhole)
{
    for (const std::string order : {"LE", "BE"}) {
        // Settings lines in neither order: "a", "b" in one order and "[" twice,
        // or LF and CR, in the other; bare words; a key that is no ASCII name.
        for (const std::string text : {"ab嬀嬀", "਀ഀab", "朝=ഀഀ", "Jingle嬀", "Studio ਀", "ഀ News", "曲=朝\r\n"}) {
            const std::string bytes = Unmarked(text, order);
            EXPECT_THAT(Save(false, bytes).failure, HasSubstr(textcodec::ByteOrderUntold)) << order << " " << text;
            EXPECT_EQ(After(false), bytes);
            EXPECT_FALSE(Save(true, bytes).ok);
            EXPECT_EQ(After(true), bytes);
        }
        // Nor may a save bring a file's order into doubt: a key that is no
        // ASCII name would.
        std::ofstream(keyFile, std::ios::binary | std::ios::trunc) << Unmarked("a=1\r\n", order);
        EXPECT_FALSE(platform::WriteRegistryValue(keyPath, "曲", "㴀").ok) << order;
        EXPECT_EQ(After(false), Unmarked("a=1\r\n", order));
    }
}

// Generated files of every shape in both orders: a save is refused with the
// file byte for byte as it was, or written so that the file, read in its
// true order, holds its text and then the new value.
TEST_F(Utf16Order, NoSaveWritesInTheOrderTheFileIsNotIn)
{
    std::mt19937 random(105);
    for (const testsupport::Utf16Shape shape : testsupport::Utf16Shapes) {
        for (const std::string order : {"LE", "BE"}) {
            int saved = 0;
            for (int i = 0; i < 25; ++i) {
                const std::string text = testsupport::Utf16ShapeText(shape, random);
                const std::string bytes = Unmarked(text, order);
                for (const bool settings : {false, true}) {
                    const platform::FileUpdate update = Save(settings, bytes);
                    const std::string after = After(settings);
                    if (!update.ok) {
                        EXPECT_EQ(after, bytes) << order << ": " << text;
                        continue;
                    }
                    ++saved;
                    const std::optional<std::string> read = ReadInOrder(after, order);
                    ASSERT_TRUE(read.has_value()) << order << ": " << text;
                    const bool valueLast =
                        read->ends_with("New=x\n") || read->ends_with("New=x\r\n") || read->ends_with("New=x\r");
                    EXPECT_TRUE(read->starts_with(text) && valueLast)
                        << "written in the other order: " << order << ": " << text;
                }
            }
            // The shapes of settings lines that hold one rare character beside
            // ASCII text all tell their order; a bare word is no settings line.
            if (shape != testsupport::Utf16Shape::Mixed) {
                EXPECT_EQ(saved, shape == testsupport::Utf16Shape::BareWord ? 0 : 50)
                    << testsupport::Utf16ShapeName(shape) << ", " << order;
            }
        }
    }
}

} // namespace
