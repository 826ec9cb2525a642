// Settings and registry key files of every script and shape read as they
// were written, and no write makes a text of theirs read otherwise.
#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/StoredTextFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using testsupport::StoredTextCase;

struct Store {
    std::string path;
    std::function<std::optional<std::string>(const std::string& key)> read;
    std::function<platform::FileUpdate(const std::string& key, const std::string& value)> write;
};

std::string Key(int index)
{
    return "Value" + std::to_string(index);
}

std::span<const std::uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Of the UTF-16 files: values read as written, of all; saves that stayed
// UTF-16 of the file's order, of all.
struct Utf16Figures {
    int valuesRight = 0;
    int values = 0;
    int savesUtf16 = 0;
    int saves = 0;
};

// Reads every text of the case, writes a new value, and reads them again.
// Returns the writes that were refused (the file then stays as it was).
int CheckCase(const StoredTextCase& c, const Store& store, const std::string& value, Utf16Figures& utf16)
{
    // Judged against what the file truly is: a wrong reading is never certain.
    const bool isUtf16 = c.shape.starts_with("UTF-16");
    const textcodec::Judgement judgement = textcodec::Judge(Bytes(c.bytes));
    EXPECT_TRUE(isUtf16 || !judgement.certain || (c.readable && judgement.encoding == c.encoding)) << c.shape << "\n" << c.bytes;
    std::ofstream(store.path, std::ios::binary | std::ios::trunc) << c.bytes;
    const auto readsAsWritten = [&](const std::string& when) {
        for (std::size_t k = 0; k < c.texts.size() && c.readable; ++k) {
            const std::optional<std::string> read = store.read(Key(static_cast<int>(k)));
            EXPECT_EQ(read, c.texts[k]) << c.shape << when << "\n" << c.bytes;
            utf16.values += isUtf16 ? 1 : 0;
            utf16.valuesRight += isUtf16 && read == c.texts[k] ? 1 : 0;
        }
    };
    readsAsWritten(", as found");
    const platform::FileUpdate update = store.write("LastTlvFilename", value);
    const std::string after = testsupport::ReadText(store.path);
    if (!update.ok) {
        EXPECT_FALSE(isUtf16) << c.shape << ": " << update.failure;
        utf16.saves += isUtf16 ? 1 : 0;
        EXPECT_FALSE(update.failure.empty());
        EXPECT_EQ(after, c.bytes) << c.shape << ": a refused write left the file changed";
        return 1;
    }
    readsAsWritten(", after writing " + value);
    EXPECT_EQ(store.read("LastTlvFilename"), value) << c.shape;
    // The lines it had keep their bytes, damage included, unless a code page
    // 932 file had to go over to UTF-8 for the value.
    const bool wentOver = c.encoding == textcodec::Encoding::Cp932 && update.nowUtf8;
    EXPECT_EQ(after.starts_with(c.bytes), !wentOver) << c.shape << ", after writing " << value << "\n" << after;
    EXPECT_TRUE(!update.nowUtf8 || c.readable) << c.shape;
    // A file in another code page takes no text of either encoding.
    EXPECT_TRUE(c.readable || textcodec::IsAscii(value)) << c.shape << "\n" << after;
    if (isUtf16) {
        // The new line is UTF-16 of the file's order too, not 8-bit bytes.
        // The reader wants a mark: a file kept without one (its first bytes
        // are checked above) is read as if it had it.
        const std::string order = c.shape.substr(7, 2);
        const std::string mark = order == "LE" ? "\xFF\xFE" : "\xFE\xFF";
        const std::optional<std::string> text =
            testsupport::ReadUtf16File(after.starts_with(mark) ? after : mark + after, order);
        const bool stayed = text && text->ends_with("LastTlvFilename=" + value + "\r\n");
        EXPECT_TRUE(stayed) << c.shape << ", " << value;
        ++utf16.saves;
        utf16.savesUtf16 += stayed ? 1 : 0;
    } else if (!wentOver && c.readable) {
        // A new line is in the encoding the file's other lines truly are in.
        EXPECT_EQ(after.substr(c.bytes.size()), textcodec::Encode("LastTlvFilename=" + value, c.encoding) + "\r\n")
            << c.shape << "\n"
            << after;
    }
    return 0;
}

constexpr std::array<const char*, 3> NewValues{"/srv/テーマ.txt", "/srv/café.txt", "/srv/plain.txt"};

TEST(StoredTextScripts, SettingsAndRegistryKeyFilesReadAsWrittenThroughEveryWrite)
{
    testsupport::ScratchFolder scratch;
    testsupport::ScratchRegistry registry;
    const std::string keyPath = "Software\\Quorvant\\tolv";
    const Store ini{
        scratch / "tolv.ini",
        [&](const std::string& key) { return platform::ReadProfileString(scratch / "tolv.ini", "conf", key); },
        [&](const std::string& key, const std::string& value) {
            return platform::WriteProfileString(scratch / "tolv.ini", "conf", key, value);
        }};
    const Store keyFile{*platform::RegistryKeyFile(keyPath),
                        [&](const std::string& key) { return platform::ReadRegistryValue(keyPath, key); },
                        [&](const std::string& key, const std::string& value) {
                            return platform::WriteRegistryValue(keyPath, key, value);
                        }};
    std::filesystem::create_directories(std::filesystem::path(keyFile.path).parent_path());
    const auto iniLine = [](int i, const std::string& text) {
        return (i == 0 ? std::string("[conf]\r\n") : std::string()) + Key(i) + "=" + text;
    };
    const auto keyLine = [](int i, const std::string& text) { return Key(i) + "=" + text; };
    int writes = 0;
    int refused = 0;
    int otherOrigins = 0;
    Utf16Figures utf16;
    for (const auto& [store, line] :
         {std::pair{&ini, testsupport::LineMaker(iniLine)}, std::pair{&keyFile, testsupport::LineMaker(keyLine)}}) {
        std::vector<StoredTextCase> cases = testsupport::GenerateStoredTextCases(250, line);
        std::vector<StoredTextCase> utf16Cases = testsupport::GenerateUtf16TextCases(50, line);
        // Some tools save UTF-16 without a mark: the same files so.
        const std::size_t marked = utf16Cases.size();
        for (std::size_t i = 0; i < marked; ++i) {
            if (i % 4 >= 2) {
                continue; // LE and BE alike
            }
            StoredTextCase unmarked = utf16Cases[i];
            unmarked.bytes.erase(0, 2);
            unmarked.shape = unmarked.shape.substr(0, 9) + " without a byte order mark";
            utf16Cases.push_back(std::move(unmarked));
        }
        cases.insert(cases.end(), utf16Cases.begin(), utf16Cases.end());
        for (std::size_t i = 0; i < cases.size(); ++i) {
            refused += CheckCase(cases[i], *store, NewValues[i % NewValues.size()], utf16);
            ++writes;
        }
        // Files misjudged before and files of other origins (other code
        // pages, written words of every script): files in doubt among them
        // are common, so their refusals are not counted.
        for (const StoredTextCase& c : testsupport::GenerateMisjudgedTextCases(110, line, 81)) {
            CheckCase(c, *store, NewValues[otherOrigins++ % NewValues.size()], utf16);
        }
    }
    std::cout << writes << " writes, " << refused << " refused as in doubt; UTF-16 files: " << utf16.valuesRight
              << " of " << utf16.values << " values read as written (read twice each), " << utf16.savesUtf16 << " of "
              << utf16.saves << " saves stayed UTF-16\n";
    EXPECT_LE(refused * 50, writes) << "files in doubt should be rare";
}

} // namespace
