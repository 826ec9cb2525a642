#include "foundation/FileAccess.h"
#include "platform/base/Hooks.h"
#include "support/ClockFixture.h"
#include "support/ScratchFolder.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using testsupport::ReadText;
using testsupport::ScratchFolder;

std::vector<std::uint8_t> Bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

std::string Text(const std::vector<std::uint8_t>& bytes)
{
    return {bytes.begin(), bytes.end()};
}

TEST(FileAccess, ReadsAndWritesBeyondFourGigabytesInASparseFile)
{
    ScratchFolder folder;
    const std::string path = folder / "big.wav";
    int handle = basic::OpenFileHandle(path, basic::OpenForReadWrite, 0);
    ASSERT_NE(handle, 0);
    const std::int64_t far = 5'000'000'000LL;
    ASSERT_EQ(basic::WriteFileAt(Bytes("tolv"), far, handle), 1);
    EXPECT_EQ(basic::GetFileSizeByHandle(handle), far + 4);
    EXPECT_EQ(basic::SeekFile(handle, far), 0);
    basic::CloseFileHandle(handle);
    EXPECT_EQ(handle, 0);

    EXPECT_EQ(basic::GetFileSizeByName(path), far + 4);
    std::vector<std::uint8_t> buffer(4);
    EXPECT_EQ(basic::ReadFileAt(buffer, far, 0, path, 1), 1);
    EXPECT_EQ(Text(buffer), "tolv");
    // The hole before it reads as zeros.
    std::vector<std::uint8_t> hole(3, 0xFF);
    EXPECT_EQ(basic::ReadFileAt(hole, far - 3, 0, path, 1), 1);
    EXPECT_EQ(hole, std::vector<std::uint8_t>(3, 0));
}

TEST(FileAccess, ReadFileAtKeepsTheHandleOpenUntilTheCallerClosesIt)
{
    ScratchFolder folder;
    const std::string path = folder.Write("a.wav", "0123456789");
    std::vector<std::uint8_t> nothing;
    int handle = basic::ReadFileAt(nothing, 0, 0, path, 0);
    ASSERT_GT(handle, 2) << "an empty read only opens";

    std::vector<std::uint8_t> buffer(4);
    EXPECT_EQ(basic::ReadFileAt(buffer, 6, handle, path, 0), handle);
    EXPECT_EQ(Text(buffer), "6789");
    // Past the end the caller gets zeros, never an earlier read's bytes.
    std::int64_t got = -1;
    EXPECT_EQ(basic::ReadFileAt(buffer, 8, handle, path, 0, &got), handle);
    EXPECT_EQ(got, 2);
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{'8', '9', 0, 0}));
    basic::CloseFileHandle(handle);

    EXPECT_EQ(basic::ReadFileAt(buffer, 0, 0, folder / "missing.wav", 0), 0);
}

TEST(FileAccess, AFailingReadClosesAPassedHandleAndLeaksNothing)
{
    ScratchFolder folder;
    const std::string path = folder.Write("a.wav", "0123456789");
    const int before = testsupport::OpenDescriptorCount();
    // A handle opened for writing cannot be read through.
    int handle = basic::OpenFileHandle(path, basic::OpenForWrite, 0);
    ASSERT_NE(handle, 0);
    std::vector<std::uint8_t> buffer(4);
    handle = basic::ReadFileAt(buffer, 0, handle, path, 0);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(testsupport::OpenDescriptorCount(), before);

    // A position the file cannot have fails the same way.
    handle = basic::OpenFileHandle(path, basic::OpenForRead, 0);
    handle = basic::ReadFileAt(buffer, -1, handle, path, 0);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(testsupport::OpenDescriptorCount(), before);
    basic::CloseFileHandle(handle); // closing 0 does nothing
    EXPECT_EQ(basic::SeekFile(0, 0), -1);
    EXPECT_EQ(basic::GetFileSizeByHandle(0), -1);
}

TEST(FileAccess, ReadWholeFileNeedsAtLeastOneByte)
{
    ScratchFolder folder;
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(basic::ReadWholeFile(bytes, folder.Write("a.txt", "line 1\r\nline 2")), 1);
    EXPECT_EQ(Text(bytes), "line 1\r\nline 2");
    EXPECT_EQ(basic::ReadWholeFile(bytes, folder.Write("empty.txt", "")), 0);
    EXPECT_EQ(basic::ReadWholeFile(bytes, folder / "missing.txt"), 0);
    EXPECT_EQ(basic::ReadWholeFile(bytes, folder.Path()), 0) << "a folder is no file";
    EXPECT_TRUE(bytes.empty());
}

TEST(FileAccess, ExistenceAndDeletion)
{
    ScratchFolder folder;
    const std::string file = folder.Write("a.wav", "x");
    EXPECT_EQ(basic::FileExists(file), 1);
    EXPECT_EQ(basic::FileExists(folder.Path()), 0);
    EXPECT_EQ(basic::FileExists("   "), 0);
    EXPECT_EQ(basic::FileExists(""), 0);

    chmod(file.c_str(), 0444);
    EXPECT_EQ(basic::DeleteFileForce(file), 1);
    EXPECT_EQ(basic::FileExists(file), 0);
    EXPECT_EQ(basic::DeleteFileForce(file), 1) << "an absent file counts as deleted";

    // Reserved device names are never touched, in any case and with any extension.
    const std::string nul = folder.Write("Nul.wav", "x");
    EXPECT_EQ(basic::DeleteFileForce(nul), 1);
    EXPECT_EQ(basic::FileExists(nul), 1);
    EXPECT_EQ(basic::IsReservedDeviceName("//srv/share/com7.txt"), 1);
    EXPECT_EQ(basic::IsReservedDeviceName("C:\\x\\clock$"), 1);
    EXPECT_EQ(basic::IsReservedDeviceName("console.wav"), 0);
    EXPECT_EQ(basic::IsReservedDeviceName("com10"), 0);

    // A symbolic link goes as a link; what it points to stays.
    const std::string target = folder.Write("target.wav", "keep");
    const std::string link = folder / "link.wav";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    EXPECT_EQ(basic::DeleteFileForce(link), 1);
    EXPECT_EQ(ReadText(target), "keep");
    EXPECT_EQ(basic::DeleteFileForce(folder.Folder("sub")), 0) << "a folder is not deleted as a file";
}

TEST(FileAccess, FilesDifferAllowsTwoSecondsAndComparesSizes)
{
    ScratchFolder folder;
    const std::string a = folder.Write("a.wav", "12345");
    const std::string b = folder.Write("b.wav", "abcde");
    testsupport::SetFileTimeSeconds(a, 1'800'000'000);
    testsupport::SetFileTimeSeconds(b, 1'800'000'002);
    EXPECT_EQ(basic::FilesDiffer(a, b, 0, 0, 0), -1);
    testsupport::SetFileTimeSeconds(b, 1'799'999'997);
    EXPECT_EQ(basic::FilesDiffer(a, b, 0, 0, 0), 1);
    EXPECT_EQ(basic::FilesDiffer(a, b, 1, 0, 0), -1) << "sizes only";
    const std::string c = folder.Write("c.wav", "123456");
    testsupport::SetFileTimeSeconds(c, 1'800'000'000);
    EXPECT_EQ(basic::FilesDiffer(a, c, 0, 0, 0), 1);
    EXPECT_EQ(basic::FilesDiffer(a, folder / "missing.wav", 0, 0, 0), 1);
    EXPECT_EQ(basic::FilesDiffer(folder / "x.wav", folder / "y.wav", 1, 0, 0), 1) << "missing files are no match";

    // Through open handles, which stay open.
    int h1 = basic::OpenFileHandle(a, basic::OpenForRead, 0);
    int h2 = basic::OpenFileHandle(c, basic::OpenForRead, 0);
    EXPECT_EQ(basic::FilesDiffer("", "", 1, h1, h2), 1);
    EXPECT_NE(basic::GetFileSizeByHandle(h1), -1);
    basic::CloseFileHandle(h1);
    basic::CloseFileHandle(h2);
}

TEST(FileAccess, ACopyKeepsContentsAndTimeSoItComparesEqual)
{
    ScratchFolder folder;
    const std::string source = folder.Write("a.wav", std::string(3'000'000, 'a') + "end");
    testsupport::SetFileTimeSeconds(source, 1'700'000'000);
    const std::string copy = folder / "cache/a.wav";
    folder.Folder("cache");
    ASSERT_EQ(basic::CopyFileOver(source, copy, 0), 1);
    EXPECT_EQ(ReadText(copy), ReadText(source));
    EXPECT_EQ(basic::FilesDiffer(source, copy, 0, 0, 0), -1);
    EXPECT_EQ(basic::GetFileTimeText(copy, 2, 3, 1, 0), basic::GetFileTimeText(source, 2, 3, 1, 0));

    // An existing writable target is replaced; a read-only one only with overwrite.
    const std::string other = folder.Write("b.wav", "bbb");
    ASSERT_EQ(basic::CopyFileOver(other, copy, 0), 1);
    EXPECT_EQ(ReadText(copy), "bbb");
    chmod(copy.c_str(), 0444);
    EXPECT_EQ(basic::CopyFileOver(source, copy, 0), 0);
    EXPECT_EQ(ReadText(copy), "bbb");
    EXPECT_EQ(basic::CopyFileOver(source, copy, 1), 1);
    EXPECT_EQ(ReadText(copy), ReadText(source));

    EXPECT_EQ(basic::CopyFileOver(folder / "missing.wav", copy, 1), 0);
    EXPECT_EQ(ReadText(copy), ReadText(source)) << "a failed copy leaves the target as it was";
    EXPECT_EQ(basic::CopyFileOver(folder.Path(), folder / "x.wav", 1), 0);
    // No temporary file is left behind.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "cache")) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"a.wav"});
}

TEST(FileAccess, CopiesOntoFileSystemsWithoutPermissionsStillWork)
{
    ScratchFolder folder;
    const std::string source = folder.Write("a.wav", "data");
    testsupport::SetFileTimeSeconds(source, 1'700'000'000);
    testsupport::TestFileLayer layer;
    layer.refuseModes = true;
    ASSERT_EQ(basic::CopyFileOver(source, folder / "stick.wav", 1), 1);
    EXPECT_EQ(basic::FilesDiffer(source, folder / "stick.wav", 0, 0, 0), -1);
    EXPECT_EQ(basic::SaveFileAtomic(folder / "stick.wav", std::string_view("new")), 1);
    EXPECT_EQ(ReadText(folder / "stick.wav"), "new");
}

TEST(FileAccess, RenameNeverReplacesAndMoveReplacesOnlyWhenAsked)
{
    ScratchFolder folder;
    const std::string a = folder.Write("a.txt", "a");
    const std::string b = folder.Write("b.txt", "b");
    EXPECT_EQ(basic::RenameFile(a, b), 0);
    EXPECT_EQ(ReadText(b), "b");
    EXPECT_EQ(basic::MoveFileOver(a, b, 0), 0);
    EXPECT_EQ(ReadText(a), "a");
    EXPECT_EQ(basic::MoveFileOver(a, b, 1), 1);
    EXPECT_EQ(ReadText(b), "a");
    EXPECT_EQ(basic::FileExists(a), 0);
    EXPECT_EQ(basic::RenameFile(b, folder / "c.txt"), 1);
    EXPECT_EQ(basic::MoveFileOver(folder / "c.txt", folder / "nul.txt", 1), 0) << "reserved target";
    EXPECT_EQ(basic::FileExists(folder / "c.txt"), 1);
}

TEST(FileAccess, AMoveToAnotherFileSystemCopiesKeepsTheTimeAndDeletesTheSource)
{
    ScratchFolder folder;
    const std::string source = folder.Write("day.log", "log lines");
    testsupport::SetFileTimeSeconds(source, 1'700'000'123);
    const std::string target = folder.Folder("other") + "day001.log";
    testsupport::TestFileLayer layer;
    const std::string sourceNative = source;
    layer.renameFault = [&](const char* from, const char*) { return from == sourceNative ? -EXDEV : 0; };

    ASSERT_EQ(basic::MoveFileOver(source, target, 1), 1);
    EXPECT_EQ(ReadText(target), "log lines");
    EXPECT_EQ(basic::FileExists(source), 0);
    struct stat st {};
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'700'000'123);

    // Without overwrite an existing target stops the move and both files stay.
    folder.Write("day.log", "new lines");
    EXPECT_EQ(basic::MoveFileOver(source, target, 0), 0);
    EXPECT_EQ(ReadText(target), "log lines");
    EXPECT_EQ(ReadText(source), "new lines");
}

TEST(FileAccess, SavesAreAtomicAndAFailedSaveKeepsTheOldFile)
{
    ScratchFolder folder;
    const std::string path = folder.Write("tolv.ini", "[conf]\r\nA=1\r\n");
    chmod(path.c_str(), 0640);
    ASSERT_EQ(basic::SaveFileAtomic(path, std::string_view("[conf]\r\nA=2\r\n")), 1);
    EXPECT_EQ(ReadText(path), "[conf]\r\nA=2\r\n");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";

    // Through a link, the file it points to is replaced and the link stays.
    const std::string link = folder / "linked.ini";
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    ASSERT_EQ(basic::SaveFileAtomic(link, std::string_view("[conf]\r\nA=2\r\n")), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    std::filesystem::remove(link);

    testsupport::TestFileLayer layer;
    layer.renameFault = [](const char*, const char*) { return -ENOSPC; };
    EXPECT_EQ(basic::SaveFileAtomic(path, std::string_view("[conf]\r\nA=3\r\n")), 0);
    EXPECT_EQ(ReadText(path), "[conf]\r\nA=2\r\n");
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "the temporary file is gone";
}

TEST(FileAccess, FileTimesAsTextInEachForm)
{
    ScratchFolder folder;
    const std::string path = folder.Write("a.wav", "x");
    testsupport::SetLocalFileTime(path, 2026, 3, 4, 5, 6, 7);
    EXPECT_EQ(basic::GetFileTimeText(path, 2, 3, 0, 0), "20260304050607");
    EXPECT_EQ(basic::GetFileTimeText(path, 2, 3, 1, 0), "2026/03/04 05:06:07");
    EXPECT_EQ(basic::GetFileTimeText(path, 2, 3, 2, 0), "2026年03月04日 05時06分07秒");
    EXPECT_EQ(basic::GetFileTimeText(path, 2, 1, 1, 0), "2026/03/04");
    EXPECT_EQ(basic::GetFileTimeText(path, 2, 2, 1, 0), "05:06:07");
    EXPECT_EQ(basic::GetFileTimeText(path, 1, 3, 1, 0), "2026/03/04 05:06:07") << "access time set alike";
    EXPECT_EQ(basic::GetFileTimeText(folder / "missing", 2, 3, 1, 0), "");
    int handle = basic::OpenFileHandle(path, basic::OpenForRead, 0);
    EXPECT_EQ(basic::GetFileTimeText("", 2, 3, 1, handle), "2026/03/04 05:06:07");
    basic::CloseFileHandle(handle);
}

TEST(FileAccess, DiskSpaceAndItsReserve)
{
    ScratchFolder folder;
    EXPECT_GT(basic::GetDiskFreeBytes(folder.Path(), 1, 0), 0.0);
    EXPECT_GT(basic::GetDiskFreeBytes(folder / "not/yet/made.wav", 1, 0), 0.0) << "its nearest folder counts";
    EXPECT_EQ(basic::GetDiskFreeBytes("relative/path", 1, 0), 0.0);
    EXPECT_EQ(basic::GetDiskFreeBytes("//", 1, 0), 0.0);
    EXPECT_EQ(basic::GetDiskFreeBytes("//host", 1, 0), 0.0);

    testsupport::TestFileLayer layer;
    layer.diskSpace = platform::DiskSpace{50'000'000'000LL, 100'000'000'000LL, 51'000'000'000LL};
    const std::int64_t reserve = 10'000'000'000LL;
    EXPECT_EQ(basic::GetDiskFreeBytes(folder.Path(), 0, reserve), 40'000'000'000.0);
    EXPECT_EQ(basic::GetDiskFreeBytes(folder.Path(), 1, reserve), 100'000'000'000.0);
    EXPECT_EQ(basic::GetDiskFreeBytes(folder.Path(), 2, reserve), 60'000'000'000.0);
    EXPECT_EQ(basic::GetDiskFreeBytes(folder.Path(), 3, reserve), 40.0);
    EXPECT_EQ(basic::GetDiskFreeBytes(folder.Path(), 4, reserve), 0.0);
}

TEST(FileAccess, BadPathsFailCleanly)
{
    ScratchFolder folder;
    const std::string keep = folder.Write("keep.wav", "x");
    // A NUL inside a path must never shorten it to another file's name.
    const std::string withNul = keep + std::string("\0.tmp", 5);
    EXPECT_EQ(basic::DeleteFileForce(withNul), 0);
    EXPECT_EQ(basic::FileExists(withNul), 0);
    EXPECT_EQ(basic::FileExists(keep), 1);
    EXPECT_EQ(basic::OpenFileHandle(withNul, basic::OpenForWrite, 0), 0);
    EXPECT_EQ(ReadText(keep), "x");

    const std::string tooLong = folder.Path() + std::string(5000, 'a');
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(basic::FileExists(tooLong), 0);
    EXPECT_EQ(basic::OpenFileHandle(tooLong, basic::OpenForRead, 0), 0);
    EXPECT_EQ(basic::GetFileSizeByName(tooLong), 0);
    EXPECT_EQ(basic::ReadWholeFile(bytes, tooLong), 0);
    EXPECT_EQ(basic::CopyFileOver(keep, tooLong, 1), 0);
    EXPECT_EQ(basic::OpenFileHandle(keep, 7, 0), 0) << "unknown mode";

    // Names with a line break or bytes that are not UTF-8 are ordinary names.
    const std::string odd = folder.Write("line\nbreak\xff\xfe.wav", "odd");
    EXPECT_EQ(basic::FileExists(odd), 1);
    EXPECT_EQ(basic::ReadWholeFile(bytes, odd), 1);
    EXPECT_EQ(basic::MoveFileOver(odd, folder / "plain.wav", 0), 1);

    // A FIFO under a file name must not hang the program.
    const std::string fifo = folder / "pipe.wav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(basic::FileExists(fifo), 0);
    EXPECT_EQ(basic::OpenFileHandle(fifo, basic::OpenForRead, 0), 0);
    EXPECT_EQ(basic::ReadWholeFile(bytes, fifo), 0);

    if (geteuid() != 0) {
        const std::string locked = folder.Write("locked.wav", "secret");
        chmod(locked.c_str(), 0);
        EXPECT_EQ(basic::ReadWholeFile(bytes, locked), 0);
        EXPECT_EQ(basic::GetFileSizeByName(locked), 0);
    }
}

} // namespace

namespace {

class FileMoveRetries : public testsupport::ClockFixture {};

TEST_F(FileMoveRetries, ATargetThatStaysLockedFailsAfterTenAttemptsAndAbout450Ms)
{
    ScratchFolder folder;
    const std::string source = folder.Write("a.txt", "a");
    SetNow(Date(2026, 5, 1), At(12, 0, 0));
    int pumps = 0;
    platform::SetPumpHook([&] { ++pumps; });
    testsupport::TestFileLayer layer;
    layer.renameFault = [](const char*, const char*) { return -EBUSY; };

    EXPECT_EQ(basic::MoveFileOver(source, folder / "b.txt", 1), 0);
    platform::SetPumpHook(nullptr);
    EXPECT_EQ(layer.renameCalls, 10);
    const std::int64_t waited = clock.MsOfDay() - At(12, 0, 0);
    EXPECT_GE(waited, 450);
    EXPECT_LT(waited, 470);
    EXPECT_GT(pumps, 0) << "window events run while it waits";
    EXPECT_EQ(ReadText(source), "a");

    // A lock that goes away after three attempts lets the fourth succeed.
    layer.renameCalls = 0;
    layer.renameFault = [&](const char*, const char*) { return layer.renameCalls <= 3 ? -EBUSY : 0; };
    EXPECT_EQ(basic::MoveFileOver(source, folder / "b.txt", 1), 1);
    EXPECT_EQ(layer.renameCalls, 4);
}

} // namespace
