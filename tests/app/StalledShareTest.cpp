// A share that stops answering, met through the assembled program's File
// menu: it holds up only calls on its own files, and a backup into it says
// what it could not copy and leaves no temporary file behind for good.
#include "AssembledFixture.h"

#include "controls/UC_TolvButton.h"
#include "mainwindow/FrmMain.h"
#include "platform/CommonDialogs.h"
#include "platform/IoThread.h"
#include "platform/Ipv4Address.h"
#include "platform/MessageBox.h"
#include "platform/base/Hooks.h"
#include "support/FakeNetwork.h"
#include "support/ServerFolders.h"
#include "support/TestFileLayer.h"

#include <gmock/gmock.h>

#include <unistd.h>

#include <filesystem>
#include <optional>

namespace {

using testing::HasSubstr;

// The test file layer whose writes into a transfer's temporary file on a
// share also stall until let go.
class StallingShare : public testsupport::TestFileLayer {
public:
    std::int64_t Write(int fd, std::span<const std::uint8_t> data) override
    {
        std::unique_lock lock(mutex_);
        if (stallTemporaries_ && PathOf(fd).find("/archive/backup/~tmp") != std::string::npos) {
            ++stalledWrites;
            letGo_.wait(lock, [this] { return !stallTemporaries_; });
            --stalledWrites;
        }
        lock.unlock();
        return TestFileLayer::Write(fd, data);
    }
    void StallTemporaries(bool stall)
    {
        {
            std::lock_guard lock(mutex_);
            stallTemporaries_ = stall;
        }
        letGo_.notify_all();
    }
    std::atomic<int> stalledWrites{0};

private:
    static std::string PathOf(int fd)
    {
        char path[4096] = {};
        const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
        return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
    }

    std::mutex mutex_;
    std::condition_variable letGo_;
    bool stallTemporaries_ = false;
};

class StalledShare : public apptest::AssembledFixture {
protected:
    void SetUp() override
    {
        AssembledFixture::SetUp();
        servers.emplace(sounds / "unc");
        sounds.Folder("unc/archive/backup");
        for (const auto& [host, address] : {std::pair{"studio", "10.0.0.1"}, std::pair{"archive", "10.0.0.2"}}) {
            hosts.names[host] = *platform::ParseDottedIpv4(address);
            echoes.alive.insert(*platform::ParseDottedIpv4(address));
        }
    }
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        platform::SetFolderDialogAnswer(nullptr);
        platform::SetFileDialogAnswer(nullptr);
        layer.StallTemporaries(false);
        layer.Release();
        platform::io::WaitUntilIdle();
        AssembledFixture::TearDown();
        servers.reset();
    }
    bool Start(int numOut)
    {
        const bool started = AssembledFixture::Start(numOut);
        // As the program waits: 15 s for a server, 5 s inside a press.
        platform::io::SetWaitLimitMs(15000);
        return started;
    }
    std::vector<std::string> Temporaries()
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(sounds / "unc/archive/backup")) {
            if (entry.path().filename().string().starts_with("~tmp")) {
                found.push_back(entry.path().filename().string());
            }
        }
        return found;
    }

    std::optional<testsupport::ServerFolders> servers;
    testsupport::FakeHostResolver hosts;
    testsupport::FakeEchoTransport echoes;
    StallingShare layer;
};

TEST_F(StalledShare, PressesOnAnotherShareAndALocalDiskStartAtOnceWhileTheSavesSpareCopyWaits)
{
    ASSERT_TRUE(Start(2));
    RampWave("unc/studio/jingles/a.wav", Rate);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 0, "//studio/jingles/a.wav"));
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(1, 0, 0, RampWave("local.wav", Rate)));
    sounds.Folder("unc/archive/spare");
    State().TlvBackupPath = "//archive/spare/";
    const std::string table = sounds / "show.txt";
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest&) { return table; });
    // The spare copy's writes hang.
    layer.Hold("show.txt", false);
    std::int64_t stalledMs = 0;
    std::int64_t pressTook[2] = {-1, -1};
    int pressed = 0;
    bool pressing = false;
    platform::SetPumpHook([&] {
        if (layer.heldCalls == 0 || !layer.OnlyHeldCallsRun()) {
            return; // something real is working: time stands
        }
        // Inside a press in small steps: what it waits for besides the
        // stalled share counts little.
        clock.Advance(pressing ? 1 : 10);
        if (pressing) {
            return;
        }
        stalledMs += 10;
        // Six seconds into the stall the operator presses both buttons.
        if (stalledMs >= 6000 && pressed < 2) {
            const int output = pressed++;
            const std::int64_t start = clock.TotalMs();
            pressing = true;
            Click(Face(Button(output, 0)), Qt::LeftButton);
            pressing = false;
            pressTook[output] = clock.TotalMs() - start;
        }
        if (stalledMs >= 7000) {
            layer.Release();
        }
    });
    Window().MenuFile->At(1)->trigger();
    platform::SetPumpHook(nullptr);

    ASSERT_EQ(pressed, 2) << "the spare copy waited on the stalled share";
    EXPECT_LE(pressTook[0], 100) << "the press on the healthy share waited for the stalled one";
    EXPECT_LE(pressTook[1], 100) << "the press on the local disk waited for the stalled share";
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().OutputState[1], 1);
    Run(300);
    for (int device = 1; device <= 2; ++device) {
        const std::vector<float> played = Played(device);
        EXPECT_TRUE(std::any_of(played.begin(), played.end(), [](float s) { return s != 0.0F; })) << device;
    }
}

TEST_F(StalledShare, ABackupWhoseCopyStalledNamesItAndItsTemporaryFileGoesWithTheNextCopyIntoTheFolder)
{
    ASSERT_TRUE(Start(1));
    const std::string sound = RampWave("news.wav", 4 * Rate);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 0, sound));
    platform::SetFolderDialogAnswer(
        [](const platform::FolderDialogRequest&) { return std::string("//archive/backup/"); });
    messageAnswer = platform::IdNo; // the folder is not emptied first

    layer.StallTemporaries(true);
    platform::SetPumpHook([&] {
        if (layer.stalledWrites > 0) {
            clock.Advance(20);
        }
    });
    Window().MenuFile->At(2)->trigger();
    platform::SetPumpHook(nullptr);
    ASSERT_EQ(messages.size(), 2U) << "the question, then the box naming what was not copied";
    EXPECT_EQ(messages[1], "転送先ファイルに書き込みできません\n//archive/backup/news.wav");
    EXPECT_FALSE(std::filesystem::exists(sounds / "unc/archive/backup/news.wav"));

    // The share answers again; the stuck write comes back into the temporary
    // file, which the next copy into the folder deletes.
    layer.StallTemporaries(false);
    platform::io::WaitUntilIdle();
    messages.clear();
    Window().MenuFile->At(2)->trigger();
    EXPECT_EQ(messages.size(), 1U) << "only the question: everything was copied";
    EXPECT_TRUE(std::filesystem::exists(sounds / "unc/archive/backup/news.wav"));
    EXPECT_THAT(Temporaries(), testing::IsEmpty());
}

} // namespace
