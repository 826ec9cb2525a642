// Assign tables of every script and shape open as they were written, keep
// their encoding and byte order mark through a save, and a damaged UTF-8
// table is never written over as code page 932.
#include "AssignFixture.h"

#include "platform/base/TextCodec.h"
#include "platform/base/Utf16Text.h"
#include "playback/AssignText.h"
#include "support/StoredTextFiles.h"

#include <filesystem>

using namespace playbacktest;

namespace {

class AssignTextScripts : public AssignFixture {
protected:
    bool OpenAndSave(const testsupport::StoredTextCase& c, const std::string& added);
};

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

// Opens the case's table, assigns one more name and saves; false when the
// save was refused (the file then stays byte for byte).
bool AssignTextScripts::OpenAndSave(const testsupport::StoredTextCase& c, const std::string& added)
{
    // Judged against what the table truly is: a wrong reading is never certain.
    const textcodec::Judgement judgement = textcodec::Judge(Bytes(c.bytes));
    EXPECT_TRUE(!judgement.certain || (c.readable && judgement.encoding == c.encoding)) << c.shape << "\n" << c.bytes;
    const std::string path = scratch / "table.txt";
    scratch.Write("table.txt", c.bytes);
    for (int b = 0; b < 10; ++b) {
        Button(0, 0, b).FileName.clear();
    }
    // A damaged line refuses the table; the save then writes the tables in
    // memory over it, in the encoding the table was in.
    const bool damaged = c.damagedLine >= 0;
    const int opened = Open(path);
    if (c.readable) {
        EXPECT_EQ(opened, damaged ? 0 : 1) << c.shape << "\n" << c.bytes;
    }
    for (std::size_t k = 0; k < c.texts.size() && !damaged && c.readable; ++k) {
        EXPECT_EQ(Button(0, 0, static_cast<int>(k)).FileName, "/srv/" + c.texts[k] + ".wav") << c.shape;
    }
    Button(0, 0, 9).FileName = "/srv/" + added + ".wav";
    // Saved over itself, also where it was not opened: over another file
    // a save replaces it as a new one.
    state.CurrentFilePath = path;
    if (Save(path) == 0) {
        EXPECT_EQ(testsupport::ReadText(path), c.bytes) << c.shape;
        return false;
    }
    const std::string saved = testsupport::ReadText(path);
    const bool marked = textcodec::HasByteOrderMark(Bytes(c.bytes));
    // Only a table that was code page 932, read so, goes over to UTF-8, and
    // then with a byte order mark; any other keeps its form.
    if (textcodec::HasByteOrderMark(Bytes(saved)) != marked) {
        EXPECT_TRUE(c.readable && c.encoding == textcodec::Encoding::Cp932 && opened == 1) << c.shape << "\n" << saved;
    } else if (c.readable) {
        // The new name is in the encoding the table's own lines truly are in.
        EXPECT_NE(saved.find(textcodec::Encode("/srv/" + added + ".wav", c.encoding)), std::string::npos)
            << c.shape << "\n"
            << saved;
        EXPECT_TRUE(c.encoding == textcodec::Encoding::Cp932 || textcodec::IsValidUtf8(saved)) << c.shape << "\n"
                                                                                               << saved;
    } else {
        // A table in another code page takes no text of either encoding.
        EXPECT_TRUE(textcodec::IsAscii(added)) << c.shape << "\n" << saved;
    }
    std::vector<std::string> names;
    for (int b = 0; b < 10; ++b) {
        names.push_back(Button(0, 0, b).FileName);
    }
    EXPECT_EQ(Open(path), 1) << c.shape << "\n" << saved;
    for (int b = 0; b < 10; ++b) {
        EXPECT_EQ(Button(0, 0, b).FileName, names[static_cast<std::size_t>(b)]) << c.shape;
    }
    return true;
}

TEST_F(AssignTextScripts, OpenAndSaveKeepWhatEveryTableSays)
{
    const std::array<std::string, 3> added{"テーマ", "café", "plain"};
    int saves = 0;
    int refused = 0;
    const auto cases = testsupport::GenerateStoredTextCases(250, ButtonLine, 173);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        ++saves;
        refused += OpenAndSave(cases[i], added[i % added.size()]) ? 0 : 1;
    }
    std::cout << saves << " saves, " << refused << " refused as in doubt\n";
    EXPECT_LE(refused * 50, saves);
}

// Tables that were misjudged or in doubt: none is misread, none goes over to
// UTF-8 from a doubtful reading, and most in doubt still take the name.
TEST_F(AssignTextScripts, TablesInDoubtOrOfOtherOriginsKeepTheirReading)
{
    const std::array<std::string, 3> added{"テーマ", "café", "plain"};
    int inDoubt = 0;
    int inDoubtSaved = 0;
    const auto cases = testsupport::GenerateMisjudgedTextCases(220, ButtonLine, 176);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const bool doubt = !textcodec::Judge(Bytes(cases[i].bytes)).certain && cases[i].readable;
        const bool saved = OpenAndSave(cases[i], added[i % added.size()]);
        inDoubt += doubt ? 1 : 0;
        inDoubtSaved += doubt && saved ? 1 : 0;
    }
    std::cout << inDoubt << " tables in doubt, " << inDoubtSaved << " of them saved\n";
    EXPECT_GT(inDoubt, 0);
    EXPECT_GT(inDoubtSaved, 0);
}

// UTF-16 tables, with a mark or without, are refused at open, whole: the
// tables in memory and the file stay as they were. Saved over, such a file is a new table in UTF-8.
TEST_F(AssignTextScripts, Utf16TablesAreRefusedAtOpenAndLeftAsTheyAre)
{
    const std::string path = scratch / "table.txt";
    Button(0, 0, 0).FileName = "/srv/before.wav";
    int n = 0;
    for (testsupport::StoredTextCase c : testsupport::GenerateUtf16TextCases(40, ButtonLine)) {
        // Every other one without its mark, as some tools save UTF-16.
        c.bytes.erase(0, n++ % 2 == 0 ? 0 : 2);
        scratch.Write("table.txt", c.bytes);
        const std::size_t boxesBefore = boxes.size();
        EXPECT_EQ(Open(path), 0) << c.shape;
        EXPECT_EQ(boxes.size(), boxesBefore + 1) << c.shape;
        EXPECT_EQ(Button(0, 0, 0).FileName, "/srv/before.wav") << c.shape;
        EXPECT_EQ(testsupport::ReadText(path), c.bytes) << c.shape;
        Button(0, 0, 1).FileName = "/srv/" + c.texts[0] + ".wav";
        ASSERT_EQ(Save(path), 1) << c.shape;
        const std::string saved = testsupport::ReadText(path);
        EXPECT_TRUE(textcodec::IsValidUtf8(saved) && saved.find('\0') == std::string::npos) << c.shape;
        ASSERT_EQ(Open(path), 1) << c.shape;
        EXPECT_EQ(Button(0, 0, 1).FileName, "/srv/" + c.texts[0] + ".wav") << c.shape;
    }
}

// A table that goes over from code page 932 to UTF-8 keeps its bytes from
// before beside it, and a copy kept earlier stays.
TEST_F(AssignTextScripts, ATableGoingOverToUtf8KeepsItsOriginalOnce)
{
    const std::string path = scratch / "table.txt";
    const std::string kept = path + ".cp932";
    const std::string first =
        textcodec::EncodeCp932(ButtonLine(0, "東京タワーの夜景") + "\r\n" + ButtonLine(1, "大阪城公園の桜") + "\r\n");
    for (const std::string& original : {first, textcodec::EncodeCp932(ButtonLine(0, "名古屋の喫茶店") + "\r\n")}) {
        scratch.Write("table.txt", original);
        ASSERT_EQ(Open(path), 1);
        ASSERT_EQ(file->CurrentEncoding(), textcodec::Encoding::Cp932);
        Button(0, 0, 5).FileName = "/srv/😀.wav";
        ASSERT_EQ(Save(path), 1);
        EXPECT_TRUE(textcodec::HasByteOrderMark(Bytes(testsupport::ReadText(path))));
        EXPECT_EQ(testsupport::ReadText(kept), first);
    }
    // Where the original cannot be kept, the table does not go over.
    std::filesystem::remove(kept);
    std::filesystem::create_directory(kept);
    scratch.Write("table.txt", first);
    ASSERT_EQ(Open(path), 1);
    Button(0, 0, 5).FileName = "/srv/😀.wav";
    boxes.clear();
    EXPECT_EQ(Save(path), 0);
    EXPECT_EQ(testsupport::ReadText(path), first);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_TRUE(boxes[0].starts_with("The assign table was not saved:") && boxes[0].find(kept) != std::string::npos)
        << boxes[0];
}

// A table in another code page (ISO 8859-1) goes under a new name, and over
// another file, with its lines' bytes, as a save over itself keeps them; a
// new line that it cannot hold safely is refused with the box.
TEST_F(AssignTextScripts, ATableOfAnotherCodePageIsSavedAsWithItsBytes)
{
    const std::string original = "\"BankName_01\",\"S\xE3o Paulo\"\r\n" + ButtonLine(0, "plain") + "\r\n";
    ASSERT_EQ(Open(scratch.Write("iso.txt", original)), 1);
    ASSERT_EQ(Save(scratch / "copy.txt"), 1);
    EXPECT_EQ(testsupport::ReadText(scratch / "copy.txt"), original);
    const std::string other = scratch.Write("other.txt", "\xEF\xBB\xBF\"BankName_01\",\"Zürich\"\r\n");
    ASSERT_EQ(Save(other), 1);
    EXPECT_EQ(testsupport::ReadText(other), original);

    Button(0, 0, 1).FileName = "/srv/café.wav";
    EXPECT_EQ(Save(scratch / "new.txt"), 0);
    EXPECT_FALSE(std::filesystem::exists(scratch / "new.txt"));
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_TRUE(boxes[0].starts_with("The assign table was not saved:") && boxes[0].find("café") != std::string::npos)
        << boxes[0];
}

// Save As over another file replaces it whole: a table read for certain is
// written as a new file, whatever the old file's reading; a save over a
// table's own file that now holds zero bytes is refused with the box.
TEST_F(AssignTextScripts, SaveAsReplacesAFileInDoubtAndZeroBytesRefuseASaveOverItself)
{
    ASSERT_EQ(Open(scratch.Write("show.txt", ButtonLine(0, "東京") + "\r\n")), 1);
    const std::string doubtful = scratch.Write("old.txt", "\"BankName_01\",\"old é\"\r\n");
    ASSERT_EQ(Save(doubtful), 1);
    EXPECT_EQ(testsupport::ReadText(doubtful), ButtonLine(0, "東京") + "\r\n");

    const std::string zeroed = ButtonLine(0, "東京") + "\r\n" + std::string("\0\0\0\0", 4);
    scratch.Write("old.txt", zeroed);
    boxes.clear();
    EXPECT_EQ(Save(doubtful), 0);
    EXPECT_EQ(testsupport::ReadText(doubtful), zeroed);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_TRUE(boxes[0].starts_with("The assign table was not saved:")) << boxes[0];
}

// A line the table keeps may begin with the bytes of a UTF-16 mark (a damaged
// line); saved first, it would make the next open take the whole table for
// UTF-16, in which no table is read: the table goes over to UTF-8 instead.
TEST(AssignText, AKeptLineNeverMakesTheTableReadAsUtf16)
{
    for (const std::string mark : {"\xFF\xFE", "\xFE\xFF"}) {
        const std::string damaged = mark + ButtonLine(1, "café");
        const std::string file = ButtonLine(0, "café") + "\r\n" + damaged + "\r\n";
        const playback::AssignTextForm form = playback::ReadAssignText(Bytes(file)).Form;
        const playback::AssignBytes saved = playback::EncodeAssignText(damaged + "\r\n", Bytes(file), form);
        ASSERT_TRUE(saved.Bytes);
        EXPECT_FALSE(textcodec::Utf16TextOrder(Bytes(*saved.Bytes)));
        EXPECT_EQ(playback::ReadAssignText(Bytes(*saved.Bytes)).Text, damaged + "\r\n");
    }
}
