// A sound moved out of a button onto a play list of the assembled program
// leaves its button only when the list took it: a list that refuses it (its
// wave format) keeps the button as it was, in the saved table too.
#include "AssembledInput.h"

#include "platform/CommonDialogs.h"
#include "platform/DragData.h"
#include "support/RampWave.h"

#include <gmock/gmock.h>

#include <fstream>
#include <sstream>

namespace {

using apptest::AssembledFixture;
using testing::Contains;
using testing::HasSubstr;

class RefusedMoves : public AssembledFixture {
protected:
    void TearDown() override
    {
        platform::SetFileDialogAnswer(nullptr);
        AssembledFixture::TearDown();
    }
    // Saves the assign table through File > Save As and returns its text.
    std::string SavedTable()
    {
        const std::string table = sounds / ("moves." + State().TlvExtention);
        platform::SetFileDialogAnswer(
            [&table](const platform::FileDialogRequest& request) { return request.save ? table : std::string(); });
        Window().MenuFile->At(1)->trigger();
        std::ifstream in(table, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(RefusedMoves, ASoundMovedOntoAListThatRefusesItsFormatStaysOnItsButton)
{
    Store("CheckWavFmt", "1");
    Store("SozaiFreq", "48000");
    ASSERT_TRUE(Start(2, {2}));
    // Assigned before the format check was switched on (an older table).
    const std::string refused = sounds / "cd rate.wav";
    testsupport::WriteRampWave(refused, 44100, 4410);
    State().CheckWavFmt = 0;
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 2, refused));
    State().CheckWavFmt = 1;
    UC_ListView& list = *Window().LV(1);

    DragOnto(Face(Button(0, 2)), list.ListArea());

    EXPECT_THAT(messages, Contains(HasSubstr(refused))) << "the box says why";
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(Record(0, 0, 2).FileName, refused);
    EXPECT_EQ(Button(0, 2).Text(0), "cd rate");
    EXPECT_THAT(SavedTable(), HasSubstr("\"Button_01-003\",\"" + refused + "\""));

    // A sound the list takes leaves its button.
    const std::string taken = RampWave("taken.wav", Rate / 10);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 3, taken));
    DragOnto(Face(Button(0, 3)), list.ListArea());
    EXPECT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(Record(0, 0, 3).FileName, "");
}

} // namespace
