// The look that answers a modal window for the operator checks: it answers
// the window however late it shows, and a window that never shows ends in a
// failure that says so, not in a run held by a modal window.
#include "AnswerWhenShown.h"

#include "platform/Form.h"
#include "platform/base/Twips.h"

#include <QCoreApplication>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

class AnswerWhenShownTest : public testing::Test {
protected:
    void SetUp() override { basic::TwipsPerPixel = 15; }
    void TearDown() override { basic::TwipsPerPixel = 0; }
};

TEST_F(AnswerWhenShownTest, AnswersAWindowShownAfterManyTurnsAndLooksNoMoreOnceOpenReturned)
{
    platform::Form dialog;
    int looks = 0;
    const auto find = [&]() -> QWidget* {
        ++looks;
        return &dialog;
    };
    const auto close = [](QWidget& window) { window.hide(); };
    // The opener runs the loop a while before it shows the window, as a
    // menu on a busy machine does.
    const auto openLate = [&] {
        for (int turn = 0; turn < 500; ++turn) {
            QCoreApplication::processEvents();
        }
        dialog.ShowModal();
    };
    EXPECT_TRUE(operatortest::AnswerWhenShown(find, close, openLate));
    EXPECT_GT(looks, 1);

    // An opener that returns without showing anything: nothing answered,
    // and no look left queued runs on later.
    looks = 0;
    EXPECT_FALSE(operatortest::AnswerWhenShown(find, close, [] {}));
    const int atReturn = looks;
    for (int turn = 0; turn < 10; ++turn) {
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(looks, atReturn);
}

TEST_F(AnswerWhenShownTest, AWindowThatNeverShowsFailsAndTheModalWindowHoldingTheRunIsHidden)
{
    // Another modal window holds the run; the one looked for never shows.
    platform::Form other;
    bool answered = true;
    EXPECT_NONFATAL_FAILURE(answered = operatortest::AnswerWhenShown([]() -> QWidget* { return nullptr; },
                                                                     [](QWidget&) {}, [&] { other.ShowModal(); }, 200),
                            "did not show within 200 ms");
    EXPECT_FALSE(answered);
    EXPECT_FALSE(other.isVisible());
}

} // namespace
