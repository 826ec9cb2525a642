// A box that says values were not saved, with a settings file whose byte
// order cannot be told: every value it speaks of, shown or counted, is
// named in the log by the time it shows, also where the file's refusal was
// logged once long before.
#include "AssembledFixture.h"

#include "dialogs/FrmConf.h"
#include "foundation/ModuleValues.h"
#include "mainwindow/FrmMain.h"
#include "platform/CommonDialogs.h"
#include "support/StoredTextFiles.h"

#include <gmock/gmock.h>

#include <regex>
#include <set>

namespace {

using apptest::AssembledFixture;
using testing::HasSubstr;

class RefusedSavesLog : public AssembledFixture {
protected:
    // The "Key=value" texts named by the log lines written since from.
    std::set<std::string> NamedSince(std::size_t from, const std::set<std::string>& among) const
    {
        const std::vector<std::string> log = DayLogEntries();
        std::set<std::string> named;
        for (std::size_t i = from; i < log.size(); ++i) {
            for (const std::string& value : among) {
                if (log[i].find(value) != std::string::npos) {
                    named.insert(value);
                }
            }
        }
        return named;
    }
};

TEST_F(RefusedSavesLog, EveryValueABoxSpeaksOfIsInTheLogWhenItShows)
{
    // UTF-16 without a mark whose key is no ASCII name: settings lines in
    // neither byte order. It takes no value.
    const std::string ini = folder.Write("tolv.ini", testsupport::Utf16File("; 嬀嬀嬀嬀\r\n曲=朝\r\n", "LE").substr(2));
    ASSERT_TRUE(Start());
    ASSERT_EQ(basic::SettingsIniPath, ini);

    // The configuration's OK: the box names five values and counts the rest.
    std::size_t from = DayLogEntries().size();
    EXPECT_TRUE(Configure(0, [](FrmConf& dialog) {
        dialog.TabConf_TabClicked(6);
        int ok = 1;
        dialog.OKCancelButtons().ButtonClicked(ok);
    }));
    ASSERT_EQ(messages.size(), 1U);
    std::smatch more;
    ASSERT_TRUE(std::regex_search(messages[0], more, std::regex("and (\\d+) more \\(the log names them\\)$")));
    std::set<std::string> shown;
    const std::regex value("\r\n\r\n([A-Za-z_0-9]+=[^\r]*)\r\n");
    for (auto it = std::sregex_iterator(messages[0].begin(), messages[0].end(), value); it != std::sregex_iterator();
         ++it) {
        shown.insert((*it)[1]);
    }
    ASSERT_EQ(shown.size(), 5U);
    EXPECT_EQ(NamedSince(from, shown), shown);
    // Each counted one on a line of its own.
    const std::vector<std::string> log = DayLogEntries();
    const auto valueLines = std::count_if(log.begin() + static_cast<std::ptrdiff_t>(from), log.end(),
                                          [](const std::string& line) { return line.find("Not saved") == 0; });
    EXPECT_EQ(valueLines, 5 + std::stoi(more[1]));

    // A table's Save As: the table is saved, the last file's name is not.
    const std::string table = sounds / "saved.txt";
    platform::SetFileDialogAnswer([&table](const platform::FileDialogRequest&) { return table; });
    messages.clear();
    from = DayLogEntries().size();
    Window().MenuFile->At(1)->trigger();
    platform::SetFileDialogAnswer(nullptr);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_THAT(messages[0], HasSubstr("saved, but not these values:\r\n\r\nLastTlvFilename=" + table));
    EXPECT_EQ(NamedSince(from, {"LastTlvFilename=" + table}).size(), 1U);
}

} // namespace
