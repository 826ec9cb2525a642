// A measuring run, not part of the test run: UTF-16 files without a mark of
// every shape (one-line comments and bare words with a character that reads
// as "=", "[" or a line end in the other order, three lines with one in a
// value, mixed lines of kana, ideographs and ASCII), in both orders, saved
// into through the settings writer, the key file writer and the assign
// table writer. A save must be refused with the file byte for byte as it
// was, or written so that the file read in its true order holds its text
// and the new value (a table replaces the file whole and opens as saved);
// never in the other order. Run it with
//   tests_playback --gtest_also_run_disabled_tests --gtest_filter='*Utf16OrderFigures*'
// TOLV_UTF16_FILES sets the number of files per shape and order (300).
#include "AssignFixture.h"

#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "support/StoredTextFiles.h"
#include "support/Utf16Shapes.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

using namespace playbacktest;

namespace {

constexpr std::array<const char*, 3> Writers{"settings file", "key file", "assign table"};

// Read in the file's true order, it holds its text and then New=x.
bool InItsOrder(const std::string& after, const std::string& text, const std::string& order)
{
    const std::optional<std::string> read =
        testsupport::ReadUtf16File(testsupport::Utf16File("", order) + after, order);
    return read && read->starts_with(text) &&
           (read->ends_with("New=x\n") || read->ends_with("New=x\r\n") || read->ends_with("New=x\r"));
}

class Utf16OrderFigures : public AssignFixture {};

} // namespace

TEST_F(Utf16OrderFigures, DISABLED_NoSaveWritesInTheOrderTheFileIsNotIn)
{
    const char* asked = std::getenv("TOLV_UTF16_FILES");
    const int files = asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : 300;
    const std::string keyPath = "Software\\Quorvant\\Utf16Order", keyFile = *platform::RegistryKeyFile(keyPath);
    const std::string ini = scratch / "tolv.ini", table = scratch / "table.txt";
    std::mt19937 random(1105);
    for (const testsupport::Utf16Shape shape : testsupport::Utf16Shapes) {
        for (const std::string order : {"LE", "BE"}) {
            std::array<std::array<int, 3>, Writers.size()> figures{}; // written, refused and kept, wrong
            for (int i = 0; i < files; ++i) {
                const std::string text = testsupport::Utf16ShapeText(shape, random);
                const std::string bytes = testsupport::Utf16File(text, order).substr(2);
                for (std::size_t writer = 0; writer < Writers.size(); ++writer) {
                    const std::string path = writer == 0 ? ini : writer == 1 ? keyFile : table;
                    testsupport::WriteFileBytes(path, bytes);
                    bool saved = false, held = false;
                    if (writer == 2) {
                        state.CurrentFilePath = table;
                        Button(0, 0, 0).FileName = "/srv/a.wav";
                        saved = Save(table) == 1;
                        Button(0, 0, 0).FileName.clear();
                        held = saved ? Open(table) == 1 && Button(0, 0, 0).FileName == "/srv/a.wav"
                                     : testsupport::ReadText(table) == bytes;
                    } else {
                        const platform::FileUpdate update = writer == 0
                                                                ? platform::WriteProfileString(ini, "conf", "New", "x")
                                                                : platform::WriteRegistryValue(keyPath, "New", "x");
                        const std::string after = testsupport::ReadText(path);
                        saved = update.ok;
                        held = saved ? InItsOrder(after, text, order) : after == bytes;
                    }
                    ++figures[writer][!held ? 2 : saved ? 0 : 1];
                    EXPECT_TRUE(held) << Writers[writer] << ", " << order << ": " << text;
                }
            }
            for (std::size_t writer = 0; writer < Writers.size(); ++writer) {
                std::cout << testsupport::Utf16ShapeName(shape) << ", " << order << ", " << Writers[writer] << ": "
                          << figures[writer][0] << " of " << files << " written as they read, " << figures[writer][1]
                          << " refused and kept byte for byte, " << figures[writer][2] << " wrong\n";
            }
        }
    }
}
