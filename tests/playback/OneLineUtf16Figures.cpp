// A measuring run, not part of the test run: one-line UTF-16 files without a
// mark or a line end, whose values hold characters that read as "=", "[" or
// a line end in the other byte order, saved into through the settings
// writer, the key file writer and the assign table writer. Each save must
// leave the file byte for byte as it was or keep its line reading, in the
// file's true order, as it did; a table replaces it whole and opens as
// saved. Ordinary one-line files beside them (no such character) must take
// the settings and key file saves. Run it with
//   tests_playback --gtest_also_run_disabled_tests --gtest_filter='*OneLineUtf16*'
// TOLV_ONE_LINE_FILES sets the number of files per byte order (300).
#include "AssignFixture.h"

#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "support/StoredTextFiles.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

using namespace playbacktest;

namespace {

// Characters whose one zero byte reads as "[", "=", LF or CR in the other
// order, and others beside them.
constexpr std::array<const char*, 4> Faking{"嬀", "㴀", "਀", "ഀ"};
constexpr std::array<const char*, 8> Plain{"嬁", "東", "京", "1", "5", "x", "　", "一"};
constexpr std::array<const char*, 5> Keys{"FOTime", "Title", "a", "Path1", "朝"};
constexpr std::array<const char*, 3> Writers{"settings file", "key file", "assign table"};

// A line with at least one faking character, or, for the ordinary files
// beside them, none.
std::string OneLine(std::mt19937& random, bool faking)
{
    std::string text = std::string(Keys[random() % Keys.size()]) + "=";
    const std::size_t faked = random() % 8;
    for (std::size_t n = 0, length = 1 + random() % 8; n < std::max(length, faked + 1); ++n) {
        const bool fake = faking && (n == faked || random() % 2);
        text += fake ? Faking[random() % Faking.size()] : Plain[random() % Plain.size()];
    }
    return text;
}

// Its line, read in the file's true order, is still the line it was.
bool LineKept(const std::string& after, const std::string& text, const std::string& order)
{
    const std::optional<std::string> read =
        testsupport::ReadUtf16File(testsupport::Utf16File("", order) + after, order);
    return read && read->starts_with(text) && read->size() > text.size() &&
           ((*read)[text.size()] == '\r' || (*read)[text.size()] == '\n');
}

class OneLineUtf16Figures : public AssignFixture {};

} // namespace

TEST_F(OneLineUtf16Figures, DISABLED_EveryValueInTheFileReadsAsBeforeThroughEveryWriter)
{
    const char* asked = std::getenv("TOLV_ONE_LINE_FILES");
    const int files = asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : 300;
    const std::string keyPath = "Software\\Quorvant\\OneLine", keyFile = *platform::RegistryKeyFile(keyPath);
    const std::string ini = scratch / "tolv.ini", table = scratch / "table.txt";
    std::mt19937 random(96);
    for (const auto& [order, faking] : {std::pair{"LE", true}, {"BE", true}, {"LE", false}, {"BE", false}}) {
        std::array<std::array<int, 3>, Writers.size()> figures{}; // held, of them kept byte for byte
        for (int i = 0; i < files; ++i) {
            const std::string text = OneLine(random, faking);
            const std::string bytes = testsupport::Utf16File(text, order).substr(2);
            for (std::size_t writer = 0; writer < Writers.size(); ++writer) {
                const std::string path = writer == 0 ? ini : writer == 1 ? keyFile : table;
                testsupport::WriteFileBytes(path, bytes);
                bool held = false;
                if (writer == 2) {
                    state.CurrentFilePath = table;
                    Button(0, 0, 0).FileName = "/srv/a.wav";
                    const bool saved = Save(table) == 1;
                    Button(0, 0, 0).FileName.clear();
                    held = saved ? Open(table) == 1 && Button(0, 0, 0).FileName == "/srv/a.wav"
                                 : testsupport::ReadText(table) == bytes;
                } else {
                    const platform::FileUpdate update = writer == 0
                                                            ? platform::WriteProfileString(ini, "conf", "New", "x")
                                                            : platform::WriteRegistryValue(keyPath, "New", "x");
                    const std::string after = testsupport::ReadText(path);
                    held = update.ok ? LineKept(after, text, order) : after == bytes;
                    // An ordinary file tells its order: it takes the value.
                    held = held && (faking || update.ok);
                }
                figures[writer][0] += held ? 1 : 0;
                figures[writer][1] += testsupport::ReadText(path) == bytes ? 1 : 0;
                EXPECT_TRUE(held) << Writers[writer] << ", " << order << ": " << text;
            }
        }
        for (std::size_t writer = 0; writer < Writers.size(); ++writer) {
            std::cout << order << (faking ? "" : ", ordinary") << ", " << Writers[writer] << ": held in "
                      << figures[writer][0] << " of " << files << " files (" << figures[writer][1]
                      << " kept byte for byte)\n";
        }
    }
}
