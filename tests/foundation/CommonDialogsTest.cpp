#include "foundation/CommonDialogs.h"
#include "platform/CommonDialogs.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class Dialogs : public testing::Test {
protected:
    void TearDown() override
    {
        platform::SetFolderDialogAnswer(nullptr);
        platform::SetFileDialogAnswer(nullptr);
        platform::SetColourDialogAnswer(nullptr);
    }
};

TEST_F(Dialogs, TheFolderBrowserOpensOnTheStartFolderAndAddsTheSeparator)
{
    platform::FolderDialogRequest seen;
    std::string chosen = "/srv/sounds/jingles";
    platform::SetFolderDialogAnswer([&](const platform::FolderDialogRequest& request) {
        seen = request;
        return chosen;
    });
    EXPECT_EQ(basic::BrowseForFolder("/srv/sounds/", "", nullptr), "/srv/sounds/jingles/");
    EXPECT_EQ(seen.startFolder, "/srv/sounds");
    EXPECT_EQ(seen.title, "フォルダを選択してください");
    basic::BrowseForFolder("", "Sound folder", nullptr);
    EXPECT_EQ(seen.startFolder, std::filesystem::current_path().string());
    EXPECT_EQ(seen.title, "Sound folder");
    chosen.clear();
    EXPECT_EQ(basic::BrowseForFolder("/srv", "", nullptr), "") << "cancelled";
}

TEST_F(Dialogs, TheFileDialogTakesFilterPairsAndTheDefaultFlags)
{
    platform::FileDialogRequest seen;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest& request) {
        seen = request;
        return std::string("/srv/show.tlv");
    });
    EXPECT_EQ(basic::FileDialog(nullptr, 1, "Assign table|*.tlv|All files|*.*", "/srv/", "show.tlv", -1),
              "/srv/show.tlv");
    ASSERT_EQ(seen.filters.size(), 2u);
    EXPECT_EQ(seen.filters[0], (std::pair<std::string, std::string>{"Assign table", "*.tlv"}));
    EXPECT_EQ(seen.filters[1], (std::pair<std::string, std::string>{"All files", "*.*"}));
    EXPECT_TRUE(seen.save);
    EXPECT_TRUE(seen.overwritePrompt);
    EXPECT_EQ(seen.initialFolder, "/srv");
    EXPECT_EQ(seen.fileName, "show.tlv");

    basic::FileDialog(nullptr, 0, "Wave|*.wav;*.bwf|", "", "", -1);
    EXPECT_FALSE(seen.save);
    EXPECT_TRUE(seen.mustExist) << "an open dialog takes existing files";
    EXPECT_EQ(seen.filters.size(), 1u);

    basic::FileDialog(nullptr, 1, "", "", "", 0);
    EXPECT_FALSE(seen.overwritePrompt) << "flags given are used as they are";
}

TEST_F(Dialogs, TheColourChooserOffersTheColourInUseAndKeepsItOnCancel)
{
    platform::ColourDialogRequest seen;
    std::optional<std::int32_t> chosen;
    platform::SetColourDialogAnswer([&](const platform::ColourDialogRequest& request) {
        seen = request;
        return chosen;
    });
    EXPECT_EQ(FCT_GetColor::GetColor(0x20A0F0, nullptr), 0x20A0F0);
    EXPECT_EQ(seen.custom[0], 0x20A0F0);
    for (std::size_t i = 1; i < seen.custom.size(); ++i) {
        EXPECT_EQ(seen.custom[i], 0xFFFFFF);
    }
    chosen = 0x0000FF;
    EXPECT_EQ(FCT_GetColor::GetColor(0x20A0F0, nullptr), 0x0000FF);
}

} // namespace
