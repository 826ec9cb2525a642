// The operator's settings file at its edges, through the assembled program:
// a line that ends in a CR alone, and UTF-16 without a byte order mark.
#include "AssembledFixture.h"

#include "foundation/Settings.h"
#include "mainwindow/FrmMain.h"
#include "support/StoredTextFiles.h"

#include <gmock/gmock.h>

#include <optional>
#include <string>

namespace {

using testing::StartsWith;

const std::string Base = "[conf]\r\nLangMode=1\r\nPlayerType=3\r\n";

class StoredTextEdges : public apptest::AssembledFixture {
protected:
    // Saves a table, which stores its name as the last table; the name.
    std::string SaveTable()
    {
        const std::string table = sounds / "show.txt";
        int ok = 0;
        Window().Ports.AssignFile->OpenSaveAssignFile(1, table, ok);
        EXPECT_EQ(ok, 1);
        EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), table);
        return table;
    }
    // Starts on a tolv.ini in UTF-16 of the order without a mark: it is read,
    // and what the program adds and stores is UTF-16 of that order too.
    void StartOnUnmarkedUtf16(const std::string& order)
    {
        const std::string ini =
            folder.Write("tolv.ini", testsupport::Utf16File(Base + "Studio=Café Bleu\r\n", order).substr(2));
        ASSERT_TRUE(Start());
        EXPECT_EQ(basic::GetSetting("Studio", ""), "Café Bleu");
        const std::string table = SaveTable();
        const std::string bytes = testsupport::ReadText(ini);
        const std::string mark = order == "LE" ? "\xFF\xFE" : "\xFE\xFF";
        EXPECT_FALSE(bytes.starts_with(mark));
        const std::optional<std::string> text = testsupport::ReadUtf16File(mark + bytes, order);
        ASSERT_TRUE(text.has_value());
        EXPECT_THAT(*text, StartsWith(Base + "Studio=Café Bleu\r\n"));
        // The start writes its defaults back (OpenLast among them), and the
        // save the last table's name: each a UTF-16 line of its own.
        EXPECT_THAT(*text, testing::HasSubstr("\r\nOpenLast=0\r\n"));
        EXPECT_THAT(*text, testing::HasSubstr("\r\nLastTlvFilename=" + table + "\r\n"));
    }
};

TEST_F(StoredTextEdges, StoringTheLastTableKeepsTheLineAfterACrAlone)
{
    const std::string ini = folder.Write("tolv.ini", Base + "LastTlvFilename=/srv/old.txt\rStudio=Café Bleu\r\n");
    ASSERT_TRUE(Start());
    const std::string table = SaveTable();
    EXPECT_EQ(basic::GetSetting("Studio", ""), "Café Bleu");
    EXPECT_THAT(testsupport::ReadText(ini), StartsWith(Base + "LastTlvFilename=" + table + "\rStudio=Café Bleu\r\n"));
}

TEST_F(StoredTextEdges, ALittleEndianFileWithoutAMarkIsReadAndStaysSo)
{
    StartOnUnmarkedUtf16("LE");
}

TEST_F(StoredTextEdges, ABigEndianFileWithoutAMarkIsReadAndStaysSo)
{
    StartOnUnmarkedUtf16("BE");
}

} // namespace
