// Damaged file lists dropped from other programs, and damaged shortcut files
// in the material browser: no crash, and only plain paths of this machine
// come out (never a NUL, which would cut a path short further on).
#include "CorruptionLoop.h"

#include "cache/ShortcutBuilder.h"
#include "cache/ShortcutFile.h"
#include "platform/DragData.h"

#include <QByteArray>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

using namespace acceptance;

void ExpectPlainPath(const std::string& path)
{
    EXPECT_FALSE(path.empty());
    EXPECT_EQ(path.find('\0'), std::string::npos) << path;
    EXPECT_EQ(path.front(), '/') << path;
}

void CheckDrop(std::span<const std::uint8_t> input)
{
    QMimeData mime;
    mime.setData("text/uri-list",
                 QByteArray(reinterpret_cast<const char*>(input.data()), static_cast<qsizetype>(input.size())));
    const platform::DragData data = platform::DragData::ReadFrom(mime);
    EXPECT_LE(data.Files().size(), input.size());
    for (const std::string& file : data.Files()) {
        ExpectPlainPath(file);
    }
}

const CorruptionKind& DropKind()
{
    static const CorruptionKind kind{"drop",
                                     {ToBytes("file:///srv/sounds/a.wav\r\nfile:///srv/sounds/b%20c.wav\r\n# "
                                              "comment\r\nhttp://example.invalid/x.wav\r\n"),
                                      ToBytes("file:///mnt/host/share/%E9%9F%B3.wav\r\nfile://localhost/tmp/d.mp3\r\n"),
                                      ToBytes("file:///a/b%00c.wav\nfile:///a/%ED%A0%80.wav\nfile:relative.wav\n")},
                                     16 * 1024};
    return kind;
}

TEST(CorruptionLoop, DroppedUrlLists)
{
    RunCorruptionLoop(DropKind(), CheckDrop);
}

TEST(RegressCases, DroppedUrlLists)
{
    ReplayRegressCases(DropKind().name, CheckDrop);
}

void CheckShortcut(std::span<const std::uint8_t> input)
{
    const std::optional<std::string> target = cache::shortcut::ReadTarget(input);
    if (!target) {
        return;
    }
    EXPECT_LE(target->size(), input.size() * 3);
    const std::string mapped = cache::shortcut::MapTarget(*target);
    if (!mapped.empty()) {
        // Only a network target has a meaning here, as a server path.
        EXPECT_EQ(mapped.rfind("//", 0), 0U) << mapped;
        EXPECT_EQ(mapped.find('\0'), std::string::npos);
    }
}

Bytes Shortcut(std::string localBase, std::string netName, std::string suffix, bool unicode, bool items)
{
    ShortcutBuilder builder;
    builder.localBase = std::move(localBase);
    builder.netName = std::move(netName);
    builder.suffix = std::move(suffix);
    builder.unicode = unicode;
    builder.withItemList = items;
    return builder.Build();
}

const CorruptionKind& ShortcutKind()
{
    static const CorruptionKind kind{"shortcut",
                                     {Shortcut("", "\\\\host\\share", "sounds\\a.wav", false, true),
                                      Shortcut("", "\\\\host\\share", "\xE9\x9F\xB3\\b.wav", true, false),
                                      Shortcut("C:\\sounds\\", "", "c.wav", false, true)},
                                     8192};
    return kind;
}

TEST(CorruptionLoop, ShortcutFiles)
{
    RunCorruptionLoop(ShortcutKind(), CheckShortcut);
}

TEST(RegressCases, ShortcutFiles)
{
    ReplayRegressCases(ShortcutKind().name, CheckShortcut);
}

} // namespace
