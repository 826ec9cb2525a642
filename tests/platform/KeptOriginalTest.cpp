// A settings or registry key file that goes over from code page 932 to UTF-8
// keeps its bytes from before beside it, once, so a wrong judgement can be
// undone.
#include "platform/KeptOriginal.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "platform/base/LogSink.h"
#include "platform/base/TextCodec.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

namespace {

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct Store {
    std::string path;
    std::string header; // what stands before the values
    std::function<platform::FileUpdate(const std::string& value)> write;
};

TEST(KeptOriginal, AFileGoingOverToUtf8KeepsItsOriginalBesideItOnce)
{
    testsupport::ScratchFolder scratch;
    testsupport::ScratchRegistry registry;
    std::vector<std::string> logged;
    platform::SetLogSink([&](std::string_view text, int) { logged.emplace_back(text); });
    const std::string ini = scratch / "tolv.ini";
    const std::string keyPath = "Software\\Quorvant\\tolv";
    const std::string keyFile = *platform::RegistryKeyFile(keyPath);
    const std::vector<Store> stores{
        {ini, "[conf]\r\n", [&](const std::string& v) { return platform::WriteProfileString(ini, "conf", "Last", v); }},
        {keyFile, "", [&](const std::string& v) { return platform::WriteRegistryValue(keyPath, "Last", v); }}};
    for (const Store& store : stores) {
        const std::string kept = store.path + ".cp932";
        const std::string first = textcodec::EncodeCp932(store.header + "Title=東京タワーの夜景と大阪城公園\r\n");
        WriteBytes(store.path, first);
        // 😀 has no place in code page 932: the file goes over to UTF-8.
        const platform::FileUpdate update = store.write("/srv/😀.txt");
        ASSERT_TRUE(update.ok) << update.failure;
        ASSERT_TRUE(update.nowUtf8);
        EXPECT_EQ(testsupport::ReadText(kept), first);
        EXPECT_EQ(logged.back(), store.path + " goes over to UTF-8; its code page 932 bytes are kept in " + kept +
                                     ": put that file back in its place to undo");

        // The file put back and going over again: the copy kept first stays.
        WriteBytes(store.path, textcodec::EncodeCp932(store.header + "Title=名古屋の喫茶店で朝食を\r\n"));
        ASSERT_TRUE(store.write("/srv/🎵.txt").nowUtf8);
        EXPECT_EQ(testsupport::ReadText(kept), first);

        // Where the original cannot be kept, the file does not go over.
        std::filesystem::remove(kept);
        std::filesystem::create_directory(kept);
        WriteBytes(store.path, first);
        const platform::FileUpdate refused = store.write("/srv/😀.txt");
        EXPECT_FALSE(refused.ok);
        EXPECT_NE(refused.failure.find("could not be kept in " + kept), std::string::npos) << refused.failure;
        EXPECT_EQ(testsupport::ReadText(store.path), first);
    }
    platform::SetLogSink(nullptr);
}

} // namespace
