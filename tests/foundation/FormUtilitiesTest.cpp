#include "foundation/FormUtilities.h"
#include "foundation/ControlPlacement.h"
#include "foundation/Fonts.h"
#include "platform/ComboBox.h"
#include "platform/Form.h"
#include "platform/ListBox.h"
#include "platform/Screens.h"
#include "platform/TextBox.h"
#include "platform/base/Twips.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

class FormUtilities : public testing::Test {
protected:
    void SetUp() override
    {
        basic::TwipsPerPixel = 15;
        reference.setGeometry(10, 20, 100, 40); // 150, 300, 1500 x 600 twips
        control.setGeometry(0, 0, 50, 20);      // 750 x 300 twips
    }
    void TearDown() override
    {
        basic::TwipsPerPixel = 0;
        platform::SetCursorPositionOverride(std::nullopt);
    }

    QWidget container;
    QWidget reference{&container};
    QWidget control{&container};
};

TEST_F(FormUtilities, GetControlRectPlacesBesideTheReference)
{
    basic::GetControlRect(control, reference, 0, -1, 1, 0);
    EXPECT_EQ(control.pos(), QPoint(10, 62)) << "below, 2 pixels apart, left edges lined up";
    EXPECT_EQ(platform::TopTwips(control) - (platform::TopTwips(reference) + platform::HeightTwips(reference)), 30);

    basic::GetControlRect(control, reference, 1, 150, 1, 0);
    EXPECT_EQ(control.pos(), QPoint(120, 20)) << "to the right, top edges lined up";

    basic::GetControlRect(control, reference, 2, 999, 2, 3000);
    EXPECT_EQ(control.pos(), QPoint(200, 30)) << "centred vertically, left edge given";

    basic::GetControlRect(control, reference, 3, 0, 1, 0);
    EXPECT_EQ(control.pos(), QPoint(60, 60)) << "right edges lined up, below";

    control.move(1, 1);
    basic::GetControlRect(control, reference, 0, 0, 0, 0);
    EXPECT_EQ(control.pos(), QPoint(1, 60)) << "align mode 0 leaves the left edge";
    basic::GetControlRect(control, reference, 4, 0, 1, 0);
    EXPECT_EQ(control.pos(), QPoint(1, 60));
}

TEST_F(FormUtilities, ApplyFormFontLoadsTheNextElementBesideTheOneBefore)
{
    platform::ControlArray<platform::TextBox> boxes(new platform::TextBox(&container));
    boxes.At(0)->setGeometry(5, 5, 80, 20);
    platform::TextBox* second = basic::ApplyFormFont(boxes, 1, 1, true, 0, -1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->parentWidget(), &container);
    EXPECT_EQ(second->pos(), QPoint(87, 5));
    EXPECT_FALSE(second->isHidden());
    platform::TextBox* third = basic::ApplyFormFont(boxes, 2, 0, false, 0, 0);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->pos(), QPoint(87, 25));
    EXPECT_TRUE(third->isHidden());
    EXPECT_EQ(basic::ApplyFormFont(boxes, 5, 0, true, 0, 0), nullptr) << "element 4 is missing";
}

TEST_F(FormUtilities, ApplyFormFontGivesTheFirstTwoElementsTheInterfaceFont)
{
    platform::ControlArray<platform::TextBox> boxes(new platform::TextBox(&container));
    platform::TextBox* second = basic::ApplyFormFont(boxes, 1, 1, true, 1, -1);
    ASSERT_NE(second, nullptr);
    ASSERT_FALSE(basic::FontCache().empty());
    const QFont& interfaceFont = basic::FontCache().front().Handle->face;
    EXPECT_EQ(boxes.At(0)->font(), interfaceFont);
    EXPECT_EQ(second->font(), interfaceFont);
    basic::FreeFont();
}

TEST_F(FormUtilities, CheckTimeTextBoxWritesSixDigitsAsATime)
{
    platform::TextBox box;
    box.SetText("013000");
    EXPECT_EQ(basic::CheckTimeTextBox(box, 0), 1);
    EXPECT_EQ(box.Text(), "01:30:00");
    box.SetText("0130000");
    EXPECT_EQ(basic::CheckTimeTextBox(box, 0), 0);
    EXPECT_EQ(box.Text(), "0130000");
    box.SetText("126000");
    EXPECT_EQ(basic::CheckTimeTextBox(box, 0), 0);
    box.SetText("260000"); // 26:00 lies in a broadcast day starting at 05:00
    EXPECT_EQ(basic::CheckTimeTextBox(box, 18000), 1);
    EXPECT_EQ(box.Text(), "26:00:00");
}

TEST_F(FormUtilities, SelectListByTextChoosesTheLastEqualEntry)
{
    platform::ListBox list;
    for (const char* entry : {"COM1", "COM2", "COM1", "com2"}) {
        list.AddItem(entry);
    }
    basic::SelectListByText(list, "COM1");
    EXPECT_EQ(list.ListIndex(), 2);
    basic::SelectListByText(list, "COM3");
    EXPECT_EQ(list.ListIndex(), 2) << "no match leaves the choice";
    platform::ComboBox combo;
    combo.AddItem("48000");
    combo.AddItem("44100");
    basic::SelectListByText(combo, "44100");
    EXPECT_EQ(combo.ListIndex(), 1);
}

TEST_F(FormUtilities, IsCursorOverControlCountsOnlyTheInside)
{
    platform::Form form;
    form.Move(1500, 1500, 6000, 4500); // at (100, 100) pixels
    auto* button = new QWidget(&form);
    button->setGeometry(20, 30, 40, 10); // screen 120..160 x 130..140
    platform::SetCursorPositionOverride(QPoint(121, 131));
    EXPECT_EQ(basic::IsCursorOverControl(form, *button), 1);
    platform::SetCursorPositionOverride(QPoint(120, 131));
    EXPECT_EQ(basic::IsCursorOverControl(form, *button), 0) << "the edge is outside";
    platform::SetCursorPositionOverride(QPoint(159, 139));
    EXPECT_EQ(basic::IsCursorOverControl(form, *button), 1);
    platform::SetCursorPositionOverride(QPoint(159, 140));
    EXPECT_EQ(basic::IsCursorOverControl(form, *button), 0);
}

TEST_F(FormUtilities, DisableCloseTakesTheCloseButtonOff)
{
    platform::Form form;
    FCT_DisableClose::DisableClose(&form);
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    FCT_DisableClose::DisableClose(nullptr);
}

} // namespace
