// Assign tables of every script and shape open as they were written, keep
// their encoding and byte order mark through a save, and a damaged UTF-8
// table is never written over as code page 932.
#include "AssignFixture.h"

#include "platform/base/TextCodec.h"
#include "support/StoredTextFiles.h"

using namespace playbacktest;

namespace {

class AssignTextScripts : public AssignFixture {};

std::string ButtonLine(int button, const std::string& name)
{
    const std::string number = std::to_string(1000 + button + 1).substr(1);
    return "\"Button_01-" + number + "\",\"/srv/" + name + ".wav\",\"0\",\"0\",\"&H0\",\"&H0\"";
}

std::span<const std::uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

} // namespace

TEST_F(AssignTextScripts, OpenAndSaveKeepWhatEveryTableSays)
{
    const std::string path = scratch / "table.txt";
    const std::array<std::string, 3> added{"テーマ", "café", "plain"};
    int saves = 0;
    int refused = 0;
    const auto cases = testsupport::GenerateStoredTextCases(250, ButtonLine, 173);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const testsupport::StoredTextCase& c = cases[i];
        scratch.Write("table.txt", c.bytes);
        for (int b = 0; b < 10; ++b) {
            Button(0, 0, b).FileName.clear();
        }
        const bool damaged = c.damagedLine >= 0;
        // A damaged line refuses the table; the save then writes the tables
        // in memory over it, in the encoding the table was in.
        ASSERT_EQ(Open(path), damaged ? 0 : 1) << c.shape << "\n" << c.bytes;
        for (std::size_t k = 0; k < c.texts.size() && !damaged; ++k) {
            EXPECT_EQ(Button(0, 0, static_cast<int>(k)).FileName, "/srv/" + c.texts[k] + ".wav") << c.shape;
        }
        Button(0, 0, 9).FileName = "/srv/" + added[i % added.size()] + ".wav";
        ++saves;
        if (Save(path) == 0) {
            ++refused;
            EXPECT_EQ(testsupport::ReadText(path), c.bytes) << c.shape;
            continue;
        }
        const std::string saved = testsupport::ReadText(path);
        EXPECT_EQ(textcodec::HasByteOrderMark(Bytes(saved)), textcodec::HasByteOrderMark(Bytes(c.bytes))) << c.shape;
        if (c.encoding == textcodec::Encoding::Utf8) {
            EXPECT_TRUE(textcodec::IsValidUtf8(saved)) << c.shape << "\n" << saved;
        }
        std::vector<std::string> names;
        for (int b = 0; b < 10; ++b) {
            names.push_back(Button(0, 0, b).FileName);
        }
        ASSERT_EQ(Open(path), 1) << c.shape << "\n" << saved;
        for (int b = 0; b < 10; ++b) {
            EXPECT_EQ(Button(0, 0, b).FileName, names[static_cast<std::size_t>(b)]) << c.shape;
        }
    }
    std::cout << saves << " saves, " << refused << " refused as in doubt\n";
    EXPECT_LE(refused * 50, saves);
}
