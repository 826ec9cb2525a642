// A settings file whose byte order cannot be told takes no value: the box
// says so once, with how to mend the file, instead of blaming each value.
#include "foundation/DayLog.h"
#include "foundation/IniFile.h"
#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/RefusedSaves.h"
#include "platform/base/Utf16Text.h"
#include "support/ScratchFolder.h"
#include "support/StoredTextFiles.h"

#include <gmock/gmock.h>

namespace {

using testing::HasSubstr;
using testing::Not;

TEST(ByteOrderBox, ARefusedSaveSaysTheByteOrderCannotBeToldAndHowToMendIt)
{
    testsupport::ScratchFolder folder, logs;
    basic::LogFolder = logs.Path();
    basic::LangMode = 1;
    // UTF-16 without a mark whose key is no ASCII name: settings lines in
    // neither order.
    const std::string bytes = textcodec::EncodeUtf16("[conf]\r\n曲=朝のニュース\r\n", textcodec::Utf16Order::LittleEndian);
    const std::string ini = folder.Write("tolv.ini", bytes);
    const basic::RefusedSaves refused;
    basic::IniWrite("PlayerType", 3, ini, "conf");
    basic::IniWrite("NumOut", 2, ini, "conf");
    const std::string box = refused.Text("These settings were not saved.");
    EXPECT_THAT(box, HasSubstr("The byte order of \"" + ini + "\" cannot be told"));
    EXPECT_THAT(box, HasSubstr("save it with a byte order mark (UTF-16 with BOM), or as UTF-8."));
    EXPECT_THAT(box, HasSubstr("\r\n\r\nPlayerType=3\r\n"));
    EXPECT_THAT(box, Not(HasSubstr("cannot take this value")));
    EXPECT_EQ(box.find("To mend it"), box.rfind("To mend it"));
    EXPECT_EQ(testsupport::ReadText(ini), bytes);
    basic::LogFolder.clear();
}

} // namespace
