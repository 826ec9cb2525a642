#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/FileLists.h"
#include "foundation/Folders.h"
#include "platform/IoThread.h"
#include "platform/MountTable.h"
#include "platform/ServerPaths.h"
#include "platform/base/GivenUpFiles.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"
#include "support/ScratchFolder.h"
#include "support/TestFileLayer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

using testsupport::ReadText;

std::vector<std::uint8_t> Bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

// A share "//nas/sound" mounted under a temporary unc root, reached through
// the test file layer. Virtual time moves on with each dispatched event only
// while the layer holds a call: then the server is what the caller waits
// for, not the I/O thread, which answers in real time however late it runs.
class ServerFiles : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        setenv("TOLV_UNC_ROOT", unc.Path().c_str(), 1);
        unc.Write("nas/sound/a.wav", "RIFF0123");
        SetNow(Date(2026, 6, 1), At(10, 0, 0));
        platform::SetPumpHook([this] {
            ++pumps;
            if (layer.heldCalls == 0) {
                return;
            }
            ++heldPumps;
            clock.Advance(stepMs);
            if (heldPumps == releaseAfter) {
                layer.Release();
            }
        });
        platform::SetRefillHook([this] { ++refills; });
        platform::SetLogSink([this](std::string_view text, int) { logged += std::string(text) + "\n"; });
    }
    void TearDown() override
    {
        layer.Release();
        platform::io::WaitUntilIdle();
        platform::SetPumpHook(nullptr);
        platform::SetRefillHook(nullptr);
        platform::SetLogSink(nullptr);
        platform::io::SetWaitLimitMs(15000);
        unsetenv("TOLV_UNC_ROOT");
    }

    testsupport::ScratchFolder unc;
    testsupport::TestFileLayer layer;
    int pumps = 0;
    // Pumps while a call was held: the ones that moved the clock.
    int heldPumps = 0;
    int refills = 0;
    int stepMs = 5;
    int releaseAfter = 10;
    std::string logged;
};

TEST_F(ServerFiles, AReadWaitsWhileEventsRunAndPlayersAreFed)
{
    layer.Hold("nas/sound", false);
    std::vector<std::uint8_t> buffer(4);
    EXPECT_EQ(basic::ReadFileAt(buffer, 4, 0, "\\\\nas\\sound\\a.wav", 1), 1);
    EXPECT_EQ(buffer, Bytes("0123"));
    EXPECT_GE(heldPumps, 10);
    EXPECT_GE(refills, 2) << "at least every 20 ms of the wait";
    EXPECT_GT(layer.offThreadCalls, 0) << "the server was asked from the I/O thread";
}

TEST_F(ServerFiles, LocalFilesAreReadAtOnce)
{
    testsupport::ScratchFolder local;
    std::vector<std::uint8_t> buffer(2);
    EXPECT_EQ(basic::ReadFileAt(buffer, 0, 0, local.Write("b.wav", "ok"), 1), 1);
    EXPECT_EQ(pumps, 0);
    EXPECT_EQ(layer.offThreadCalls, 0);
}

TEST_F(ServerFiles, ReadsThroughAHandleOfAServerFile)
{
    std::vector<std::uint8_t> nothing;
    int handle = basic::ReadFileAt(nothing, 0, 0, "//nas/sound/a.wav", 0);
    ASSERT_NE(handle, 0);
    layer.Hold("", true);
    releaseAfter = heldPumps + 3;
    std::vector<std::uint8_t> buffer(4);
    EXPECT_EQ(basic::ReadFileAt(buffer, 0, handle, "//nas/sound/a.wav", 0), handle);
    EXPECT_EQ(buffer, Bytes("RIFF"));
    EXPECT_EQ(basic::GetFileSizeByHandle(handle), 8);
    basic::CloseFileHandle(handle);
}

TEST_F(ServerFiles, ListingsCopiesAndSavesOnAShare)
{
    layer.Hold("nas", false);
    std::vector<std::string> list;
    EXPECT_EQ(basic::ListFiles("//nas/sound", ".WAV", list, 0, 1, 1, 0, 0), 1);
    EXPECT_EQ(list, std::vector<std::string>{"//nas/sound/a.wav"});

    testsupport::ScratchFolder cache;
    EXPECT_EQ(basic::CopyFileOver("//nas/sound/a.wav", cache / "a.wav", 1), 1);
    EXPECT_EQ(basic::FilesDiffer("//nas/sound/a.wav", cache / "a.wav", 0, 0, 0), -1);
    EXPECT_EQ(basic::MakeFolderTree("//nas/sound/lists/2026"), 1);
    EXPECT_EQ(basic::SaveFileAtomic("//nas/sound/lists/2026/show.txt", std::string_view("\"1\",\"a.wav\"\r\n")), 1);
    EXPECT_EQ(ReadText(unc / "nas/sound/lists/2026/show.txt"), "\"1\",\"a.wav\"\r\n");
    EXPECT_EQ(basic::DeleteFolderContents("//nas/sound/lists", 0, 0, "", 0), 1);
    EXPECT_EQ(basic::FolderExists("//nas/sound/lists"), 0);
}

TEST_F(ServerFiles, AServerThatDoesNotAnswerIsGivenUpAndNothingLeaks)
{
    unc.Write("nas/sound/slow.wav", "slow");
    const int before = testsupport::OpenDescriptorCount();
    layer.Hold("slow", false);
    releaseAfter = -1;
    stepMs = 1000;
    EXPECT_EQ(basic::OpenFileHandle("//nas/sound/slow.wav", basic::OpenForRead, 0), 0);
    EXPECT_EQ(basic::SystemErrorText(0), std::strerror(ETIMEDOUT));
    EXPECT_GE(heldPumps, 15);
    EXPECT_LE(heldPumps, 17);
    EXPECT_NE(logged.find("timed out"), std::string::npos) << logged;
    EXPECT_NE(logged.find("slow.wav"), std::string::npos) << logged;

    // Other shares go on while the stuck one waits for its server. The
    // stuck call stays held, so the clock stands still from here: this call
    // is timed against nothing but its own worker.
    unc.Write("nas/other/b.wav", "other");
    stepMs = 0;
    EXPECT_EQ(basic::FileExists("//nas/other/b.wav"), 1);
    EXPECT_EQ(layer.heldCalls, 1);

    // Neither the stuck file nor another file of its share is asked, however
    // often: each call fails at once instead of waiting the whole limit.
    stepMs = 1000;
    const int pumpsBefore = heldPumps;
    EXPECT_EQ(basic::FileExists("//nas/sound/slow.wav"), 0);
    EXPECT_EQ(basic::OpenFileHandle("//nas/sound/slow.wav", basic::OpenForRead, 0), 0);
    EXPECT_EQ(basic::FileExists("//nas/sound/a.wav"), 0);
    EXPECT_EQ(heldPumps, pumpsBefore);
    EXPECT_EQ(layer.heldCalls, 1);
    EXPECT_NE(logged.find("not made"), std::string::npos) << logged;

    // When the late open comes back, its descriptor is closed, not leaked,
    // and the share is asked again.
    layer.Release();
    platform::io::WaitUntilIdle();
    EXPECT_EQ(testsupport::OpenDescriptorCount(), before);
    EXPECT_EQ(basic::FileExists("//nas/sound/slow.wav"), 1);
    EXPECT_EQ(basic::FileExists("//nas/sound/a.wav"), 1);
}

TEST_F(ServerFiles, AGraphLeftWaitingOnItsFileHoldsItsShareUntilItStops)
{
    unc.Write("nas/other/b.wav", "other");
    {
        // What a media graph whose reads did not return leaves behind.
        const platform::givenup::Mark graph(unc / "nas/sound/slow.wav");
        std::vector<std::uint8_t> header(4);
        EXPECT_EQ(basic::ReadFileAt(header, 4, 0, "//nas/sound/a.wav", 1), 0);
        EXPECT_EQ(pumps, 0) << "nothing waited for the share";
        EXPECT_EQ(basic::FileExists("//nas/other/b.wav"), 1);
    }
    EXPECT_EQ(basic::FileExists("//nas/sound/a.wav"), 1);
}

// A share mounted where the desktop mounts it, outside the unc root: the
// mount table names a network or FUSE file system there. A local folder
// may lead into it through links.
TEST_F(ServerFiles, ANetworkMountAnywhereGetsTheBoundsOfAShare)
{
    testsupport::ScratchFolder machine;
    testsupport::ScratchFolder mounted;
    testsupport::ScratchFolder local;
    mounted.Write("show/a.wav", "RIFF0123");
    local.Write("a.wav", "RIFF0123");
    const std::string point = mounted.Path().substr(0, mounted.Path().size() - 1);
    machine.Write("mounts", "/dev/sda1 / ext4 rw 0 0\nstuckfs " + point + " fuse.stuckfs rw,nosuid 0 0\n");
    platform::SetDriveSources({machine / "mounts", machine / "sys", machine / "labels"});
    std::filesystem::create_symlink(point, local / "nas");
    std::filesystem::create_directory(local / "links");
    std::filesystem::create_symlink("../nas/show", local / "links/show");

    EXPECT_EQ(platform::ShareOf(mounted / "show/a.wav"), point);
    EXPECT_EQ(platform::ShareOf(local / "links/show/a.wav"), point);
    EXPECT_EQ(platform::ShareOf(local / "a.wav"), "");
    EXPECT_EQ(platform::ShareOf(unc / "nas/sound/a.wav"), unc / "nas/sound");

    // A local disk is read at once, on the caller's thread.
    EXPECT_EQ(basic::FileExists(local / "a.wav"), 1);
    EXPECT_EQ(layer.offThreadCalls, 0);
    // The mounted share is asked on the I/O thread, and given up like one.
    EXPECT_EQ(basic::FileExists(mounted / "show/a.wav"), 1);
    EXPECT_GT(layer.offThreadCalls, 0);
    {
        const platform::givenup::Mark stuck(mounted / "show/b.wav");
        EXPECT_EQ(basic::FileExists(mounted / "show/a.wav"), 0);
        EXPECT_EQ(basic::FileExists(local / "a.wav"), 1);
    }
    EXPECT_EQ(basic::FileExists(mounted / "show/a.wav"), 1);
    platform::SetDriveSources({});
}

} // namespace
