#include "foundation/ModuleValues.h"
#include "platform/MessageBox.h"
#include "remote/RemoteAssignTable.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

RemoteAssignEntry Entry(const RemoteAssignTableData& table, int channel, int code)
{
    return table[static_cast<std::size_t>(RemoteAssignIndex(channel, code))];
}

// A program folder with an optional ".rrs" for the session, and every
// message box answered and remembered.
class RemoteAssignTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedStore_ = basic::SettingsStoreName;
        basic::SettingsStoreName = "tolv";
        basic::SetAppPath(folder_.Path());
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            messages_.push_back(request.text);
            return platform::IdOk;
        });
    }
    void TearDown() override
    {
        platform::SetMessageBoxAnswer(nullptr);
        basic::SetAppPath("");
        basic::SettingsStoreName = savedStore_;
    }
    void Load(const std::array<std::int32_t, RemoteChannels>& outputs)
    {
        remote::LoadRemoteAssignTable(table_, outputs, nullptr);
    }

    testsupport::ScratchFolder folder_;
    RemoteAssignTableData table_{};
    std::vector<std::string> messages_;
    std::string savedStore_;
};

TEST_F(RemoteAssignTableTest, WithoutFileAChannelOfOutputTwoMapsButtonsPagesAndTransport)
{
    Load({1, 0, 0, 0});
    EXPECT_EQ(Entry(table_, 0, 17), (RemoteAssignEntry{1, RemoteFunction::ButtonOn, 17}));
    EXPECT_EQ(Entry(table_, 0, 205), (RemoteAssignEntry{1, RemoteFunction::PageOn, 5}));
    EXPECT_EQ(Entry(table_, 0, 241), (RemoteAssignEntry{1, RemoteFunction::StopOn, 1}));
    EXPECT_EQ(Entry(table_, 0, 242), (RemoteAssignEntry{1, RemoteFunction::PagePlus, 1}));
    EXPECT_EQ(Entry(table_, 0, 243), (RemoteAssignEntry{1, RemoteFunction::PageMinus, 1}));
    EXPECT_EQ(Entry(table_, 0, 244), (RemoteAssignEntry{1, RemoteFunction::PlayOn, 1}));
    EXPECT_EQ(Entry(table_, 0, 245), (RemoteAssignEntry{1, RemoteFunction::StbyActivate, 1}));
    EXPECT_EQ(Entry(table_, 0, 246), (RemoteAssignEntry{1, RemoteFunction::PauseOn, 1}));
    EXPECT_EQ(Entry(table_, 0, 255), (RemoteAssignEntry{1, RemoteFunction::Code, 255}));
    // Codes with no meaning carry themselves, which the dispatcher ignores;
    // they must never turn into "play button 1".
    for (const int code : {0, 101, 150, 230, 250, 254}) {
        EXPECT_EQ(Entry(table_, 0, code), (RemoteAssignEntry{1, RemoteFunction::Code, code})) << code;
    }
    EXPECT_TRUE(messages_.empty());
}

TEST_F(RemoteAssignTableTest, AContactChannelStartsStopsAndMovesTheCursorsOfAllOutputs)
{
    Load({0, 4, 0, 0});
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(Entry(table_, 1, i), (RemoteAssignEntry{i - 1, RemoteFunction::PlayOn, 1}));
        EXPECT_EQ(Entry(table_, 1, i + 4), (RemoteAssignEntry{i - 1, RemoteFunction::StopOn, 1}));
        EXPECT_EQ(Entry(table_, 1, i + 8), (RemoteAssignEntry{i - 1, RemoteFunction::ListUp, 1}));
        EXPECT_EQ(Entry(table_, 1, i + 12), (RemoteAssignEntry{i - 1, RemoteFunction::ListDown, 1}));
    }
    EXPECT_EQ(Entry(table_, 1, 255), (RemoteAssignEntry{4, RemoteFunction::Code, 255}));
    EXPECT_EQ(Entry(table_, 1, 17), (RemoteAssignEntry{4, RemoteFunction::Code, 17}));
    // The other channels keep their own outputs.
    EXPECT_EQ(Entry(table_, 0, 3), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 3}));
}

TEST_F(RemoteAssignTableTest, FileLinesOverrideEntriesAndBadLinesAreSkippedSilently)
{
    folder_.Write("tolv.rrs", "\"Button_01-010\",\"ch2\",\"stop_on\",\"1\"\r\n"
                              "\"Button_02-241\",\"CH1\",\"PAUSE_OFF\",\"1\"\r\n"
                              "\"Button_03\",\"ch4\",\"page_on\",\"7\"\r\n"
                              "\"Button_01-020\",\"chA\",\"stop_on\",\"1\"\r\n"
                              "\"Button_01-021\",\"ch1\",\"\",\"1\"\r\n"
                              "\"Button_01-022\",\"ch1\",\"stop_on\",\"x\"\r\n"
                              "\"Button_05-001\",\"ch1\",\"stop_on\",\"1\"\r\n"
                              "\"Button_01-256\",\"ch1\",\"stop_on\",\"1\"\r\n"
                              "\"List_01-030\",\"ch1\",\"stop_on\",\"1\"\r\n"
                              "\"Button_04-100\",\"ch3\",\"whatever\",\"77\"\r\n"
                              "\"Button_04-101\",\"ch3\",\"fctna\",\"2.5\"\r\n"
                              "\"Button_01-010\",\"ch3\",\"play_off\",\"1\"\r\n");
    Load({0, 0, 0, 0});
    // The later line for the same entry wins.
    EXPECT_EQ(Entry(table_, 0, 10), (RemoteAssignEntry{2, RemoteFunction::PlayOn, 1}));
    EXPECT_EQ(Entry(table_, 1, 241), (RemoteAssignEntry{0, RemoteFunction::PauseOn, 1}));
    // A key that ends after the channel addresses code 1.
    EXPECT_EQ(Entry(table_, 2, 1), (RemoteAssignEntry{3, RemoteFunction::PageOn, 7}));
    EXPECT_EQ(Entry(table_, 3, 100), (RemoteAssignEntry{2, RemoteFunction::Code, 77}));
    EXPECT_EQ(Entry(table_, 3, 101), (RemoteAssignEntry{2, RemoteFunction::None, 2}));
    // Skipped: "chA", an empty function, a value that is not numeric.
    EXPECT_EQ(Entry(table_, 0, 20), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 20}));
    EXPECT_EQ(Entry(table_, 0, 21), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 21}));
    EXPECT_EQ(Entry(table_, 0, 22), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 22}));
    EXPECT_EQ(Entry(table_, 0, 30), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 30}));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(RemoteAssignTableTest, AValueBeyondThirtyTwoBitsStopsTheReadingAndKeepsWhatWasRead)
{
    folder_.Write("tolv.rrs", "\"Button_01-001\",\"ch2\",\"stop_on\",\"1\"\n"
                              "\"Button_01-002\",\"ch2\",\"stop_on\",\"9999999999\"\n"
                              "\"Button_01-003\",\"ch2\",\"stop_on\",\"1\"\n");
    Load({0, 0, 0, 0});
    EXPECT_EQ(Entry(table_, 0, 1), (RemoteAssignEntry{1, RemoteFunction::StopOn, 1}));
    EXPECT_EQ(Entry(table_, 0, 2), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 2}));
    EXPECT_EQ(Entry(table_, 0, 3), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 3}));
    ASSERT_EQ(messages_.size(), 1U);
    EXPECT_TRUE(messages_[0] == "Can not read Remote assign table file" ||
                messages_[0] == "リモートアサインファイルを読み込めません")
        << messages_[0];
}

TEST_F(RemoteAssignTableTest, ARebuildForgetsThePreviousTableAndItsFile)
{
    folder_.Write("tolvB.rrs", "\"Button_01-005\",\"ch4\",\"stop_on\",\"1\"\n");
    basic::SettingsStoreName = "tolvB";
    Load({0, 0, 0, 0});
    EXPECT_EQ(Entry(table_, 0, 5), (RemoteAssignEntry{3, RemoteFunction::StopOn, 1}));
    basic::SettingsStoreName = "tolv";
    Load({2, 0, 0, 0});
    EXPECT_EQ(Entry(table_, 0, 5), (RemoteAssignEntry{2, RemoteFunction::ButtonOn, 5}));
}

} // namespace
