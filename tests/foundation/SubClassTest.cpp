#include "foundation/SubClass.h"
#include "platform/Form.h"
#include "platform/SessionEndpoint.h"
#include "support/HelperProcess.h"

#include <QApplication>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

using testsupport::HelperProcess;

class HandOver : public testing::Test {
protected:
    void TearDown() override
    {
        FCT_SubClass::UnsubclassWindow(&window);
        platform::ReleaseProcessSession();
    }

    // A second start of the program handing its command line over.
    static int SecondStart(const std::string& title, const std::string& commandLine)
    {
        HelperProcess start("tolv_test_session", {"send", title, commandLine});
        return start.Finish();
    }

    platform::Form window;
};

TEST_F(HandOver, TheRunningSessionReceivesTheCommandLineOfASecondStart)
{
    window.SetCaption("tolv - Quorvant");
    ASSERT_TRUE(platform::ClaimProcessSession(window.Caption()));
    FCT_SubClass::SubclassWindow(&window);
    EXPECT_EQ(SecondStart("tolv", "A \"/srv/shows/Morning show.tlv\""), 1);
    EXPECT_EQ(SecondStart("tolv", "/B=1"), 1);
    // One per tick, in the order they came.
    EXPECT_EQ(FCT_SubClass::GetCopyDataText(&window), "A \"/srv/shows/Morning show.tlv\"");
    EXPECT_EQ(FCT_SubClass::GetCopyDataText(&window), "/B=1");
    EXPECT_EQ(FCT_SubClass::GetCopyDataText(&window), "");
}

TEST_F(HandOver, ReachesOnlyTheSessionOfExactlyThatName)
{
    ASSERT_TRUE(platform::ClaimProcessSession("tolvB - Quorvant"));
    FCT_SubClass::SubclassWindow(&window);
    EXPECT_EQ(SecondStart("tolv", "/srv/a.tlv"), 0);
    EXPECT_FALSE(basic::FindWindowByTitle("tolv"));
    EXPECT_EQ(basic::FindWindowByTitle("tolvB").caption, "tolvB - Quorvant");
    EXPECT_EQ(basic::FindWindowByTitle("tolvB - Quorvant").caption, "tolvB - Quorvant");
    EXPECT_EQ(FCT_SubClass::GetCopyDataText(&window), "");
    EXPECT_EQ(SecondStart("tolvB", "/srv/b.tlv"), 1);
    EXPECT_EQ(FCT_SubClass::GetCopyDataText(&window), "/srv/b.tlv");
}

TEST_F(HandOver, AWindowThatIsNotSubclassedHasNothingWaiting)
{
    ASSERT_TRUE(platform::ClaimProcessSession("tolv - Quorvant"));
    EXPECT_EQ(FCT_SubClass::FindSubclassSlot(&window), -1);
    EXPECT_EQ(SecondStart("tolv", "/srv/a.tlv"), 1) << "the session took it";
    EXPECT_EQ(FCT_SubClass::GetCopyDataText(&window), "");
    EXPECT_EQ(FCT_SubClass::GetWheelDelta(&window), 0);
}

TEST_F(HandOver, ASessionWhoseWindowIsNoLongerSubclassedRefusesWhatLaterStartsHandOver)
{
    ASSERT_TRUE(platform::ClaimProcessSession("tolv - Quorvant"));
    FCT_SubClass::SubclassWindow(&window);
    FCT_SubClass::UnsubclassWindow(&window);
    EXPECT_EQ(SecondStart("tolv", "/srv/a.tlv"), 0) << "the later start learns it was not taken";
    FCT_SubClass::SubclassWindow(&window);
    EXPECT_EQ(FCT_SubClass::GetCopyDataText(&window), "") << "nothing was kept";
    EXPECT_EQ(SecondStart("tolv", "/srv/b.tlv"), 1);
    EXPECT_EQ(FCT_SubClass::GetCopyDataText(&window), "/srv/b.tlv");
}

TEST(Subclassing, ReportsTheLastWheelTurnOnceAndReusesFreeSlots)
{
    platform::Form window;
    auto* child = new QWidget(&window);
    platform::Form other;
    FCT_SubClass::SubclassWindow(&window);
    FCT_SubClass::SubclassWindow(&other);
    const int windowSlot = FCT_SubClass::FindSubclassSlot(&window);
    EXPECT_GE(windowSlot, 0);

    const auto turn = [](QWidget& target, int delta) {
        QWheelEvent wheel(QPointF(1, 1), QPointF(1, 1), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&target, &wheel);
    };
    turn(*child, 120);
    turn(*child, -120);
    turn(*child, -240);
    EXPECT_EQ(FCT_SubClass::GetWheelDelta(&window), 1) << "towards the user, seen once";
    EXPECT_EQ(FCT_SubClass::GetWheelDelta(&window), 0);
    EXPECT_EQ(FCT_SubClass::GetWheelDelta(&other), 0);
    turn(window, 120);
    EXPECT_EQ(FCT_SubClass::GetWheelDelta(&window), -1);

    FCT_SubClass::SetCaptionLock(&window, 1);
    EXPECT_EQ(FCT_SubClass::CaptionLock(&window), 1);
    FCT_SubClass::UnsubclassWindow(&window);
    EXPECT_EQ(FCT_SubClass::FindSubclassSlot(&window), -1);
    EXPECT_EQ(FCT_SubClass::CaptionLock(&window), 0);
    platform::Form third;
    FCT_SubClass::SubclassWindow(&third);
    EXPECT_EQ(FCT_SubClass::FindSubclassSlot(&third), windowSlot) << "a free slot is taken again";
    FCT_SubClass::UnsubclassWindow(&third);
    FCT_SubClass::UnsubclassWindow(&other);
}

} // namespace
