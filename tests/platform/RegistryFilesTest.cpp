#include "platform/RegistryFiles.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// Each test gets its own registry: XDG_CONFIG_HOME points into a fresh folder.
class RegistryFiles : public testing::Test {
protected:
    static std::string Read(const fs::path& path) { return testsupport::ReadText(path.string()); }
    fs::path Registry() const { return fs::path(registry.ConfigHome()) / "Quorvant-registry"; }

    testsupport::ScratchRegistry registry;
};

TEST_F(RegistryFiles, EveryKeyIsOneFileAtItsLowerCasePath)
{
    EXPECT_EQ(platform::RegistryFolder(), Registry().string());
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\TolvB", "PlayerType", "2").ok);
    const fs::path file = Registry() / "software" / "quorvant" / "tolvb.conf";
    EXPECT_EQ(Read(file), "PlayerType=2\n");
    EXPECT_EQ(platform::ReadRegistryValue("software/quorvant/tolvb", "PLAYERTYPE"), "2");
    EXPECT_EQ(platform::ReadRegistryValue("SOFTWARE\\\\QUORVANT\\TOLVB\\", "playertype"), "2");
    EXPECT_FALSE(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "PlayerType"));

    EXPECT_FALSE(platform::RegistryKeyFile(""));
    EXPECT_FALSE(platform::RegistryKeyFile("Software\\..\\..\\escape"));
    EXPECT_FALSE(platform::WriteRegistryValue("Software\\..\\x", "A", "1").ok);
}

TEST_F(RegistryFiles, ValuesComeBackWholeWhateverTheyHold)
{
    const std::string longValue(1000, 'v');
    const std::string awkward = "50% off\r\nline two\0tail="s;
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\tolv", "Long", longValue).ok);
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\tolv", "Awkward", awkward).ok);
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\tolv", "Odd=Name", " padded ").ok);
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\tolv", "#Hash", "h").ok);
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "Long"), longValue);
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "awkward"), awkward);
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "odd=name"), " padded ");
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "#hash"), "h");
    // One line per value, whatever the value held.
    const std::string text = Read(Registry() / "software" / "quorvant" / "tolv.conf");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
}

TEST_F(RegistryFiles, AHandWrittenKeyFileReads)
{
    fs::create_directories(Registry() / "software" / "quorvant");
    std::ofstream(Registry() / "software" / "quorvant" / "common.conf") << "# written by the site's set-up script\n"
                                                                        << "CurrentQuorUser = 山田\n"
                                                                        << "DebugLogPath=\\\\server\\logs\\50%\n";
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\common", "currentquoruser"), " 山田");
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\common", "DebugLogPath"), "\\\\server\\logs\\50%");
    EXPECT_FALSE(platform::ReadRegistryValue("Software\\Quorvant\\common", "# written by the site's set-up script"));
}

TEST_F(RegistryFiles, DeletingAValueOrAKeyLeavesEverythingElse)
{
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\tolv", "A", "1").ok);
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\tolv", "B", "2").ok);
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\tolvB", "A", "3").ok);

    ASSERT_TRUE(platform::DeleteRegistryValue("Software\\Quorvant\\tolv", "a").ok);
    EXPECT_FALSE(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "A"));
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "B"), "2");
    EXPECT_TRUE(platform::DeleteRegistryValue("Software\\Quorvant\\missing", "A").ok);
    EXPECT_FALSE(fs::exists(Registry() / "software" / "quorvant" / "missing.conf"));

    ASSERT_TRUE(platform::DeleteRegistryKey("Software\\Quorvant\\TOLV").ok);
    EXPECT_FALSE(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "B"));
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolvB", "A"), "3");

    // A key with sub-keys stays, with its values.
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\tolvB\\Sub", "S", "4").ok);
    EXPECT_FALSE(platform::DeleteRegistryKey("Software\\Quorvant\\tolvB").ok);
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolvB", "A"), "3");
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolvB\\sub", "S"), "4");
}

TEST_F(RegistryFiles, ADamagedKeyFileKeepsItsOtherLines)
{
    const fs::path file = Registry() / "software" / "quorvant" / "tolv.conf";
    fs::create_directories(file.parent_path());
    const std::string damaged = "no equals sign\n\x01\x02\x03=control\nGood=1\nTrailing"s;
    std::ofstream(file, std::ios::binary) << damaged;
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "Good"), "1");
    EXPECT_FALSE(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "Trailing"));
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\tolv", "Good", "2").ok);
    ASSERT_TRUE(platform::WriteRegistryValue("Software\\Quorvant\\tolv", "New", "3").ok);
    EXPECT_EQ(Read(file), "no equals sign\n\x01\x02\x03=control\nGood=2\nTrailing\nNew=3\n"s);
}

// A mark at the start of the second line is that line's text; removing the
// first line must not make it the file's mark, which the next read drops.
TEST_F(RegistryFiles, RemovingTheFirstLineLeavesTheNextLineItsText)
{
    const fs::path file = Registry() / "software" / "quorvant" / "tolv.conf";
    fs::create_directories(file.parent_path());
    const std::string marked = "\xEF\xBB\xBF"
                               "B";
    std::ofstream(file, std::ios::binary) << "A=1\n" + marked + "=Café\n";
    ASSERT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolv", marked), "Café");
    ASSERT_TRUE(platform::DeleteRegistryValue("Software\\Quorvant\\tolv", "A").ok);
    EXPECT_EQ(platform::ReadRegistryValue("Software\\Quorvant\\tolv", marked), "Café");
    EXPECT_FALSE(platform::ReadRegistryValue("Software\\Quorvant\\tolv", "B"));
}

} // namespace
