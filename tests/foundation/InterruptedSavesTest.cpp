// Saves killed at random moments: the saved files are always whole, and the
// next start removes the temporary files they left once they are an hour old.
#include "foundation/InterruptedSaves.h"
#include "foundation/DayLog.h"
#include "foundation/ModuleValues.h"
#include "foundation/SessionValues.h"
#include "foundation/Settings.h"
#include "platform/AtomicFile.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "support/HelperProcess.h"
#include "support/SaveRounds.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The saving helper, its output on a pipe.
class Saver {
public:
    Saver(const std::string& table, const std::string& ini)
    {
        int pipe[2] = {-1, -1};
        if (pipe2(pipe, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
        const std::string program = testsupport::HelperPath("tolv_test_saver");
        std::vector<char*> arguments{const_cast<char*>(program.c_str()), const_cast<char*>(table.c_str()),
                                     const_cast<char*>(ini.c_str()), nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, arguments.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(pipe[1]);
        output_ = pipe[0];
    }
    ~Saver()
    {
        Kill();
        close(output_);
    }
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    bool Started() const { return pid_ > 0; }
    // Waits for the end of the next round (false when the helper ended).
    bool RoundDone()
    {
        char byte = 0;
        return read(output_, &byte, 1) == 1;
    }
    void Kill()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    int output_ = -1;
};

std::int64_t NowSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The temporary files of atomic saves anywhere below folder.
std::vector<std::string> TemporaryFilesBelow(const std::string& folder)
{
    std::vector<std::string> found;
    std::error_code ignored;
    for (fs::recursive_directory_iterator it(folder, ignored), end; it != end; it.increment(ignored)) {
        if (it->is_regular_file() && platform::IsAtomicTemporaryName(it->path().filename().string())) {
            found.push_back(it->path().string());
        }
    }
    return found;
}

// A settings value written whole: a number on a line of its own.
bool WholeValue(const std::string& file, const std::optional<std::string>& value)
{
    const std::string text = testsupport::ReadText(file);
    return value && !value->empty() && value->find_first_not_of("0123456789") == std::string::npos && !text.empty() &&
           text.back() == '\n';
}

class InterruptedSaves : public testing::Test {
protected:
    void SetUp() override
    {
        basic::SetAppPath(program.Path());
        basic::SettingsIniPath.clear();
        basic::SettingsStoreName = "tolv";
        savedLogFolder_ = basic::LogFolder;
        basic::LogFolder = logs.Path();
    }
    void TearDown() override
    {
        basic::SetAppPath("");
        basic::SettingsStoreName.clear();
        basic::LogFolder = savedLogFolder_;
    }

    testsupport::ScratchFolder program;
    testsupport::ScratchFolder tables;
    testsupport::ScratchFolder logs;

private:
    std::string savedLogFolder_;
};

TEST_F(InterruptedSaves, SavesKilledAtRandomLeaveWholeFilesAndTheNextStartSweepsTheirRemains)
{
    const std::string table = tables / "show.txt";
    const std::string ini = program / "tolv.ini";
    const std::string registryKey = *platform::RegistryKeyFile("Software\\Quorvant\\tolv");
    basic::SaveSetting("LastTlvFilename", table);
    std::mt19937 random(44);
    for (int kill = 0; kill < 200; ++kill) {
        Saver saver(table, ini);
        ASSERT_TRUE(saver.Started());
        // Killed at once, or during the first, second or third round.
        const int rounds = static_cast<int>(random() % 3);
        for (int round = 0; round < rounds; ++round) {
            ASSERT_TRUE(saver.RoundDone()) << "the saver ended by itself, kill " << kill;
        }
        saver.Kill();
        if (fs::exists(table)) {
            ASSERT_TRUE(testsupport::IsWholeSaveRoundTable(testsupport::ReadText(table))) << "kill " << kill;
        }
        if (fs::exists(ini)) {
            ASSERT_TRUE(WholeValue(ini, platform::ReadProfileString(ini, "conf", "Round"))) << "kill " << kill;
        }
        if (fs::exists(registryKey)) {
            ASSERT_TRUE(WholeValue(registryKey, platform::ReadRegistryValue("Software\\Quorvant\\tolv", "Round")))
                << "kill " << kill;
        }
    }
    ASSERT_TRUE(fs::exists(table)) << "no round was ever saved";

    // An hour and more passes before the next start; one save of another
    // session is running at that moment.
    const std::int64_t now = NowSeconds();
    std::vector<std::string> left = TemporaryFilesBelow(program.Path());
    for (const std::string& folder : {tables.Path(), platform::RegistryFolder()}) {
        const std::vector<std::string> more = TemporaryFilesBelow(folder);
        left.insert(left.end(), more.begin(), more.end());
    }
    for (const std::string& path : left) {
        testsupport::SetFileTimeSeconds(path, now - 3600 - 1);
    }
    const std::string running = tables.Write(".show.txt.tolv-1-0", "round");
    testsupport::SetFileTimeSeconds(running, now - 3600 + 60);

    EXPECT_EQ(basic::RemoveInterruptedSaves(now), static_cast<int>(left.size()));
    for (const std::string& folder : {program.Path(), tables.Path(), platform::RegistryFolder()}) {
        for (const std::string& path : TemporaryFilesBelow(folder)) {
            EXPECT_EQ(path, running) << "left behind";
        }
    }
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(testsupport::IsWholeSaveRoundTable(testsupport::ReadText(table)));
    std::cout << "[          ] temporary files left by 200 kills: " << left.size() << "\n";
}

TEST(AtomicTemporaryNames, OnlyTheWritersOwnPatternIsTaken)
{
    EXPECT_TRUE(platform::IsAtomicTemporaryName(".show.txt.tolv-4711-0"));
    EXPECT_TRUE(platform::IsAtomicTemporaryName(".a.tolv-1-23"));
    for (const char* other :
         {"show.txt.tolv-1-0", "..tolv-1-2", ".show.txt.tolv-1-", ".show.txt.tolv--0", ".show.txt.tolv-x-0",
          ".show.txt.tolv-1-0x", ".tolv-1-0", ".show.txt.tmp-1-0", ".show.txt.tolv-1", ""}) {
        EXPECT_FALSE(platform::IsAtomicTemporaryName(other)) << other;
    }
}

} // namespace
