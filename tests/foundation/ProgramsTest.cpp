#include "foundation/Programs.h"
#include "foundation/ModuleValues.h"
#include "foundation/Settings.h"
#include "support/HelperProcess.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A pipe the argument-reporting helper writes to. Reading waits for its data
// (bounded, so a helper that never starts fails the test instead of hanging).
class ArgumentPipe {
public:
    ArgumentPipe() : path_(folder_ / "arguments")
    {
        mkfifo(path_.c_str(), 0600);
        fd_ = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        setenv("TOLV_ARGDUMP", path_.c_str(), 1);
    }
    ~ArgumentPipe()
    {
        unsetenv("TOLV_ARGDUMP");
        close(fd_);
    }
    ArgumentPipe(const ArgumentPipe&) = delete;
    ArgumentPipe& operator=(const ArgumentPipe&) = delete;

    // The arguments the helper received (without its own name); none when it
    // never reported.
    std::optional<std::vector<std::string>> Arguments()
    {
        std::string bytes;
        char buffer[512];
        bool ended = false;
        while (!ended) {
            pollfd waiting{fd_, POLLIN, 0};
            if (poll(&waiting, 1, testsupport::HelperProcess::TimeoutMs) <= 0) {
                return std::nullopt;
            }
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                bytes.append(buffer, static_cast<std::size_t>(n));
            } else {
                ended = n == 0 || errno != EAGAIN; // the helper closed its end
            }
        }
        std::vector<std::string> arguments;
        std::size_t start = 0;
        for (std::size_t end = bytes.find('\0'); end != std::string::npos; end = bytes.find('\0', start)) {
            arguments.push_back(bytes.substr(start, end - start));
            start = end + 1;
        }
        return arguments;
    }

private:
    testsupport::ScratchFolder folder_;
    std::string path_;
    int fd_ = -1;
};

TEST(RunProgram, PassesItsFirstArgumentWithBlanksIntactAndSplitsTheSecond)
{
    ArgumentPipe pipe;
    const double id = basic::RunProgram(testsupport::HelperPath("tolv_test_argdump"),
                                        "/srv/shows/Morning show \"final\".tlv", 1, "/B=1  \"two words\" x");
    EXPECT_GT(id, 0);
    EXPECT_EQ(pipe.Arguments(),
              (std::vector<std::string>{"/srv/shows/Morning show \"final\".tlv", "/B=1", "two words", "x"}));
}

TEST(RunProgram, GivesZeroForAProgramThatCannotStart)
{
    EXPECT_EQ(basic::RunProgram("/nonexistent/program", "", 1, ""), 0);
    EXPECT_EQ(basic::RunProgram("", "", 1, ""), 0);
}

TEST(RunProgram, SplitsCommandWordsAsTheCommandLineDoes)
{
    EXPECT_EQ(basic::SplitCommandWords(" a  \"b c\"d \"\" e "), (std::vector<std::string>{"a", "b cd", "", "e"}));
    EXPECT_TRUE(basic::SplitCommandWords("   ").empty());
}

TEST(OpenVolumeMixer, StartsTheProgramTheSettingNames)
{
    testsupport::ScratchFolder program;
    basic::SetAppPath(program.Path());
    basic::SettingsStoreName = "tolv";
    basic::SettingsIniPath = program.Write("tolv.ini", "[conf]\n");
    basic::SaveSetting("MixerApp", testsupport::HelperPath("tolv_test_argdump"));
    ArgumentPipe pipe;
    basic::OpenVolumeMixer();
    EXPECT_EQ(pipe.Arguments(), std::vector<std::string>()) << "started, with no arguments";
    basic::SettingsIniPath.clear();
    basic::SettingsStoreName.clear();
    basic::SetAppPath("");
}

} // namespace
