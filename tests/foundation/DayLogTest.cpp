#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/ModuleValues.h"
#include "platform/base/TextCodec.h"
#include "support/ClockFixture.h"
#include "support/ScratchFolder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::string_literals;
using testsupport::ReadText;

std::string Utf8Of(std::uint32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The characters no log line may hold raw: C0, DEL, C1 and the Unicode line
// and paragraph separators.
bool IsControl(std::uint32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

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

// A text from outside (a handed-over command line, a file name) carries
// control characters: none reaches the file raw, where a terminal would obey
// an escape sequence and a reader would split the entry.
TEST_F(DayLog, ControlCharactersAreShownNotWritten)
{
    basic::WriteLog("A \x1B[2J\x1B]0;owned\x07 \v\f\x1C\x1D\x1E\x1F\t\x7F\x00 "
                    "\xC2\x85 \xC2\x9B \xE2\x80\xA8 \xE2\x80\xA9 \xE6\x9C\x9D\xC3\xA9\xC2\xA0\xE2\x80\xA6"s,
                    0, 0);
    EXPECT_EQ(ReadText(LogPath("20260501 - " + host + " - tolvB.log")),
              "2026/05/01 09:08:07 A \\x1B[2J\\x1B]0;owned\\x07 \\x0B\\x0C\\x1C\\x1D\\x1E\\x1F\\x09\\x7F\\x00 "
              "\\u0085 \\u009B \\u2028 \\u2029 \xE6\x9C\x9D\xC3\xA9\xC2\xA0\xE2\x80\xA6\r\n");
}

// Over generated texts of random bytes and code points: every entry stays
// one line of UTF-8 text without a control character, and what is printable
// in it stays as it was, in order.
TEST_F(DayLog, EveryGeneratedTextIsOneLineWithoutControls)
{
    std::mt19937 random(20260501);
    const auto below = [&random](std::uint32_t n) {
        return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(random);
    };
    // Controls and the line separators often, the rest of Unicode too.
    const auto codePoint = [&below]() -> std::uint32_t {
        switch (below(6)) {
        case 0:
            return below(0x20);
        case 1:
            return 0x7F + below(0x21); // DEL, C1
        case 2:
            return 0x2028 + below(2);
        case 3:
            return 0x3041 + below(0x60);
        case 4:
            return 0x20 + below(0x5F);
        default: {
            const std::uint32_t any = below(0x110000);
            return any >= 0xD800 && any <= 0xDFFF ? 0xFFFD : any;
        }
        }
    };
    std::vector<std::string> printables; // for the texts of whole characters only
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        std::string printable;
        const bool bytes = n % 2 == 0;
        for (std::uint32_t k = below(40); k > 0; --k) {
            if (bytes && below(3) == 0) {
                text += static_cast<char>(below(256));
                continue;
            }
            // No backslash of its own, so that the shown controls can be told.
            std::uint32_t c = codePoint();
            if (c == '\\') {
                c = '/';
            }
            const std::string encoded = Utf8Of(c);
            text += encoded;
            if (c == '\r' || c == '\n') {
                printable += ' ';
            } else if (!IsControl(c)) {
                printable += encoded;
            }
        }
        printables.push_back(bytes ? std::string() : printable);
        basic::WriteLog(text, 0, 0);
    }

    const std::string file = ReadText(LogPath("20260501 - " + host + " - tolvB.log"));
    std::size_t start = 0;
    for (std::size_t n = 0; n < printables.size(); ++n) {
        const std::size_t end = file.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "entry " << n << " is missing";
        const std::string line = file.substr(start, end - start);
        start = end + 2;
        ASSERT_EQ(line.substr(0, 20), "2026/05/01 09:08:07 ") << "entry " << n << " was split";
        ASSERT_TRUE(textcodec::IsValidUtf8(line)) << "entry " << n;
        // UTF-8 now, so a control shows in its bytes alone.
        for (std::size_t i = 0; i < line.size(); ++i) {
            const auto c = static_cast<unsigned char>(line[i]);
            const auto next = i + 1 < line.size() ? static_cast<unsigned char>(line[i + 1]) : 0;
            const auto third = i + 2 < line.size() ? static_cast<unsigned char>(line[i + 2]) : 0;
            ASSERT_FALSE(c < 0x20 || c == 0x7F || (c == 0xC2 && next <= 0x9F) ||
                         (c == 0xE2 && next == 0x80 && (third == 0xA8 || third == 0xA9)))
                << "entry " << n << " holds a control at " << i;
        }
        if (n % 2 == 1) {
            EXPECT_EQ(std::regex_replace(line.substr(20), std::regex(R"(\\x[0-9A-F]{2}|\\u[0-9A-F]{4})"), ""),
                      printables[n])
                << "entry " << n;
        }
    }
    EXPECT_EQ(start, file.size()) << "no further lines";
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
