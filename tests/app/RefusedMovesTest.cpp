// A sound moved out of a button onto a play list of the assembled program
// leaves its button only when the list took it: a list that refuses it (its
// wave format) keeps the button as it was, in the saved table too. The drop
// lands as the desktop delivers it, or as a Shift-drag made while a press
// waited for its share lands once the press is over: where it was let go.
#include "AssembledInput.h"

#include "platform/CommonDialogs.h"
#include "platform/DragSource.h"
#include "platform/DropTarget.h"

#include <QApplication>
#include <QMouseEvent>

#include <gmock/gmock.h>

namespace {

using testing::Contains;
using testing::HasSubstr;

class RefusedMoves : public apptest::AssembledFixture, public testing::WithParamInterface<bool> {
protected:
    void Move(int button, QWidget& onto)
    {
        if (!GetParam()) {
            DragOnto(Face(Button(0, button)), onto);
            return;
        }
        const QPoint letGo = onto.mapToGlobal(QPoint(onto.width() / 2, onto.height() / 2));
        platform::SetDragHook([letGo](QWidget&, const platform::DragData& data, int allowed) {
            return platform::DropLetGoAt(letGo, data, allowed, Qt::ShiftModifier);
        });
        QWidget& face = Face(Button(0, button));
        // From the lamp strip, as DragOnto, with Shift held.
        for (const QPointF at : {QPointF(2, 2), QPointF(18, 2)}) {
            const auto type = at.x() < 10 ? QEvent::MouseButtonPress : QEvent::MouseMove;
            QMouseEvent event(type, at, face.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
            QApplication::sendEvent(&face, &event);
        }
        platform::SetDragHook(nullptr);
    }
};

TEST_P(RefusedMoves, ASoundMovedOntoAListThatRefusesItsFormatStaysOnItsButton)
{
    Store("CheckWavFmt", "1");
    Store("SozaiFreq", "48000");
    // Small enough that the list lies within the window, where a drop is let go.
    Store("ModuleX_1", "2");
    Store("ModuleY_1", "2");
    ASSERT_TRUE(Start(2, {2}));
    // Assigned before the format check was switched on (an older table).
    const std::string refused = sounds / "cd rate.wav";
    testsupport::WriteRampWave(refused, 44100, 4410);
    State().CheckWavFmt = 0;
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 2, refused));
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 3, RampWave("taken.wav", Rate / 10)));
    State().CheckWavFmt = 1;
    UC_ListView& list = *Window().LV(1);

    Move(2, list.ListArea());
    EXPECT_THAT(messages, Contains(HasSubstr(refused))) << "the box says why";
    EXPECT_EQ(Record(0, 0, 2).FileName, refused);
    const std::string table = sounds / ("moves." + State().TlvExtention);
    platform::SetFileDialogAnswer([&table](const platform::FileDialogRequest&) { return table; });
    Window().MenuFile->At(1)->trigger();
    platform::SetFileDialogAnswer(nullptr);
    EXPECT_THAT(testsupport::ReadText(table), HasSubstr("\"Button_01-003\",\"" + refused + "\""));

    Move(3, list.ListArea());
    EXPECT_EQ(list.ItemCount(), 1) << "a sound the list takes leaves its button";
    EXPECT_EQ(Record(0, 0, 3).FileName, "");
}

INSTANTIATE_TEST_SUITE_P(LiveOrAfterAPress, RefusedMoves, testing::Bool());

} // namespace
