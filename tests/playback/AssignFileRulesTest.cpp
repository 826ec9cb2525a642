#include "AssignFixture.h"

#include "foundation/FileAccess.h"
#include "foundation/Settings.h"
#include "platform/CommonDialogs.h"
#include "support/TestFileLayer.h"

#include <filesystem>

using namespace playbacktest;
using testsupport::ReadText;

namespace {

const char* const OwnedByAiko = "\"user\",\"aiko\"\r\n\"Button_01-001\",\"a.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n";

} // namespace

TEST_F(AssignFixture, DefaultFileBesideTheProgramTakesTheFirstSave)
{
    EXPECT_EQ(Open(scratch / "nowhere/show.txt"), 1);
    const std::string session = basic::AppPath() + "tolv.txt";
    EXPECT_EQ(state.CurrentFilePath, session);
    EXPECT_EQ(state.CurrentFileTitle, "tolv");
    EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), session);

    state.UseTlvUser = 1;
    SetCurrentUser("aiko");
    Button(0, 0, 0).FileName = scratch / "a.wav";
    EXPECT_EQ(Save(""), 1);
    // A new file has no owner yet; its second save names one.
    EXPECT_EQ(ReadText(session), "\"Button_01-001\",\"" + (scratch / "a.wav") + "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n");
    EXPECT_EQ(Save(""), 1);
    EXPECT_EQ(AssignFile::ReadFileUser(session), "aiko");
}

TEST_F(AssignFixture, UserLockRefusesBeforeReading)
{
    SetCurrentUser("ben");
    Button(0, 0, 0).FileName = "mine.wav";
    const std::string path = scratch.Write("owned.txt", OwnedByAiko);

    state.UseTlvUser = 0;
    EXPECT_EQ(Open(path), 1);
    EXPECT_EQ(Save(path), 1);
    EXPECT_TRUE(boxes.empty());

    scratch.Write("owned.txt", OwnedByAiko);
    state.UseTlvUser = 1;
    Button(0, 0, 0).FileName = "mine.wav";
    EXPECT_EQ(Open(path), 1); // read allowed
    EXPECT_EQ(Save(path), 0);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], "This file is locked");
    EXPECT_EQ(ReadText(path), OwnedByAiko);

    boxes.clear();
    state.UseTlvUser = 2;
    Button(0, 0, 0).FileName = "mine.wav";
    state.CurrentFilePath = "before.txt";
    EXPECT_EQ(Open(path), 0);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], "This file is locked");
    EXPECT_EQ(Button(0, 0, 0).FileName, "mine.wav");
    EXPECT_EQ(state.CurrentFilePath, "before.txt");

    // The owner opens and saves it; a file without a user line is never locked.
    SetCurrentUser("aiko");
    EXPECT_EQ(Open(path), 1);
    SetCurrentUser("ben");
    EXPECT_EQ(Open(scratch.Write("free.txt", "\"Button_01-001\",\"a.wav\"\r\n")), 1);
}

TEST_F(AssignFixture, SoundLocationsRefuseBeforeReading)
{
    const std::string allowed = scratch.Folder("snd");
    const std::string path = scratch.Write(
        "loc.txt", "\"Button_01-001\",\"" + allowed + "a.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
                   "\"List_01-001\",\"C:\\other\\b.wav\",\"0\",\"0\"\r\n");
    state.SoundDriveList = {allowed};
    state.SoundDriveCount = 1;
    Button(0, 0, 0).FileName = "kept.wav";
    EXPECT_EQ(file->CheckFileSoundPaths(path), 0);
    EXPECT_EQ(Open(path), 0);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], "This file contains restricted sound drive.");
    EXPECT_EQ(Button(0, 0, 0).FileName, "kept.wav");

    state.SoundDriveList = {allowed, "c:\\OTHER"};
    state.SoundDriveCount = 2;
    EXPECT_EQ(file->CheckFileSoundPaths(path), 1);
    state.SoundDriveCount = 0;
    EXPECT_EQ(file->CheckFileSoundPaths(path), 1);
    EXPECT_EQ(file->CheckFileSoundPaths(scratch / "missing.txt"), 0);
}

TEST_F(AssignFixture, SpareCopyGoesBelowTheSpareFolder)
{
    EXPECT_EQ(AssignFile::SpareCopyPath("C:\\data\\show\\a.txt", "C:\\data\\", "E:\\spare\\"), "E:\\spare\\show\\a.txt");
    EXPECT_EQ(AssignFile::SpareCopyPath("c:\\DATA\\show\\a.txt", "C:\\data\\", "E:\\spare\\"), "E:\\spare\\show\\a.txt");
    EXPECT_EQ(AssignFile::SpareCopyPath("D:\\x\\a.txt", "C:\\data\\", "E:\\spare\\"), "E:\\spare\\a.txt");
    EXPECT_EQ(AssignFile::SpareCopyPath("D:\\x\\a.txt", "", "E:\\spare\\"), "E:\\spare\\a.txt");

    state.TlvTxtPath = scratch.Folder("data");
    state.TlvBackupPath = scratch.Folder("spare");
    Button(0, 0, 0).FileName = "a.wav";
    scratch.Folder("data/show");
    ASSERT_EQ(Save(scratch / "data/show/a.txt"), 1);
    EXPECT_EQ(ReadText(scratch / "spare/show/a.txt"), ReadText(scratch / "data/show/a.txt"));
    scratch.Folder("x");
    ASSERT_EQ(Save(scratch / "x/b.txt"), 1);
    EXPECT_EQ(ReadText(scratch / "spare/b.txt"), ReadText(scratch / "x/b.txt"));
}

TEST_F(AssignFixture, BackupCopiesTableAndSoundsOnceAndGuardsItsFolder)
{
    const std::string a = scratch.Write("snd/a.wav", "sound a");
    const std::string b = scratch.Write("snd/deep/b.wav", "sound b");
    Button(0, 0, 0).FileName = a;
    Button(1, 1, 3).FileName = a; // the same sound twice is copied once
    List(2, 0).Items[0].FileName = b;
    const std::string target = scratch.Folder("backup");
    scratch.Write("backup/stale.txt", "old");
    std::string chosen = target;
    platform::SetFolderDialogAnswer([&](const platform::FolderDialogRequest& request) {
        EXPECT_EQ(request.title, "BackUp Folder");
        return chosen;
    });

    answers = {platform::IdYes};
    file->MenuFile_Click(2);
    EXPECT_FALSE(std::filesystem::exists(target + "stale.txt"));
    EXPECT_EQ(ReadText(target + "backup.txt"),
              "\"Button_01-001\",\"a.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
              "\"Button2_02-004\",\"a.wav\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
              "\"List3_01-001\",\"b.wav\",\"0\",\"0\"\r\n");
    EXPECT_EQ(ReadText(target + "a.wav"), "sound a");
    EXPECT_EQ(ReadText(target + "b.wav"), "sound b");
    EXPECT_EQ(basic::GetSetting("BackUpPath", ""), target);

    // A copy of the same size and time is not made again; a changed sound is.
    scratch.Write("backup/a.wav", "SOUND A");
    testsupport::SetFileTimeSeconds(a, 1700000000);
    testsupport::SetFileTimeSeconds(target + "a.wav", 1700000001);
    scratch.Write("snd/deep/b.wav", "sound b, longer");
    answers = {platform::IdNo};
    file->MenuFile_Click(2);
    EXPECT_EQ(ReadText(target + "a.wav"), "SOUND A");
    EXPECT_EQ(ReadText(target + "b.wav"), "sound b, longer");

    // A folder holding an assigned sound, even further down, is never cleared.
    chosen = scratch / "snd";
    boxes.clear();
    answers = {platform::IdYes};
    file->MenuFile_Click(2);
    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_EQ(boxes[1], "Cant clear this folder.");
    EXPECT_TRUE(std::filesystem::exists(b));
    // Cancel ends before anything is written.
    chosen = scratch.Folder("other");
    answers = {platform::IdCancel};
    file->MenuFile_Click(2);
    EXPECT_FALSE(std::filesystem::exists(chosen + "backup.txt"));
    platform::SetFolderDialogAnswer(nullptr);
}

TEST_F(AssignFixture, CacheQuestionAfterOpenGoesToTheCache)
{
    state.AlertNoCache = 1;
    state.AllCached = 0;
    const std::string path = scratch.Write("c.txt", "\"Button_01-001\",\"a.wav\"\r\n");
    answers = {platform::IdYes};
    ASSERT_EQ(Open(path), 1);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], "Chache files?");
    EXPECT_GT(log.IndexOf("CacheAll 0"), log.IndexOf("CacheAll 1"));
}

TEST_F(AssignFixture, SaveMenuAppendsTheExtensionAndRedrawsTitles)
{
    Button(0, 0, 0).FileName = "a.wav";
    std::string typed = scratch / "typed";
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest& request) {
        EXPECT_TRUE(request.save);
        return typed;
    });
    file->MenuFile_Click(1);
    EXPECT_TRUE(std::filesystem::exists(scratch / "typed.txt"));
    EXPECT_EQ(state.CurrentFileTitle, "typed");
    EXPECT_GE(log.IndexOf("ShowPageTitle 0"), 0);
    typed = scratch / "Upper.TXT";
    file->MenuFile_Click(1);
    EXPECT_TRUE(std::filesystem::exists(scratch / "Upper.TXT"));
    // Nothing happens while sound plays.
    state.SomethingPlays = 1;
    typed = scratch / "playing";
    file->MenuFile_Click(1);
    EXPECT_FALSE(std::filesystem::exists(scratch / "playing.txt"));
    platform::SetFileDialogAnswer(nullptr);
}

namespace {

// The transfer control as the backup sees it: copies safely, records each
// copy, and reports a cancel once the operator pressed it.
class RecordingTransfer final : public FileTransferPort {
public:
    QWidget* Control() override { return nullptr; }
    void Init(int) override {}
    void SetDispFN(int) override {}
    int AdjustX() override { return 0; }
    int AdjustY() override { return 0; }
    int TranspFile(std::string_view source, std::string_view target, int killTarget, int killSource) override
    {
        copies.emplace_back(source);
        EXPECT_EQ(killTarget, 1);
        EXPECT_EQ(killSource, 0);
        return basic::CopyFileOver(source, target, 1);
    }
    int Canceled() override { return copies.size() >= cancelAfter ? 1 : 0; }
    bool Busy() override { return busy; }

    std::vector<std::string> copies;
    std::size_t cancelAfter = 100;
    bool busy = false;
};

} // namespace

TEST_F(AssignFixture, BackupCopiesThroughTheTransferControlAndStopsOnCancel)
{
    RecordingTransfer transfer;
    ports.FileTransfer = &transfer;
    file = std::make_unique<AssignFile>(state, ports, nullptr);
    Button(0, 0, 0).FileName = scratch.Write("snd/a.wav", "sound a");
    Button(0, 0, 1).FileName = scratch.Write("snd/b.wav", "sound b");
    Button(0, 0, 2).FileName = scratch.Write("snd/c.wav", "sound c");
    const std::string target = scratch.Folder("backup");
    platform::SetFolderDialogAnswer([&](const platform::FolderDialogRequest&) { return target; });

    // While the cache copies, the backup does nothing at all.
    transfer.busy = true;
    answers = {platform::IdNo};
    file->MenuFile_Click(2);
    EXPECT_TRUE(transfer.copies.empty());
    EXPECT_FALSE(std::filesystem::exists(target + "backup.txt"));

    // A cancel during the second copy skips the third.
    transfer.busy = false;
    transfer.cancelAfter = 2;
    answers = {platform::IdNo};
    file->MenuFile_Click(2);
    ASSERT_EQ(transfer.copies.size(), 2U);
    EXPECT_EQ(ReadText(target + "a.wav"), "sound a");
    EXPECT_FALSE(std::filesystem::exists(target + "c.wav"));
    platform::SetFolderDialogAnswer(nullptr);
}
