// Damaged and hostile assign tables: over-long lines and files, NULs, bytes
// that are not text, numbers outside their fields. A bad line changes nothing
// and says which line it was; no path is ever kept with a replacement
// character.
#include "AssignFixture.h"

#include "foundation/ModuleValues.h"
#include "platform/base/TextCodec.h"
#include "support/Cp932ReadingAsUtf8.h"

#include <filesystem>

using namespace playbacktest;
using testsupport::ReadText;

namespace {

class AssignDamage : public AssignFixture {
protected:
    void SetUp() override
    {
        AssignFixture::SetUp();
        savedLogFolder_ = basic::LogFolder;
        savedLogError_ = basic::LogError;
        basic::LogFolder = scratch.Folder("log");
        basic::LogError = 1;
        Button(0, 0, 0).FileName = "keep.wav";
        BankName(0, 1) = "Kept";
    }
    void TearDown() override
    {
        basic::LogFolder = savedLogFolder_;
        basic::LogError = savedLogError_;
        AssignFixture::TearDown();
    }

    std::string DayLog() const
    {
        std::string all;
        for (const auto& entry : std::filesystem::directory_iterator(basic::LogFolder)) {
            all += ReadText(entry.path().string());
        }
        return all;
    }
    static std::string ButtonLine(int button, std::string_view path, std::string_view mode = "0",
                                  std::string_view start = "0")
    {
        std::string number = std::to_string(button);
        number.insert(0, 3 - number.size(), '0');
        return "\"Button_01-" + number + "\",\"" + std::string(path) + "\",\"" + std::string(mode) + "\",\"" +
               std::string(start) + "\",\"&H0\",\"&H0\"\r\n";
    }
    // The file is refused with the reader's message, the tables stay, and
    // the log names the line.
    void ExpectRefusedAtLine(const std::string& path, int line)
    {
        boxes.clear();
        EXPECT_EQ(Open(path), 0);
        ASSERT_EQ(boxes.size(), 1U);
        EXPECT_EQ(boxes[0], "Can not read assign table file");
        EXPECT_EQ(Button(0, 0, 0).FileName, "keep.wav");
        EXPECT_EQ(BankName(0, 1), "Kept");
        EXPECT_NE(DayLog().find("line=" + std::to_string(line)), std::string::npos) << DayLog();
    }

private:
    std::string savedLogFolder_;
    int savedLogError_ = 0;
};

} // namespace

TEST_F(AssignDamage, ALineOverSixtyFourKibIsABadLine)
{
    // Exactly 64 KiB is still a line; one byte more is not.
    std::string longest = ButtonLine(2, "a.wav");
    longest.insert(longest.size() - 2, 65536 - (longest.size() - 2), ',');
    ASSERT_EQ(longest.size(), 65536U + 2U);
    ASSERT_EQ(Open(scratch.Write("longest.txt", ButtonLine(1, "x.wav") + longest)), 1);
    EXPECT_EQ(Button(0, 0, 1).FileName, scratch / "a.wav");

    Button(0, 0, 0).FileName = "keep.wav";
    BankName(0, 1) = "Kept";
    std::string over = longest;
    over.insert(over.size() - 2, ",");
    ExpectRefusedAtLine(scratch.Write("over.txt", ButtonLine(1, "x.wav") + over + ButtonLine(3, "y.wav")), 2);

    // A line of nothing but commas, as a fuzzer sends, stops there too.
    ExpectRefusedAtLine(scratch.Write("commas.txt", "\"Button_01-001\"" + std::string(1 << 20, ',') + "\r\n"), 1);
}

TEST_F(AssignDamage, AFileOverSixtyFourMibIsNotRead)
{
    // A sparse file: it takes no room on the disk, and must take none in memory.
    const std::string path = scratch.Write("huge.txt", ButtonLine(1, "x.wav"));
    std::filesystem::resize_file(path, 64u * 1024u * 1024u + 1u);
    ExpectRefusedAtLine(path, 0);
    EXPECT_NE(DayLog().find("huge.txt"), std::string::npos);
}

TEST_F(AssignDamage, ANulInsideAFieldIsABadLine)
{
    std::string text = ButtonLine(1, "a.wav") + ButtonLine(2, std::string("b.wav\0x.wav", 11));
    ExpectRefusedAtLine(scratch.Write("nul.txt", text), 2);
    ExpectRefusedAtLine(scratch.Write("nulcaption.txt", std::string("\"BankName_01\",\"Mor\0ning\"\r\n", 26)), 1);
}

TEST_F(AssignDamage, OneStrayByteInUtf8IsABadLineNotMojibake)
{
    const std::string good = ButtonLine(1, "//srv/音/ニュース.wav") + "\"BankName_01\",\"朝の番組\"\r\n";
    const std::string damaged = good + ButtonLine(2, "//srv/音/b\xFF.wav") + ButtonLine(3, "//srv/音/c.wav");
    const std::string path = scratch.Write("stray.txt", damaged);
    ExpectRefusedAtLine(path, 3);

    // Saved over, the file stays UTF-8: what the operator assigns is written
    // as it is, never as code page 932 bytes.
    Button(0, 0, 0).FileName = "//srv/音/ニュース.wav";
    ASSERT_EQ(Save(path), 1);
    const std::string saved = ReadText(path);
    EXPECT_TRUE(textcodec::IsValidUtf8(saved));
    EXPECT_NE(saved.find("//srv/音/ニュース.wav"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("\xEF\xBF\xBD"), std::string::npos);

    // A replacement character that is a UTF-8 character of the file is no
    // damage: it reads as it stands.
    ASSERT_EQ(Open(scratch.Write("replacement.txt", ButtonLine(1, "//srv/音/\xEF\xBF\xBD.wav"))), 1);
    EXPECT_EQ(Button(0, 0, 0).FileName, "//srv/音/\xEF\xBF\xBD.wav");

    // The same file without the stray byte reads as UTF-8, unchanged.
    ASSERT_EQ(Open(scratch.Write("clean.txt", good)), 1);
    EXPECT_EQ(Button(0, 0, 0).FileName, "//srv/音/ニュース.wav");
    EXPECT_EQ(BankName(0, 0), "朝の番組");
    EXPECT_EQ(file->CurrentEncoding(), textcodec::Encoding::Utf8);
}

// A name with a byte of another code page (Latin-1 "é", as names on older
// shares are) reads back in neither encoding: its entry alone is not saved,
// and the table opens again with every other line as it was.
TEST_F(AssignDamage, ANameThatIsNoTextIsLeftOutAndTheTableStillOpens)
{
    const std::string text = "\"BankName_01\",\"テーマ\"\r\n" + ButtonLine(1, "/srv/音/a.wav");
    const std::string path = scratch / "latin1.txt";
    for (const std::string& bytes : {text, textcodec::EncodeCp932(text)}) {
        scratch.Write("latin1.txt", bytes);
        ASSERT_EQ(Open(path), 1);
        Button(0, 0, 1).FileName = "/srv/caf\xE9.wav";
        ASSERT_EQ(Save(""), 1);
        EXPECT_EQ(ReadText(path), bytes);
        ASSERT_EQ(Open(path), 1);
        EXPECT_EQ(BankName(0, 0), "テーマ");
        EXPECT_EQ(Button(0, 0, 0).FileName, "/srv/音/a.wav");
        EXPECT_EQ(Button(0, 0, 1).FileName, "");
    }
    EXPECT_NE(DayLog().find("WriteAssignFile: " + path +
                            " cannot hold Button_01-002 \"/srv/caf\\xE9.wav\", which is no UTF-8 text; not saved"),
              std::string::npos)
        << DayLog();
}

TEST_F(AssignDamage, ACp932ByteThatCannotBeDecodedIsABadLine)
{
    // 0x81 0x20 is a lead byte without its trail byte.
    const std::string text = textcodec::EncodeCp932(ButtonLine(1, "\\\\srv\\音\\a.wav")) +
                             textcodec::EncodeCp932("\"BankName_01\",\"朝") + "\x81\x20\"\r\n";
    ExpectRefusedAtLine(scratch.Write("cp932bad.txt", text), 2);

    // Whole, the same file reads as code page 932 and is written back so.
    const std::string whole =
        textcodec::EncodeCp932("\"BankName_01\",\"朝\"\r\n" + ButtonLine(1, "\\\\srv\\音\\a.wav"));
    const std::string path = scratch.Write("cp932.txt", whole);
    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(Button(0, 0, 0).FileName, "\\\\srv\\音\\a.wav");
    EXPECT_EQ(file->CurrentEncoding(), textcodec::Encoding::Cp932);
    ASSERT_EQ(Save(""), 1);
    EXPECT_EQ(ReadText(path), whole);

    // Half-width katakana pair up into two-byte UTF-8 characters; a byte that
    // does not pair still makes the table code page 932, not a bad line.
    const std::string halfWidth = textcodec::EncodeCp932("\"BankName_01\",\"ﾃｰﾏｿﾝ\"\r\n");
    ASSERT_EQ(Open(scratch.Write("halfwidth.txt", halfWidth)), 1);
    EXPECT_EQ(BankName(0, 0), "ﾃｰﾏｿﾝ");
    ASSERT_EQ(Save(""), 1);
    EXPECT_EQ(ReadText(scratch / "halfwidth.txt"), halfWidth);
}

TEST_F(AssignDamage, ANameCodePage932CannotHoldTurnsTheTableIntoUtf8)
{
    const std::string whole =
        textcodec::EncodeCp932("\"BankName_01\",\"朝\"\r\n" + ButtonLine(1, "\\\\srv\\音\\a.wav"));
    const std::string path = scratch.Write("cp932.txt", whole);
    ASSERT_EQ(Open(path), 1);
    ASSERT_EQ(file->CurrentEncoding(), textcodec::Encoding::Cp932);

    // "é" and "한" have no place in code page 932: saved as "?" the file
    // name would be lost.
    Button(0, 0, 1).FileName = "\\\\srv\\café\\한.wav";
    ASSERT_EQ(Save(""), 1);
    const std::string saved = ReadText(path);
    EXPECT_TRUE(textcodec::IsValidUtf8(saved));
    EXPECT_NE(saved.find("caf\xC3\xA9"), std::string::npos);
    EXPECT_NE(saved.find("\xED\x95\x9C.wav"), std::string::npos);
    EXPECT_NE(saved.find("朝"), std::string::npos);
    EXPECT_EQ(file->CurrentEncoding(), textcodec::Encoding::Utf8);
    EXPECT_NE(DayLog().find("saved as UTF-8"), std::string::npos);
    // With a byte order mark no later reading takes it for code page 932.
    EXPECT_TRUE(saved.starts_with("\xEF\xBB\xBF"));

    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(Button(0, 0, 1).FileName, "\\\\srv\\café\\한.wav");
    EXPECT_EQ(Button(0, 0, 0).FileName, "\\\\srv\\音\\a.wav");
}

TEST_F(AssignDamage, ANameCodePage932WouldReadBackAsALookAlikeTurnsTheTableIntoUtf8)
{
    const std::string whole =
        textcodec::EncodeCp932("\"BankName_01\",\"朝\"\r\n" + ButtonLine(1, "\\\\srv\\音\\a.wav"));
    const std::string path = scratch / "cp932.txt";

    // Full-width twins of the characters below do come back: the file stays
    // code page 932 and the lines it had keep their bytes.
    scratch.Write("cp932.txt", whole);
    ASSERT_EQ(Open(path), 1);
    const std::string twins = "\\\\srv\\テーマ～1\\－￠￡￥￢―∥￣5 jingle.wav";
    Button(0, 0, 1).FileName = twins;
    ASSERT_EQ(Save(""), 1);
    EXPECT_TRUE(ReadText(path).starts_with(whole));
    EXPECT_EQ(file->CurrentEncoding(), textcodec::Encoding::Cp932);
    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(Button(0, 0, 1).FileName, twins);

    for (const std::string c : {"〜", "−", "¢", "£", "¥", "¬", "—", "‖", "‾"}) {
        scratch.Write("cp932.txt", whole);
        ASSERT_EQ(Open(path), 1);
        ASSERT_EQ(file->CurrentEncoding(), textcodec::Encoding::Cp932);
        const std::string name = "\\\\srv\\テーマ" + c + "1\\" + c + "5 ～￡jingle.wav";
        Button(0, 0, 1).FileName = name;
        ASSERT_EQ(Save(""), 1);
        EXPECT_TRUE(textcodec::IsValidUtf8(ReadText(path))) << c;
        ASSERT_EQ(Open(path), 1);
        EXPECT_EQ(Button(0, 0, 1).FileName, name);
        EXPECT_EQ(Button(0, 0, 0).FileName, "\\\\srv\\音\\a.wav") << c;
        EXPECT_EQ(BankName(0, 0), "朝") << c;
    }
    EXPECT_NE(DayLog().find("saved as UTF-8"), std::string::npos);
}

// A byte order mark says UTF-8, whatever the bytes after it would say by
// themselves, and is no text of the first line.
TEST_F(AssignDamage, AByteOrderMarkSaysUtf8AndIsNoText)
{
    // Valid UTF-8 of mixed scripts: without the mark, code page 932.
    const std::string chance = textcodec::EncodeCp932("痼ｨ痺ｶ");
    const std::string path = scratch.Write("marked.txt", "\xEF\xBB\xBF\"BankName_01\",\"Morning\"\r\n" +
                                                             ButtonLine(1, "/srv/" + chance + ".wav"));
    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(BankName(0, 0), "Morning");
    EXPECT_EQ(Button(0, 0, 0).FileName, "/srv/" + chance + ".wav");
}

// A table that reads both ways takes a name that keeps every line reading as
// it did, in its likelier encoding; a name it could hold only by going over
// to UTF-8 is not saved, the file stays byte for byte and the log names it.
TEST_F(AssignDamage, ATableInDoubtTakesWhatReadsBackAndNeverGoesOverToUtf8)
{
    const std::string doubt =
        textcodec::EncodeCp932("\"BankName_01\",\"ﾗｼﾞｵ\"\r\n"); // a Hebrew character and stray bytes as UTF-8
    const std::string path = scratch.Write("doubt.txt", doubt);
    ASSERT_EQ(Open(path), 1);
    ASSERT_EQ(BankName(0, 0), "ﾗｼﾞｵ");
    Button(0, 0, 1).FileName = "/srv/café.wav";
    EXPECT_EQ(Save(""), 0);
    EXPECT_EQ(ReadText(path), doubt);
    EXPECT_NE(DayLog().find("not saved: \"\"Button_01-002\",\"/srv/café.wav\""), std::string::npos) << DayLog();

    Button(0, 0, 1).FileName = "/srv/テーマ.wav";
    ASSERT_EQ(Save(""), 1);
    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(BankName(0, 0), "ﾗｼﾞｵ");
    EXPECT_EQ(Button(0, 0, 1).FileName, "/srv/テーマ.wav");
    EXPECT_TRUE(ReadText(path).starts_with(doubt));
}

// Saved into a table read as code page 932, each name comes back as it was.
class Cp932ReadingAsUtf8InTable : public AssignDamage,
                                  public testing::WithParamInterface<testsupport::Cp932ReadingAsUtf8> {};

TEST_P(Cp932ReadingAsUtf8InTable, ComesBackAsItWasSaved)
{
    const std::string text = GetParam().text;
    ASSERT_TRUE(textcodec::IsValidUtf8(textcodec::EncodeCp932(text)));
    const std::string path = scratch / "cp932.txt";

    // The name takes the place of the only one that made the table code page
    // 932: the table stays so where the reader still sees the chance in its
    // bytes, else it goes over to UTF-8.
    scratch.Write("cp932.txt", textcodec::EncodeCp932(ButtonLine(1, "/srv/音/a.wav")));
    ASSERT_EQ(Open(path), 1);
    ASSERT_EQ(file->CurrentEncoding(), textcodec::Encoding::Cp932);
    const std::string name = "/srv/" + text + ".wav";
    Button(0, 0, 0).FileName = name;
    ASSERT_EQ(Save(""), 1);
    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(Button(0, 0, 0).FileName, name);
    if (testsupport::ReadText(path) != textcodec::EncodeCp932(ButtonLine(1, name))) {
        EXPECT_NE(
            DayLog().find("WriteAssignFile: " + path + ": its code page 932 bytes would read as UTF-8; saved as UTF-8"),
            std::string::npos);
    }

    // Beside a name whose code page 932 bytes hold one that UTF-8 cannot
    // place ("ア" is 83 41), the reader would take the table for UTF-8 with
    // one damaged line and refuse it.
    scratch.Write("cp932.txt", textcodec::EncodeCp932(ButtonLine(1, "/srv/ア/a.wav")));
    ASSERT_EQ(Open(path), 1);
    ASSERT_EQ(file->CurrentEncoding(), textcodec::Encoding::Cp932);
    const std::string twice = "/srv/" + text + "/" + text + ".wav";
    Button(0, 0, 1).FileName = twice;
    ASSERT_EQ(Save(""), 1);
    ASSERT_EQ(Open(path), 1);
    EXPECT_EQ(Button(0, 0, 0).FileName, "/srv/ア/a.wav");
    EXPECT_EQ(Button(0, 0, 1).FileName, twice);
}

INSTANTIATE_TEST_SUITE_P(Texts, Cp932ReadingAsUtf8InTable, testing::ValuesIn(testsupport::Cp932TextsReadingAsUtf8),
                         testsupport::Cp932ReadingAsUtf8Name);

TEST_F(AssignDamage, ANumberOutsideItsFieldTakesTheDefaultAndIsLogged)
{
    state.DefaultButtonOption = 2;
    const std::string text = ButtonLine(1, "a.wav", "7", "2147483647") + ButtonLine(2, "b.wav", "-1", "-2147483648") +
                             ButtonLine(3, "c.wav", "3", "86400000") + ButtonLine(4, "d.wav", "x", "-86400000") +
                             "\"List_01-001\",\"e.wav\",\"5\",\"86400001\"\r\n"
                             "\"List_01-002\",\"f.wav\",\"1\",\"-250\"\r\n";
    ASSERT_EQ(Open(scratch.Write("ranges.txt", text)), 1);
    EXPECT_TRUE(boxes.empty());
    // Still loaded: only the values out of range fall back.
    EXPECT_EQ(Button(0, 0, 0).FileName, scratch / "a.wav");
    EXPECT_EQ(Button(0, 0, 0).PlayMode, 2);
    EXPECT_EQ(Button(0, 0, 0).StartMS, 0);
    EXPECT_EQ(Button(0, 0, 1).PlayMode, 2);
    EXPECT_EQ(Button(0, 0, 1).StartMS, 0);
    EXPECT_EQ(Button(0, 0, 2).PlayMode, 3);
    EXPECT_EQ(Button(0, 0, 2).StartMS, 86400000);
    EXPECT_EQ(Button(0, 0, 3).PlayMode, 2) << "not numeric: the default, without a word";
    EXPECT_EQ(Button(0, 0, 3).StartMS, -86400000);
    ASSERT_EQ(List(0, 0).Items.size(), 2U);
    EXPECT_EQ(List(0, 0).Items[0].FileName, scratch / "e.wav");
    EXPECT_EQ(List(0, 0).Seq[0], 0);
    EXPECT_EQ(List(0, 0).Items[0].StartMS, 0);
    EXPECT_EQ(List(0, 0).Seq[1], 1);
    EXPECT_EQ(List(0, 0).Items[1].StartMS, -250);

    // One line per table line with values out of range, naming it.
    const std::string written = DayLog();
    for (const char* named : {"line 1:", "line 2:", "line 5:"}) {
        const std::size_t at = written.find(named);
        ASSERT_NE(at, std::string::npos) << named << "\n" << written;
        EXPECT_EQ(written.find(named, at + 1), std::string::npos) << named;
    }
    EXPECT_NE(written.find("PlayMode 7, StartMS 2147483647"), std::string::npos) << written;
    for (const char* quiet : {"line 3:", "line 4:", "line 6:"}) {
        EXPECT_EQ(written.find(quiet), std::string::npos) << quiet;
    }
}
