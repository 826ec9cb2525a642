#include "foundation/VersionInfo.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(VersionBox, ShowsTheVersionAsMajorTwoDigitsFourDigits)
{
    EXPECT_EQ(basic::VersionInfoText("", 3, 3, 442, "2026/05/04 03:02:01", "studio-1"),
              "Quorvant tolv\n\nversion: 3.03.0442\n2026/05/04 03:02:01更新版\n\ncomputer name: studio-1");
    EXPECT_EQ(basic::VersionInfoText("Licensed to FM Nord", 1, 12, 5, "t", "c").substr(0, 30),
              "Licensed to FM Nord\nQuorvant t");
}

TEST(VersionBox, DatesTheRunningExecutableAndNamesTheMachine)
{
    platform::MessageBoxRequest seen;
    platform::SetMessageBoxAnswer([&](const platform::MessageBoxRequest& request) {
        seen = request;
        return platform::IdOk;
    });
    basic::ShowVersionInfo(nullptr, "");
    platform::SetMessageBoxAnswer(nullptr);
    EXPECT_EQ(seen.title, "バージョン情報");
    EXPECT_EQ(seen.style, platform::IconInformation);
    const std::string built =
        basic::GetFileTimeText(std::filesystem::read_symlink("/proc/self/exe").string(), 2, 3, 1, 0);
    ASSERT_EQ(built.size(), 19u);
    EXPECT_NE(seen.text.find("\n" + built + "更新版\n"), std::string::npos) << seen.text;
    EXPECT_NE(seen.text.find("computer name: " + basic::ComputerName()), std::string::npos);
}

} // namespace
