#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/ModuleValues.h"
#include "support/ClockFixture.h"
#include "support/ScratchFolder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using testsupport::ReadText;

std::string HostName()
{
    char buffer[256] = {};
    gethostname(buffer, sizeof buffer - 1);
    return buffer;
}

class DayLog : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        basic::SetAppPath(program.Path());
        basic::LogError = 1;
        basic::ErrorCatch = 0;
        basic::LogFolder.clear();
        basic::DailyLogNames = 1;
        basic::SettingsStoreName = "tolvB";
        SetNow(Date(2026, 5, 1), At(9, 8, 7, 500));
    }
    void TearDown() override
    {
        basic::SetAppPath("");
        basic::LogError = 1;
        basic::ErrorCatch = 0;
        basic::LogFolder.clear();
        basic::DailyLogNames = 0;
        basic::SettingsStoreName.clear();
    }
    std::string LogPath(const std::string& name) const { return program.Path() + "log/" + name; }

    testsupport::ScratchFolder program;
    const std::string host = HostName();
};

TEST_F(DayLog, OneFilePerDayAndKindWithTheLineFormat)
{
    basic::WriteLog("***正常起動***", 0, 0);
    basic::WriteLog("waveOutWrite (ProgPlay) Failed r=5 a.wav", 1, 0);
    basic::WriteLog("other kind", 7, 0);
    SetNow(Date(2026, 5, 1), At(9, 8, 9));
    basic::WriteLog("second", 0, 0);

    EXPECT_EQ(ReadText(LogPath("20260501 - " + host + " - tolvB.log")),
              "2026/05/01 09:08:07 ***正常起動***\r\n2026/05/01 09:08:09 second\r\n");
    EXPECT_EQ(ReadText(LogPath("20260501 - " + host + " - tolvB.err")),
              "2026/05/01 09:08:07 waveOutWrite (ProgPlay) Failed r=5 a.wav\r\n2026/05/01 09:08:07 other kind\r\n");

    // The date of the moment of writing names the file.
    SetNow(Date(2026, 5, 2), At(0, 0, 1));
    basic::SettingsStoreName.clear();
    basic::WriteLog("after midnight", 0, 0);
    EXPECT_EQ(ReadText(LogPath("20260502 - " + host + " - tolv.log")), "2026/05/02 00:00:01 after midnight\r\n");
}

TEST_F(DayLog, NothingIsWrittenWithLogErrorOffUnlessForced)
{
    basic::LogError = 0;
    basic::WriteLog("quiet", 0, 0);
    basic::WriteLog("quiet error", 1, 0);
    EXPECT_FALSE(std::filesystem::exists(program.Path() + "log"));
    basic::WriteLog("forced", 1, 1);
    EXPECT_EQ(ReadText(LogPath("20260501 - " + host + " - tolvB.err")), "2026/05/01 09:08:07 forced\r\n");
}

TEST_F(DayLog, TheLogFolderRule)
{
    // A set folder is created one level deep when missing.
    basic::LogFolder = program.Path() + "logs";
    basic::WriteLog("here", 0, 0);
    EXPECT_EQ(ReadText(program.Path() + "logs/20260501 - " + host + " - tolvB.log"), "2026/05/01 09:08:07 here\r\n");
    // More than one missing level: the line is skipped, nothing else is made.
    basic::LogFolder = program.Path() + "a/b";
    basic::WriteLog("lost", 0, 0);
    EXPECT_FALSE(std::filesystem::exists(program.Path() + "a"));
    // Written on Windows, with a trailing separator.
    basic::LogFolder = program.Path() + "logs\\";
    basic::WriteLog("again", 0, 0);
    EXPECT_EQ(ReadText(program.Path() + "logs/20260501 - " + host + " - tolvB.log"),
              "2026/05/01 09:08:07 here\r\n2026/05/01 09:08:07 again\r\n");
}

TEST_F(DayLog, AnOversizedLogWithoutDailyNamesIsDeletedOrSetAside)
{
    basic::DailyLogNames = 0;
    const std::string path = LogPath(host + " - tolvB.log");
    std::filesystem::create_directories(program.Path() + "log");
    program.Write("log/" + host + " - tolvB.log", std::string(1'024'000, 'x'));
    basic::WriteLog("at the limit", 0, 0);
    EXPECT_EQ(std::filesystem::file_size(path), 1'024'000u + std::string("2026/05/01 09:08:07 at the limit\r\n").size())
        << "exactly the limit is kept";

    basic::WriteLog("over it", 0, 0);
    EXPECT_EQ(ReadText(path), "2026/05/01 09:08:07 over it\r\n") << "ErrorCatch 0 deletes it";

    basic::ErrorCatch = 1;
    const std::string big(1'024'001, 'y');
    program.Write("log/" + host + " - tolvB.log", big);
    basic::WriteLog("kept", 0, 0);
    EXPECT_EQ(ReadText(LogPath(host + " - tolvB001.log")), big);
    program.Write("log/" + host + " - tolvB.log", big);
    basic::WriteLog("kept again", 0, 0);
    EXPECT_EQ(ReadText(LogPath(host + " - tolvB002.log")), big);
    EXPECT_EQ(ReadText(path), "2026/05/01 09:08:07 kept again\r\n");
}

TEST_F(DayLog, EveryLineStaysOneLineOfUtf8Text)
{
    basic::WriteLog("file a\r\n2026/05/01 00:00:00 fake.wav", 0, 0);
    EXPECT_EQ(ReadText(LogPath("20260501 - " + host + " - tolvB.log")),
              "2026/05/01 09:08:07 file a  2026/05/01 00:00:00 fake.wav\r\n");

    // A Latin-1 byte of a key or file name is shown, not written raw; UTF-8
    // characters stay, and a text already shown that way is not shown twice.
    basic::WriteLog("IniWrite N\xE9: refused; caf\xC3\xA9 \xE3\x81 \\xE9", 1, 0);
    EXPECT_EQ(ReadText(LogPath("20260501 - " + host + " - tolvB.err")),
              "2026/05/01 09:08:07 IniWrite N\\xE9: refused; caf\xC3\xA9 \\xE3\\x81 \\xE9\r\n");
}

TEST_F(DayLog, SystemTextsAndTheComputerName)
{
    EXPECT_EQ(basic::SystemErrorText(ENOENT), std::strerror(ENOENT));
    EXPECT_EQ(basic::FileExists(program.Path()), 0);
    testsupport::ScratchFolder folder;
    EXPECT_EQ(basic::FileExists(folder.Write("a.wav", "x")), 1);
    EXPECT_EQ(basic::SystemErrorText(0), "") << "right after a successful call";

    // The reason of a failed read survives closing the handle and logging it.
    std::vector<std::uint8_t> buffer(4);
    EXPECT_EQ(basic::ReadFileAt(buffer, 0, 0, folder / "missing.wav", 0), 0);
    basic::WriteLog("C_WaveOut ReadFileToMemEx Failed", 1, 0);
    EXPECT_EQ(basic::SystemErrorText(0), std::strerror(ENOENT));

    EXPECT_EQ(basic::ComputerName(), host);
    EXPECT_EQ(basic::ComputerName(), host);
}

} // namespace
