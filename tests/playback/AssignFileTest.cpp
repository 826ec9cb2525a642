#include "AssignFixture.h"

#include "foundation/Drives.h"
#include "foundation/Settings.h"
#include "platform/base/TextCodec.h"
#include "support/TestFileLayer.h"

using namespace playbacktest;
using testsupport::ReadText;

namespace {

std::string Cp932(std::string_view utf8)
{
    return textcodec::EncodeCp932(utf8);
}

} // namespace

// Written, read back and written again, the bytes are the same: negative
// colours, Japanese captions, the user line and list gaps included.
TEST_F(AssignFixture, RoundTripGivesIdenticalBytes)
{
    state.UseTlvUser = 1;
    SetCurrentUser("山田");
    const std::string sound = scratch / "snd/a.wav";
    Button(0, 0, 0) = {sound, 0, 0, 1, 0, 250, -16, -1};
    Button(1, 2, 5) = {"\\\\srv\\snd\\b.wav", 0, 0, 2, 0, -200, 0xFFFFFF, 0x0000FF};
    BankName(0, 0) = "朝のニュース";
    ListName(3, 1) = "リスト";
    ListPage& list = List(2, 0);
    list.Items.resize(3);
    list.Seq = {0, 0, 1};
    list.Items[0].FileName = "c.wav path\\c.wav";
    list.Items[2].FileName = sound;
    list.Items[2].StartMS = 1500;

    const std::string first = scratch / "first.txt";
    ASSERT_EQ(file->WriteAssignFile(first, 1, 0), 1);
    ASSERT_EQ(Open(first), 1);
    const std::string second = scratch / "second.txt";
    ASSERT_EQ(file->WriteAssignFile(second, 1, 0), 1);
    EXPECT_EQ(ReadText(first), ReadText(second));

    const std::string text = ReadText(first);
    EXPECT_EQ(text.rfind("\"user\",\"山田\"\r\n", 0), 0U) << text;
    EXPECT_NE(text.find("\"Button_01-001\",\"" + sound + "\",\"1\",\"250\",\"&HFFFFFFFF\",\"&HFFFFFFF0\"\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\"List3_01-003\",\"" + sound + "\",\"1\",\"1500\"\r\n"), std::string::npos);
    EXPECT_EQ(text.find("List3_01-002"), std::string::npos);
    // The gap reads back as an empty item.
    ASSERT_EQ(List(2, 0).Items.size(), 3U);
    EXPECT_EQ(List(2, 0).Items[1].FileName, "");
    EXPECT_EQ(Button(0, 0, 0).TextColor, -1);
    EXPECT_EQ(Button(0, 0, 0).BackColor, -16);
}

TEST_F(AssignFixture, HandWrittenFileReadsIntoExactlyTheRecords)
{
    state.DefaultButtonOption = 3;
    Button(0, 0, 1).BackColor = 0x123456; // colours of a reset button stay
    Button(0, 0, 1).FileName = "old.wav";
    Button(3, 19, 99).FileName = "beyond the grid.wav";
    const std::string folder = scratch.Folder("tables");
    const std::string path = scratch.Write("tables/show.txt",
                                           "\"user\",\"aiko\"\r\n"
                                           "\"BankName_01\",\"Opening\"\r\n"
                                           "\"Button_01-001\",\"\\\\srv\\snd\\a.wav\",\"1\",\"-20\",\"&HFF\",\"&H0\"\r\n"
                                           "\"button4_20-100\",\"b.wav\",\"x\",\"\",\"red\",\"&HFFFFFFFF\"\r\n"
                                           "\"ListName2_03\",\"Late\"\r\n"
                                           "\"List2_03-002\",\"C:\\l\\c.wav\",\"1\",\"300\"\r\n"
                                           "\"Foo_01-001\",\"skipped\"\r\n"
                                           "\r\n");
    ASSERT_EQ(Open(path), 1);

    const AssignRecord& first = Button(0, 0, 0);
    EXPECT_EQ(first.FileName, "\\\\srv\\snd\\a.wav");
    EXPECT_EQ(first.PlayMode, 1);
    EXPECT_EQ(first.StartMS, -20);
    EXPECT_EQ(first.TextColor, 0xFF);
    EXPECT_EQ(first.BackColor, 0);
    EXPECT_EQ(first.Invalid, 1); // its server does not answer
    const AssignRecord& last = Button(3, 19, 99);
    EXPECT_EQ(last.FileName, folder + "b.wav");
    EXPECT_EQ(last.PlayMode, 3); // not numeric: the default stays
    EXPECT_EQ(last.StartMS, 0);
    EXPECT_EQ(last.TextColor, 0);
    EXPECT_EQ(last.BackColor, -1);
    const AssignRecord& reset = Button(0, 0, 1);
    EXPECT_EQ(reset.FileName, "");
    EXPECT_EQ(reset.PlayMode, 3);
    EXPECT_EQ(reset.BackColor, 0x123456);
    EXPECT_EQ(BankName(0, 0), "Opening");
    EXPECT_EQ(ListName(1, 2), "Late");
    const ListPage& list = List(1, 2);
    ASSERT_EQ(list.Items.size(), 2U);
    EXPECT_EQ(list.Items[0].FileName, "");
    EXPECT_EQ(list.Items[1].FileName, "C:\\l\\c.wav");
    EXPECT_EQ(list.Seq[1], 1);
    EXPECT_EQ(list.Items[1].StartMS, 300);
    EXPECT_EQ(state.CurrentFilePath, path);
    EXPECT_EQ(state.CurrentFileTitle, "show");
    EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), path);
    // After the read: the cache check and page 1 of every output.
    EXPECT_GE(log.IndexOf("CacheAll 1"), 0);
    EXPECT_GT(log.IndexOf("ChangePage 0 0 1"), log.IndexOf("CacheAll 1"));
}

TEST_F(AssignFixture, Cp932FileWithWindowsPathsMapsRootsAndStaysCp932)
{
    const std::string path = scratch / "cp932.txt";
    const std::string root = basic::GetPathRoot(path, 0);
    ASSERT_FALSE(root.empty());
    state.SyncDrive = {"S:\\", root};
    const std::string text = "\"BankName_01\",\"朝の番組\"\r\n"
                             "\"Button_01-001\",\"\\\\srv\\snd\\a.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
                             "\"Button_01-002\",\"S:\\x\\b.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n";
    scratch.Write("cp932.txt", Cp932(text));
    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(BankName(0, 0), "朝の番組");
    EXPECT_EQ(Button(0, 0, 0).FileName, "\\\\srv\\snd\\a.wav");
    EXPECT_EQ(Button(0, 0, 1).FileName, root + "x\\b.wav");
    EXPECT_EQ(file->CurrentEncoding(), textcodec::Encoding::Cp932);

    ASSERT_EQ(Save(""), 1);
    EXPECT_EQ(ReadText(path), Cp932(text));

    // A new file is UTF-8.
    const std::string fresh = scratch / "fresh.txt";
    ASSERT_EQ(Save(fresh), 1);
    EXPECT_TRUE(textcodec::IsValidUtf8(ReadText(fresh)));
    EXPECT_NE(ReadText(fresh).find("朝の番組"), std::string::npos);
}

TEST_F(AssignFixture, SyncDriveMapsOnlyTablesOnTheActualRoot)
{
    // The table lies on another root: both forms pass unchanged.
    state.SyncDrive = {"S:\\", "\\\\srv\\"};
    const std::string path =
        scratch.Write("other.txt", "\"Button_01-001\",\"s:\\x\\a.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n");
    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(Button(0, 0, 0).FileName, "s:\\x\\a.wav");
    Button(0, 0, 1).FileName = "\\\\SRV\\x\\b.wav";
    ASSERT_EQ(Save(""), 1);
    EXPECT_NE(ReadText(path).find("\"\\\\SRV\\x\\b.wav\""), std::string::npos);
}

TEST_F(AssignFixture, BadFiftiethLineChangesNothing)
{
    Button(0, 0, 0).FileName = "keep.wav";
    BankName(0, 1) = "Kept";
    const std::string good = scratch.Write("good.txt", "");
    state.CurrentFilePath = good;
    state.CurrentFileTitle = "good";
    basic::SaveSetting("LastTlvFilename", good);
    std::string text;
    for (int i = 1; i <= 49; ++i) {
        text += "\"Button_01-" + std::string(i < 10 ? "00" : "0") + std::to_string(i) + "\",\"x" + std::to_string(i) +
                ".wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n";
    }
    text += "\"Button_01-101\",\"too far.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n";
    text += "\"Button_01-050\",\"after.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n";
    const std::string bad = scratch.Write("bad.txt", text);

    EXPECT_EQ(Open(bad), 0);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], "Can not read assign table file");
    EXPECT_EQ(Button(0, 0, 0).FileName, "keep.wav");
    EXPECT_EQ(Button(0, 0, 1).FileName, "");
    EXPECT_EQ(BankName(0, 1), "Kept");
    EXPECT_EQ(state.CurrentFilePath, good);
    EXPECT_EQ(state.CurrentFileTitle, "good");
    EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), good);
    EXPECT_EQ(log.IndexOf("ChangePage 0 0 1"), -1);

    // Other keys outside the tables: output digit 5, page 21, list item 000.
    for (const char* line : {"\"Button5_01-001\",\"a\"", "\"BankName_21\",\"a\"", "\"List_01-000\",\"a\""}) {
        boxes.clear();
        EXPECT_EQ(Open(scratch.Write("bad2.txt", std::string(line) + "\r\n")), 0) << line;
        EXPECT_EQ(boxes.size(), 1U) << line;
    }
    EXPECT_EQ(Button(0, 0, 0).FileName, "keep.wav");
}

TEST_F(AssignFixture, FailedRenameKeepsTheOldFile)
{
    const std::string path = scratch.Write("show.txt", "\"Button_01-001\",\"old.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n");
    const std::string before = ReadText(path);
    Button(0, 0, 0).FileName = "new.wav";
    testsupport::TestFileLayer layer;
    layer.renameFault = [](const char*, const char*) { return -EIO; };
    EXPECT_EQ(Save(path), 0);
    EXPECT_EQ(ReadText(path), before);
    layer.renameFault = nullptr;
    EXPECT_EQ(Save(path), 1);
    EXPECT_NE(ReadText(path).find("new.wav"), std::string::npos);
}

TEST_F(AssignFixture, CaptionsAndUserAreCleanedSoTheLineHolds)
{
    state.UseTlvUser = 1;
    SetCurrentUser("a,\"b");
    BankName(0, 0) = "News, \"live\"";
    ListName(0, 0) = "line\r\nbreak";
    Button(0, 0, 0).FileName = scratch / "a,b，c.wav";
    const std::string path = scratch / "clean.txt";
    ASSERT_EQ(file->WriteAssignFile(path, 1, 0), 1);
    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(BankName(0, 0), "News. ”live”");
    EXPECT_EQ(ListName(0, 0), "linebreak");
    // A file name keeps its commas: it must still name the same file.
    EXPECT_EQ(Button(0, 0, 0).FileName, scratch / "a,b，c.wav");
    EXPECT_EQ(AssignFile::ReadFileUser(path), "a.”b");
    const std::string again = scratch / "again.txt";
    ASSERT_EQ(file->WriteAssignFile(again, 1, 0), 1);
    EXPECT_EQ(ReadText(again), ReadText(path));
}

TEST_F(AssignFixture, NamesOnlyModeStoresFileNamesBesideTheTable)
{
    Button(0, 0, 0).FileName = "\\\\srv\\snd\\a.wav";
    const std::string path = scratch / "names/t.txt";
    scratch.Folder("names");
    ASSERT_EQ(file->WriteAssignFile(path, 0, 1), 1);
    EXPECT_EQ(ReadText(path), "\"Button_01-001\",\"a.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n");
    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(Button(0, 0, 0).FileName, scratch / "names/a.wav");
}

TEST_F(AssignFixture, EmptyFileClearsMissingFileKeeps)
{
    Button(0, 0, 0).FileName = "a.wav";
    BankName(0, 0) = "Caption";
    EXPECT_EQ(Open(scratch / "missing.txt"), 1);
    EXPECT_EQ(Button(0, 0, 0).FileName, "a.wav");
    EXPECT_EQ(Open(scratch.Write("empty.txt", "")), 1);
    EXPECT_EQ(Button(0, 0, 0).FileName, "");
    EXPECT_EQ(BankName(0, 0), "");
}
