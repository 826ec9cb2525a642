// A save that is refused, through the assembled program: the operator's
// message names the value that was not stored and why, and nothing is taken
// for saved. The files here read as code page 932 and as UTF-8 alike
// (half-width katakana; as UTF-8 a Hebrew letter and stray bytes), so they
// take no value they could hold only by going over to UTF-8.
#include "AssembledFixture.h"

#include "controls/UC_Buttons.h"
#include "controls/UC_PathText.h"
#include "controls/UC_TextPicture.h"
#include "dialogs/ConfPage.h"
#include "dialogs/FrmConf.h"
#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "mainwindow/FrmMain.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "platform/base/TextCodec.h"

#include <gmock/gmock.h>

namespace {

using apptest::AssembledFixture;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

const std::string TableInDoubt = textcodec::EncodeCp932("\"BankName_01\",\"ﾗｼﾞｵ\"\r\n");

class RefusedSaves : public AssembledFixture {
protected:
    std::string TableNotSaved() const
    {
        return basic::LangText("ボタンアサインを保存できませんでした。", "The assign table was not saved:");
    }
    int Save(const std::string& path)
    {
        int ok = -1;
        Window().Ports.AssignFile->OpenSaveAssignFile(1, path, ok);
        return ok;
    }
};

TEST_F(RefusedSaves, TheConfigurationsOkNamesTheRefusedValueStaysOpenAndAppliesTheOthers)
{
    std::string settings = "[conf]\r\nBankName=ﾗｼﾞｵ\r\nLangMode=1\r\nPlayerType=3\r\nNumOut=1\r\n";
    for (int n = 1; n <= 4; ++n) {
        settings += "DeviceWave_" + std::to_string(n) + "=Null " + std::to_string(n) + "\r\n";
    }
    const std::string ini = folder.Write("tolv.ini", textcodec::EncodeCp932(settings));
    ASSERT_TRUE(Start());
    ASSERT_EQ(basic::SettingsIniPath, ini);

    bool stayedOpen = false;
    // Cancel closes the dialog after the refused OK.
    const bool closed = Configure(0, [&](FrmConf& dialog) {
        dialog.TabConf_TabClicked(6);
        ConfPage& page = *dialog.Page(6);
        page.ControlOf<UC_PathText>("MixerApp")->SetText("/srv/mixér");
        page.ControlOf<UC_PathText>("EditApp")->SetText("/usr/bin/editor");
        int ok = 1;
        dialog.OKCancelButtons().ButtonClicked(ok);
        stayedOpen = program->Config.Window() == &dialog && dialog.isVisible();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(closed);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_THAT(messages[0], StartsWith("These settings were not saved; the others were."));
    EXPECT_THAT(messages[0], HasSubstr("\r\nMixerApp=/srv/mixér\r\nThe character encoding of \"" + ini +
                                       "\" cannot take this value safely"));
    // What was stored is in use; the refused value is not in the file, and
    // the log keeps its line.
    EXPECT_EQ(parms::EditApp, "/usr/bin/editor");
    EXPECT_EQ(basic::GetSetting("MixerApp", ""), "");
    EXPECT_THAT(testsupport::ReadText(ini), Not(HasSubstr("/srv/mix")));
    bool logged = false;
    for (const std::string& line : DayLogEntries()) {
        logged = logged || line.find("IniWrite MixerApp: ") != std::string::npos;
    }
    EXPECT_TRUE(logged);
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
    const std::string closeAnyway =
        basic::LangText("保存に失敗しました。このまま終了しますか？", "Save failed.Close anyway?");
    platform::SetMessageBoxAnswer([&](const platform::MessageBoxRequest& request) {
        messages.push_back(request.text);
        return request.text == closeAnyway ? platform::IdNo : platform::IdYes;
    });
    Window().close();
    EXPECT_TRUE(Window().isVisible());
    EXPECT_EQ(State().Running, 1);
    ASSERT_EQ(messages.size(), 3U);
    EXPECT_THAT(messages[1], StartsWith(TableNotSaved()));
    EXPECT_THAT(messages[1], HasSubstr("\"Button_01-002\",\"/srv/café.wav\""));
    EXPECT_THAT(messages[1], HasSubstr(table));
    EXPECT_EQ(messages[2], closeAnyway);
    EXPECT_EQ(testsupport::ReadText(table), TableInDoubt);
}

TEST_F(RefusedSaves, ARefusedSaveAsNamesTheEntryAndTheTableKeepsItsOwnFile)
{
    ASSERT_TRUE(Start());
    const std::string own = sounds / "own.txt";
    ASSERT_EQ(Save(own), 1);
    const std::string other = sounds.Write("doubt.txt", TableInDoubt);
    Record(0, 0, 1).FileName = "/srv/café.wav";
    platform::SetFileDialogAnswer([&other](const platform::FileDialogRequest&) { return other; });
    messages.clear();
    Window().MenuFile->At(1)->trigger();
    platform::SetFileDialogAnswer(nullptr);

    ASSERT_EQ(messages.size(), 1U);
    EXPECT_THAT(messages[0], StartsWith(TableNotSaved()));
    EXPECT_THAT(messages[0], HasSubstr("\"Button_01-002\",\"/srv/café.wav\""));
    EXPECT_EQ(testsupport::ReadText(other), TableInDoubt);
    // Not the file that refused: the caption, the next start and the next
    // save keep the table's own file.
    EXPECT_EQ(State().CurrentFilePath, own);
    EXPECT_THAT(Window().TextPage(0)->TextMes(0), StartsWith("[own] "));
    EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), own);
    ASSERT_EQ(Save(""), 1);
    EXPECT_THAT(testsupport::ReadText(own), HasSubstr("/srv/café.wav"));
}

} // namespace
