// Names of an older share that hold a byte of another code page (Latin-1
// "\xE9"), through the assembled program: dropped, such a sound is refused
// and named while the other files of the drop are taken; handed over by a
// second start, such an assign table opens and the page caption names it
// with the byte shown as "\xE9"; a dialog that hands back such a name with
// U+FFFD in it is refused; and the log stays UTF-8.
#include "AssembledInput.h"

#include "controls/UC_TextPicture.h"
#include "foundation/Parms.h"
#include "mainwindow/Sessions.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "platform/Surface.h"
#include "platform/base/TextCodec.h"
#include "support/HelperProcess.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace {

using apptest::AssembledFixture;
using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;

class ForeignNames : public AssembledFixture {
protected:
    std::vector<std::string> StoredRows(int output) const
    {
        std::vector<std::string> rows;
        const ListPage& page = program->Window.State.ListTable[static_cast<std::size_t>(ListTableIndex(output, 0))];
        for (const AssignRecord& item : page.Items) {
            if (!item.FileName.empty()) {
                rows.push_back(item.FileName);
            }
        }
        return rows;
    }
    bool LogIsText() const
    {
        const std::vector<std::string> entries = DayLogEntries();
        return std::all_of(entries.begin(), entries.end(),
                           [](const std::string& line) { return textcodec::IsValidUtf8(line); });
    }
};

TEST_F(ForeignNames, ADroppedSoundWithSuchANameIsRefusedAndNamedAndTheOthersAreTaken)
{
    ASSERT_TRUE(Start(2, {2}));
    const std::string kept = RampWave("kept.wav", Rate / 10);
    const std::string latin1 = RampWave("s\xE9.wav", Rate / 10);
    const std::string shown = sounds / "s\\xE9.wav";
    ASSERT_NE(DropFiles(Face(Button(0, 2)), {kept}), platform::DropEffectNone);

    DropFiles(Face(Button(0, 2)), {latin1});
    EXPECT_EQ(Record(0, 0, 2).FileName, kept);
    EXPECT_EQ(Button(0, 2).Text(0), "kept");
    EXPECT_THAT(messages, ElementsAre("Invalid Path.\r\n" + shown));

    const std::string before = RampWave("before.wav", Rate / 10);
    const std::string after = RampWave("after.wav", Rate / 10);
    DropFiles(Window().LV(1)->ListArea(), {before, latin1, after}, QPoint(10, 5));
    EXPECT_THAT(StoredRows(1), ElementsAre(before, after));
    EXPECT_EQ(Window().LV(1)->ItemCount(), 2);
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_EQ(messages[1], "Invalid Path.\r\n" + shown);

    const std::vector<std::string> log = DayLogEntries();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [&](const std::string& line) {
                                return line.find("Sound file refused: ") != std::string::npos &&
                                       line.find("\"" + shown + "\", which is no UTF-8 text") != std::string::npos;
                            }),
              2);
    EXPECT_TRUE(LogIsText());
}

TEST_F(ForeignNames, AHandedOverTableWithSuchANameOpensAndTheLogStaysText)
{
    ASSERT_TRUE(Start());
    const std::string sound = RampWave("morning.wav", Rate / 10);
    const std::string table = sounds.Write("caf\xE9.txt", "\"Button_01-001\",\"" + sound +
                                                              "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n");
    testsupport::HelperProcess second("tolv_test_session",
                                      {"sendhex", Sessions::SessionCaption(0), testsupport::HexOf(table)});
    ASSERT_EQ(second.Finish(), 1) << "the session took the command line";
    for (int tick = 0; tick < 10 && State().CurrentFilePath != table; ++tick) {
        Run(parms::TimerInt);
    }
    EXPECT_EQ(State().CurrentFilePath, table);
    EXPECT_EQ(Record(0, 0, 0).FileName, sound);
    EXPECT_EQ(Button(0, 0).Text(0), "morning");

    // The caption spells the byte as the messages and the log do; what the
    // window draws is that text, not a replacement character.
    controls::UC_TextPicture& caption = *Window().TextPage(0);
    const std::string shown = caption.TextMes(0);
    ASSERT_THAT(shown, testing::StartsWith("[caf\\xE9] "));
    const QImage drawn = caption.Picture().Image();
    const std::string page = shown.substr(std::string("[caf\\xE9] ").size());
    caption.DispMes(0, "[caf\xEF\xBF\xBD] " + page, 0);
    EXPECT_NE(caption.Picture().Image(), drawn);
    caption.DispMes(0, "[caf\\xE9] " + page, 0);
    EXPECT_EQ(caption.Picture().Image(), drawn);
    messages.clear();
    messageAnswer = platform::IdNo;
    Window().MenuTool->At(0)->trigger(); // asks before clearing
    EXPECT_THAT(messages, ElementsAre("[caf\\xE9] : Clear all list/button assign?"));
    EXPECT_EQ(Record(0, 0, 0).FileName, sound);

    // The store cannot hold the name as the last file: said once, also when
    // the table is saved again (as a close through the menu does).
    int ok = 0;
    Window().Ports.AssignFile->OpenSaveAssignFile(1, table, ok);
    EXPECT_EQ(ok, 1);
    const std::vector<std::string> log = DayLogEntries();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) {
                                return line.find("caf\\xE9.txt\", which is no UTF-8 text") != std::string::npos;
                            }),
              1);
    EXPECT_TRUE(LogIsText());
}

// A desktop's own file dialog takes names as text and may hand back one that
// is no UTF-8 text with U+FFFD in place of its byte. That names no file: the
// sound dialog and the table dialog refuse it as a drop of it is refused.
TEST_F(ForeignNames, ANameADialogTurnedIntoTextIsRefused)
{
    ASSERT_TRUE(Start());
    RampWave("s\xE9.wav", Rate / 10);
    sounds.Write("caf\xE9.txt", "\"Button_01-001\",\"\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n");
    const std::string sound = sounds / "s\xEF\xBF\xBD.wav";
    const std::string table = sounds / "caf\xEF\xBF\xBD.txt";
    std::string answer = sound;
    platform::SetFileDialogAnswer([&answer](const platform::FileDialogRequest&) { return answer; });
    ChooseInMenu = [this](QMenu& menu) {
        return &menu == Window().MenuRCButtonP ? Window().MenuRCButtonFile->At(0) : nullptr;
    };
    Click(Face(Button(0, 2)), Qt::RightButton);
    Run(parms::TimerInt);
    EXPECT_EQ(Record(0, 0, 2).FileName, "");
    EXPECT_EQ(Button(0, 2).Text(0), "");

    answer = table;
    const std::string open = State().CurrentFilePath;
    Window().MenuFile->At(0)->trigger();
    platform::SetFileDialogAnswer(nullptr);
    EXPECT_EQ(State().CurrentFilePath, open);
    EXPECT_THAT(messages, ElementsAre("Invalid Path.\r\n" + sound, "Invalid Path.\r\n" + table));
    const std::vector<std::string> log = DayLogEntries();
    for (const std::string& name : {sound, table}) {
        EXPECT_THAT(log, Contains(HasSubstr("File dialog: " + name + " names no file")));
    }
}

} // namespace
