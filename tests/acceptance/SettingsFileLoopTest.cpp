// Damaged settings files, INI and registry: no crash, a value written reads
// back as written, and writing one value never changes another.
#include "CorruptionLoop.h"

#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Utf16Text.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace acceptance;

void WriteFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A value taken from the case's last bytes, so odd values are written too:
// control characters, separators and Japanese text; always UTF-8, as every
// text of the program is, and within code page 932, which a file read as
// such is written back in.
std::string ValueOf(std::span<const std::uint8_t> input)
{
    const std::size_t length = input.empty() ? 0 : input.back() % 24;
    std::string value;
    for (const std::uint8_t byte : input.last(std::min(length, input.size()))) {
        if (byte < 0x80) {
            value += static_cast<char>(byte);
        } else {
            value += byte % 2 == 0 ? "\xE9\x9F\xB3" : "\xE3\x82\xA2"; // 音, ア
        }
    }
    return value;
}

// A file that reads as well in either encoding takes no text that is not
// ASCII, and one with zero bytes that is no UTF-16 text, or UTF-16 whose
// order is in doubt, takes nothing; it is then left as it was.
bool RefusedInDoubt(const platform::FileUpdate& update, std::span<const std::uint8_t> input, const std::string& file)
{
    const bool zeroBytes = std::find(input.begin(), input.end(), 0) != input.end() &&
                           (!textcodec::Utf16TextOrder(input) || textcodec::Utf16OrderInDoubt(input));
    if (update.ok || (textcodec::Judge(input).certain && !zeroBytes)) {
        return false;
    }
    EXPECT_EQ(testsupport::ReadText(file), std::string(input.begin(), input.end()));
    return true;
}

constexpr std::array<std::string_view, 5> ProbeKeys{"PlayerType", "DeviceWave_1", "SaveEnd", "LangMode", "Window Left"};

void CheckIni(std::span<const std::uint8_t> input)
{
    testsupport::ScratchFolder scratch;
    const std::string file = scratch / "tolv.ini";
    WriteFile(file, input);
    std::vector<std::optional<std::string>> before;
    for (const std::string_view key : ProbeKeys) {
        before.push_back(platform::ReadProfileString(file, "conf", key));
    }
    const std::string value = ValueOf(input);
    const platform::FileUpdate update = platform::WriteProfileString(file, "conf", "NumOut", value);
    if (RefusedInDoubt(update, input, file)) {
        return;
    }
    ASSERT_TRUE(update.ok) << update.failure;
    // A line break becomes a blank and a NUL ends the value.
    std::string expected = value.substr(0, value.find('\0'));
    std::replace_if(
        expected.begin(), expected.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const auto back = platform::ReadProfileString(file, "conf", "NumOut");
    ASSERT_TRUE(back.has_value());
    // Blanks around a value are not kept by the profile format.
    const auto trimmed = [](std::string text) {
        const auto first = text.find_first_not_of(" \t");
        const auto last = text.find_last_not_of(" \t");
        return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    };
    EXPECT_EQ(trimmed(*back), trimmed(expected));
    for (std::size_t i = 0; i < ProbeKeys.size(); ++i) {
        EXPECT_EQ(platform::ReadProfileString(file, "conf", ProbeKeys[i]), before[i]) << ProbeKeys[i];
    }
}

const CorruptionKind& IniKind()
{
    static const CorruptionKind kind{
        "ini",
        {ToBytes(
             "[conf]\r\nPlayerType=3\r\nNumOut=4\r\nDeviceWave_1=Null 1\r\nSaveEnd=1\r\n[common]\r\nLangMode=1\r\n"),
         ToBytes(
             "; comment\n[conf]\nWindow Left = 120\nDeviceWave_1=\x83\x81\x83\x43\x83\x93\n\n[conf]\nPlayerType=0\n"),
         ToBytes("[CONF]\rLangMode=0\rNumOut=\r")},
        16 * 1024,
        400};
    return kind;
}

TEST(CorruptionLoop, IniFiles)
{
    RunCorruptionLoop(IniKind(), CheckIni);
}

TEST(RegressCases, IniFiles)
{
    ReplayRegressCases(IniKind().name, CheckIni);
}

constexpr std::string_view KeyPath = "Software\\Quorvant\\tolvB";

void CheckRegistry(std::span<const std::uint8_t> input)
{
    const std::optional<std::string> file = platform::RegistryKeyFile(KeyPath);
    ASSERT_TRUE(file.has_value());
    WriteFile(*file, input);
    std::vector<std::optional<std::string>> before;
    for (const std::string_view name : ProbeKeys) {
        before.push_back(platform::ReadRegistryValue(KeyPath, name));
    }
    const std::string value = ValueOf(input);
    const platform::FileUpdate update = platform::WriteRegistryValue(KeyPath, "NumOut", value);
    if (RefusedInDoubt(update, input, *file)) {
        return;
    }
    ASSERT_TRUE(update.ok) << update.failure;
    EXPECT_EQ(platform::ReadRegistryValue(KeyPath, "NumOut"), value);
    for (std::size_t i = 0; i < ProbeKeys.size(); ++i) {
        EXPECT_EQ(platform::ReadRegistryValue(KeyPath, ProbeKeys[i]), before[i]) << ProbeKeys[i];
    }
    ASSERT_TRUE(platform::DeleteRegistryValue(KeyPath, "NumOut").ok);
    EXPECT_EQ(platform::ReadRegistryValue(KeyPath, "NumOut"), std::nullopt);
}

const CorruptionKind& RegistryKind()
{
    static const CorruptionKind kind{"registry",
                                     {ToBytes("PlayerType=3\nNumOut=4\nDeviceWave_1=Null 1\nSaveEnd=1\n"),
                                      ToBytes("Window\\x20Left=120\nDeviceWave_1=a\\nb\\\\c\\x00d\nLangMode=\n"),
                                      ToBytes("CurrentQuorUser=\xE5\xB1\xB1\xE7\x94\xB0\r\nNumOut=2\r\n")},
                                     16 * 1024,
                                     400};
    return kind;
}

TEST(CorruptionLoop, RegistryFiles)
{
    RunCorruptionLoop(RegistryKind(), CheckRegistry);
}

TEST(RegressCases, RegistryFiles)
{
    ReplayRegressCases(RegistryKind().name, CheckRegistry);
}

} // namespace
