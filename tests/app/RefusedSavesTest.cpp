// A refused save through the assembled program: the message names the value
// that was not stored and why, and nothing is taken for saved. The files read
// as code page 932 and as UTF-8 alike (half-width katakana), so they take no
// value they could hold only by going over to UTF-8.
#include "AssembledFixture.h"

#include "controls/UC_Buttons.h"
#include "controls/UC_PathText.h"
#include "controls/UC_TextPicture.h"
#include "dialogs/ConfPage.h"
#include "dialogs/FrmConf.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "mainwindow/FrmMain.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "platform/base/TextCodec.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace {

using apptest::AssembledFixture;
using testing::HasSubstr;
using testing::StartsWith;

const std::string TableInDoubt = textcodec::EncodeCp932("\"BankName_01\",\"ﾗｼﾞｵ\"\r\n");

// The message names the entry as the table holds it and why it was refused.
MATCHER_P(NamesTheEntryRefusedBy, file, "")
{
    return arg.starts_with("The assign table was not saved:\r\n\r\n\"Button_01-002\",\"/srv/café.wav\",") &&
           arg.find("\r\nThe character encoding of \"" + file + "\" cannot take") != std::string::npos;
}

using RefusedSaves = AssembledFixture;

TEST_F(RefusedSaves, TheConfigurationsOkNamesTheRefusedValueStaysOpenAndAppliesTheOthers)
{
    const std::string ini =
        folder.Write("tolv.ini", textcodec::EncodeCp932("[conf]\r\nBankName=ﾗｼﾞｵ\r\nLangMode=1\r\nPlayerType=3\r\n"));
    ASSERT_TRUE(Start());
    ASSERT_EQ(basic::SettingsIniPath, ini);
    bool stayedOpen = false;
    // Cancel closes the dialog after the refused OK.
    EXPECT_TRUE(Configure(0, [&](FrmConf& dialog) {
        dialog.TabConf_TabClicked(6);
        dialog.Page(6)->ControlOf<UC_PathText>("MixerApp")->SetText("/srv/mixér");
        dialog.Page(6)->ControlOf<UC_PathText>("EditApp")->SetText("/usr/bin/editor");
        int ok = 1;
        dialog.OKCancelButtons().ButtonClicked(ok);
        stayedOpen = program->Config.Window() == &dialog && dialog.isVisible();
    }));
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0], "These settings were not saved; the others were.\r\n\r\nMixerApp=/srv/mixér\r\nThe "
                           "character encoding of \"" +
                               ini + "\" cannot take this value safely: the file would read back otherwise next time.");
    EXPECT_EQ(parms::EditApp, "/usr/bin/editor");
    EXPECT_THAT(testsupport::ReadText(ini), testing::Not(HasSubstr("/srv/mix")));
    const auto log = DayLogEntries();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) { return line.find("IniWrite MixerApp: ") != line.npos; }),
              1);
}

TEST_F(RefusedSaves, ARefusedSaveAtCloseNamesTheEntryAndTheProgramStaysWhenTheOperatorSaysSo)
{
    Store("SaveEnd", "2");
    ASSERT_TRUE(Start());
    const std::string table = sounds.Write("doubt.txt", TableInDoubt);
    int ok = 0;
    Window().Ports.AssignFile->OpenSaveAssignFile(0, table, ok);
    ASSERT_EQ(ok, 1);
    Record(0, 0, 1).FileName = "/srv/café.wav";
    platform::SetMessageBoxAnswer([&](const platform::MessageBoxRequest& request) {
        messages.push_back(request.text);
        return request.text == "Save failed.Close anyway?" ? platform::IdNo : platform::IdYes;
    });
    Window().close();
    EXPECT_EQ(State().Running, 1);
    ASSERT_EQ(messages.size(), 3U);
    EXPECT_THAT(messages[1], NamesTheEntryRefusedBy(table));
    EXPECT_EQ(messages[2], "Save failed.Close anyway?");
    EXPECT_EQ(testsupport::ReadText(table), TableInDoubt);
}

TEST_F(RefusedSaves, ARefusedSaveAsNamesTheEntryAndTheTableKeepsItsOwnFile)
{
    ASSERT_TRUE(Start());
    const std::string own = sounds.Write("own.txt", TableInDoubt);
    int ok = 0;
    Window().Ports.AssignFile->OpenSaveAssignFile(0, own, ok);
    ASSERT_EQ(ok, 1);
    // A table in doubt goes under a new name as over itself: it cannot take
    // a name only UTF-8 holds.
    const std::string other = sounds / "other.txt";
    Record(0, 0, 1).FileName = "/srv/café.wav";
    platform::SetFileDialogAnswer([&other](const platform::FileDialogRequest&) { return other; });
    messages.clear();
    Window().MenuFile->At(1)->trigger();
    platform::SetFileDialogAnswer(nullptr);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_THAT(messages[0], NamesTheEntryRefusedBy(other));
    EXPECT_FALSE(std::filesystem::exists(other));
    // The caption, the next start and the next save keep the table's own file.
    EXPECT_THAT(Window().TextPage(0)->TextMes(0), StartsWith("[own] "));
    EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), own);
    messages.clear();
    Window().Ports.AssignFile->OpenSaveAssignFile(1, "", ok);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_THAT(messages[0], NamesTheEntryRefusedBy(own));
    EXPECT_EQ(testsupport::ReadText(own), TableInDoubt);
}

} // namespace
