// Damaged assign tables: the reader never crashes, and a table it read, once
// saved, reads back equal.
#include "CorruptionLoop.h"

#include "mainwindow/MainState.h"
#include "playback/AssignFileFormat.h"
#include "playback/AssignPaths.h"
#include "playback/AssignRecords.h"

#include <gtest/gtest.h>

namespace {

using namespace acceptance;

constexpr std::string_view TablePath = "/srv/tables/show.txt";

const CorruptionKind& Kind()
{
    static const CorruptionKind kind{
        "assign",
        {ToBytes("\"user\",\"aiko\"\r\n"
                 "\"BankName_01\",\"Opening\"\r\n"
                 "\"Button_01-001\",\"\\\\srv\\snd\\a.wav\",\"1\",\"-20\",\"&HFF\",\"&H0\"\r\n"
                 "\"Button3_20-100\",\"b.wav\",\"2\",\"250\",\"&HFFFFFFFF\",\"&HFFFFFFF0\"\r\n"
                 "\"ListName2_03\",\"Late\"\r\n"
                 "\"List2_03-002\",\"C:\\l\\c.wav\",\"1\",\"300\"\r\n"
                 "\"List4_20-999\",\"/srv/snd/d.wav\",\"0\",\"0\"\r\n"),
         ToBytes("\"BankName4_10\",\"\xE6\x9C\x9D\xE3\x81\xAE\"\n"
                 "\"Button2_05-050\",\"//host/share/\xE9\x9F\xB3.wav\",\"3\",\"0\",\"&H0\",\"&H0\"\n"
                 "\"List_01-001\",\"e.wav\",\"1\",\"1500\"\r"),
         ToBytes("\"Button_01-001\",\"a, b.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n")},
        64 * 1024};
    return kind;
}

// A state that saves every page, button and output, so nothing the reader
// took is left out of the save.
void MakeFull(MainState& state)
{
    state.PageNum = AssignPages;
    state.NumOut = AssignOutputs;
    state.ButtonsPerPage.fill(AssignButtons);
}

// Characters a field cannot hold, so the writer drops or replaces them; a
// caption also has its commas replaced.
bool PathStorable(const std::string& text)
{
    return text.find_first_of(std::string_view("\"\r\n\t\b\0", 6)) == std::string::npos;
}
bool CaptionStorable(const std::string& text)
{
    return PathStorable(text) && text.find(',') == std::string::npos && text.find("\xEF\xBC\x8C") == std::string::npos;
}

void ExpectSameRecord(const AssignRecord& read, const AssignRecord& again, bool button)
{
    if (PathStorable(read.FileName)) {
        EXPECT_EQ(read.FileName, again.FileName);
    }
    EXPECT_EQ(read.StartMS, again.StartMS);
    if (button) {
        EXPECT_EQ(read.PlayMode, again.PlayMode);
        EXPECT_EQ(read.TextColor, again.TextColor);
        EXPECT_EQ(read.BackColor, again.BackColor);
    }
}

void CheckAssignTable(std::span<const std::uint8_t> input)
{
    MainState state;
    MakeFull(state);
    AssignTableSet first = playback::FreshTablesForRead(state);
    const playback::AssignParseResult parsed = playback::ParseAssignFile(input, TablePath, {}, first);
    if (parsed.BadLine != 0) {
        return; // a table with a bad line is refused whole
    }
    const AssignTableSet read = first;
    playback::ReplaceTables(state, std::move(first));
    const std::string saved = playback::BuildAssignFile(state, TablePath, playback::PathFull, std::nullopt);

    AssignTableSet again = playback::FreshTablesForRead(state);
    const auto bytes = ToBytes(saved);
    ASSERT_EQ(playback::ParseAssignFile(bytes, TablePath, {}, again).BadLine, 0) << saved;
    for (int i = 0; i < AssignOutputs * AssignPages; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (CaptionStorable(read.BankName[at])) {
            EXPECT_EQ(read.BankName[at], again.BankName[at]);
        }
        if (CaptionStorable(read.ListName[at])) {
            EXPECT_EQ(read.ListName[at], again.ListName[at]);
        }
    }
    for (std::size_t i = 0; i < read.ButtonTable.size(); ++i) {
        if (!read.ButtonTable[i].FileName.empty()) {
            ExpectSameRecord(read.ButtonTable[i], again.ButtonTable[i], true);
        } else {
            EXPECT_EQ(again.ButtonTable[i].FileName, "");
        }
    }
    for (std::size_t page = 0; page < read.ListTable.size(); ++page) {
        const ListPage& list = read.ListTable[page];
        const ListPage& back = again.ListTable[page];
        ASSERT_EQ(list.Items.size(), list.Seq.size());
        // Rows beyond 999 cannot be keyed in a file.
        const std::size_t kept = std::min<std::size_t>(list.Items.size(), 999);
        for (std::size_t item = 0; item < kept; ++item) {
            if (list.Items[item].FileName.empty()) {
                continue;
            }
            ASSERT_LT(item, back.Items.size());
            ExpectSameRecord(list.Items[item], back.Items[item], false);
            EXPECT_EQ(list.Seq[item] == 1, back.Seq[item] == 1);
        }
    }
}

TEST(CorruptionLoop, AssignTables)
{
    RunCorruptionLoop(Kind(), CheckAssignTable);
}

TEST(RegressCases, AssignTables)
{
    ReplayRegressCases(Kind().name, CheckAssignTable);
}

} // namespace
