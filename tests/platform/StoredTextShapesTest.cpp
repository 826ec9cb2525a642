// Generated settings and key files of many shapes, saved through the real
// writers: a save reads back at the next start as it was written, and no
// file is ever written in an encoding other than its own.
#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "support/ScratchRegistry.h"
#include "support/StoredTextFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>

namespace {

constexpr std::array<const char*, 6> Names{"a", "ab", "abc", "Title", "朝", "夜のニュース"};
// All within code page 932; U+3000 and U+4E00 end in a zero byte in UTF-16.
constexpr std::array<const char*, 6> Values{"1", "東京", "朝のニュース", "　　　一一一", "/srv/a.wav", "ｼﾞﾝｸﾞﾙ"};
constexpr std::array<const char*, 3> Written{"x", "Café 2", "　一　一"};
constexpr std::array<const char*, 6> Shapes{"UTF-8",      "code page 932",        "UTF-16",
                                            "odd UTF-16", "8-bit, a UTF-16 line", "8-bit, zeroed in places"};

struct Case {
    int shape = 0;
    bool eightBit = true, cp932 = false, marked = false;
    std::string order = "LE", text, bytes;
    std::map<std::string, std::string> readable; // what the reader must give
};

Case Generate(std::mt19937& random, int shape, bool ini)
{
    Case c;
    c.shape = shape;
    c.text = ini ? "[conf]\r\n" : "";
    for (std::size_t n = 1 + random() % 3, start = random(); n > 0; --n) {
        const std::string name = Names[(start + n) % Names.size()], value = Values[random() % Values.size()];
        c.text += name + "=" + value + "\r\n";
        c.readable[name] = value;
    }
    c.order = random() % 2 ? "LE" : "BE";
    c.marked = shape == 2 && random() % 2;
    c.cp932 = shape == 1 || (shape > 3 && random() % 2);
    c.eightBit = shape != 2;
    const std::string utf16 = testsupport::Utf16File(c.text, c.order).substr(c.marked ? 0 : 2);
    c.bytes = shape == 2   ? utf16
              : shape == 3 ? utf16.substr(0, utf16.size() - 1)
              : c.cp932    ? textcodec::EncodeCp932(c.text)
                           : std::string(random() % 2 ? "\xEF\xBB\xBF" : "") + c.text;
    if (shape == 3) {
        c.readable.clear();
    } else if (shape == 4) {
        c.bytes += std::string(random() % 2, 'x') + testsupport::Utf16File("Added=1\r\n", c.order).substr(2);
    } else if (shape == 5) {
        for (std::size_t n = 1 + random() % 12; n > 0; --n) {
            c.bytes += random() % 2 ? std::string(1, "=[\r\nab"[random() % 6]) + '\0' : std::string(2, '\0');
        }
    }
    return c;
}

TEST(StoredTextShapes, ASaveReadsBackAsWrittenAndKeepsTheFilesOwnEncoding)
{
    testsupport::ScratchRegistry registry;
    const std::string keyPath = "Software\\Quorvant\\tolv", keyFile = *platform::RegistryKeyFile(keyPath);
    std::filesystem::create_directories(std::filesystem::path(keyFile).parent_path());
    const char* asked = std::getenv("TOLV_STORED_TEXT_CASES");
    const int perShape = asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : 20;
    std::mt19937 random(92);
    std::array<std::array<int, 3>, Shapes.size()> figures{}; // saves written, refused, values read wrong
    for (int i = 0; i < perShape * static_cast<int>(Shapes.size()) * 2; ++i) {
        const bool ini = i % 2 == 0;
        const Case c = Generate(random, i / 2 % static_cast<int>(Shapes.size()), ini);
        const std::string path = ini ? registry / "tolv.ini" : keyFile, value = Written[random() % Written.size()];
        const auto readBack = [&](const std::string& name) {
            return ini ? platform::ReadProfileString(path, "conf", name) : platform::ReadRegistryValue(keyPath, name);
        };
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        const platform::FileUpdate update = ini ? platform::WriteProfileString(path, "conf", "New", value)
                                                : platform::WriteRegistryValue(keyPath, "New", value);
        const std::string after = testsupport::ReadText(path);
        const bool zeroBytes = c.bytes.find('\0') != std::string::npos;
        ++figures[c.shape][update.ok ? 0 : 1];
        for (const auto& [name, text] : c.readable) {
            figures[c.shape][2] += readBack(name) != text ? 1 : 0;
            EXPECT_EQ(readBack(name), text) << Shapes[c.shape] << ", " << name;
        }
        if (!update.ok) {
            EXPECT_EQ(after, c.bytes) << Shapes[c.shape];
            // Else only 8-bit text that reads both ways refuses a value, and
            // UTF-16 without a mark whose keys are no ASCII names: its
            // lines tell no byte order.
            const auto bytes = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
            const bool asciiKeys = std::all_of(c.readable.begin(), c.readable.end(),
                                               [](const auto& entry) { return textcodec::IsAscii(entry.first); });
            EXPECT_TRUE(c.eightBit ? zeroBytes || !textcodec::Judge({bytes, c.bytes.size()}).certain
                                   : !c.marked && !asciiKeys)
                << Shapes[c.shape];
            continue;
        }
        EXPECT_FALSE(c.eightBit && zeroBytes) << Shapes[c.shape] << ": written into a file with zero bytes";
        EXPECT_EQ(readBack("New"), value) << Shapes[c.shape];
        if (!c.eightBit) {
            // In UTF-16 of its order, its mark kept or still missing.
            const std::string mark = c.order == "LE" ? "\xFF\xFE" : "\xFE\xFF";
            EXPECT_EQ(after.starts_with(mark), c.marked) << Shapes[c.shape];
            EXPECT_EQ(testsupport::ReadUtf16File(c.marked ? after : mark + after, c.order),
                      c.text + "New=" + value + "\r\n");
        } else if (update.nowUtf8) {
            EXPECT_TRUE(c.cp932 && after.starts_with("\xEF\xBB\xBF") && textcodec::IsValidUtf8(after));
        } else {
            // An ASCII file is new to any encoding: it takes UTF-8.
            const bool cp932 = c.cp932 && !textcodec::IsAscii(c.text);
            const auto encoding = cp932 ? textcodec::Encoding::Cp932 : textcodec::Encoding::Utf8;
            EXPECT_EQ(after, c.bytes + textcodec::Encode("New=" + value, encoding) + "\r\n") << Shapes[c.shape];
        }
    }
    for (std::size_t s = 0; s < Shapes.size(); ++s) {
        std::cout << Shapes[s] << ": " << figures[s][0] << " saves written, " << figures[s][1] << " refused, "
                  << figures[s][2] << " values read wrong\n";
    }
}

} // namespace
