// What an operator meets first, on the assembled program: a key held through
// the keyboard's auto-repeat (X11 sends each repeat as a release and a press
// at the same server time, sometimes in two event batches), and the first
// window, which opens at the size its layout needs.
#include "AssembledFixture.h"

#include "foundation/Parms.h"
#include "platform/Screens.h"
#include "platform/base/Twips.h"
#include "support/Gallery.h"

#include <QApplication>
#include <QKeyEvent>

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>

namespace {

using apptest::AssembledFixture;

class FirstMeet : public AssembledFixture {
protected:
    void SetUp() override
    {
        AssembledFixture::SetUp();
        platform::SetScreenExtentOverride(QSize(1920, 1080));
    }
    void TearDown() override
    {
        platform::SetScreenExtentOverride(std::nullopt);
        AssembledFixture::TearDown();
    }

    // The key "1" as the X server delivers it, with its server time.
    void KeyOne(QEvent::Type type, unsigned long serverMs, bool marked = false)
    {
        QKeyEvent event(type, Qt::Key_1, Qt::NoModifier, 10, 0, 0, "1", marked);
        event.setTimestamp(serverMs);
        QWidget* focus = QApplication::focusWidget();
        QCoreApplication::sendEvent(focus != nullptr && focus->window() == &Window() ? focus : &Window(), &event);
    }

    // Holds "1" for holdMs: the first press, after 660 ms a repeat every
    // 40 ms, every third one split over two batches and every third one
    // marked by the toolkit. check runs between the events. Returns the
    // server time of the real release, not yet sent.
    template <typename Check> unsigned long Hold(int holdMs, Check check)
    {
        unsigned long now = 500000;
        KeyOne(QEvent::KeyPress, now);
        Run(660);
        now += 660;
        int elapsed = 660;
        for (int repeat = 0; elapsed + 40 <= holdMs; ++repeat) {
            check(elapsed);
            KeyOne(QEvent::KeyRelease, now);
            if (repeat % 3 == 1) {
                Run(4);
                KeyOne(QEvent::KeyPress, now);
                Run(36);
            } else {
                KeyOne(QEvent::KeyPress, now, repeat % 3 == 2);
                Run(40);
            }
            now += 40;
            elapsed += 40;
        }
        Run(holdMs - elapsed);
        check(holdMs);
        return now + static_cast<unsigned long>(holdMs - elapsed);
    }

    // The button keys play the first output once its KEY label is clicked.
    void ChooseKeyTarget()
    {
        Click(Face(*Window().TextKey(0)), Qt::LeftButton);
        ASSERT_EQ(State().KeyTarget, 0);
    }
};

TEST_F(FirstMeet, AMomentaryKeyHeldOneAndAHalfSecondsPlaysThroughAndStopsWithin30Ms)
{
    ASSERT_TRUE(Start());
    ASSERT_NE(DropFiles(Face(Button(0, 0)), {RampWave("held.wav", 4 * Rate)}), platform::DropEffectNone);
    Record(0, 0, 0).PlayMode = 1; // Momentary
    ChooseKeyTarget();
    Played(1);
    const unsigned long release = Hold(1500, [this](int elapsed) {
        ASSERT_EQ(State().OutputState[0], 1) << elapsed << " ms into the hold";
        ASSERT_EQ(State().StoppedByUser[0], 0) << elapsed << " ms into the hold";
    });

    // The file's ramp ran on without a break: every sample is the previous
    // one plus the same step, but where the ramp wraps.
    const std::vector<float> played = Played(1);
    const auto start = std::find_if(played.begin(), played.end(), [](float s) { return s != 0.0F; });
    ASSERT_GT(played.end() - start, Rate * 14 / 10) << "sounded for the whole hold";
    const std::size_t from = static_cast<std::size_t>(start - played.begin()) + 2000;
    const float step = played[from + 1] - played[from];
    ASSERT_GT(step, 0.0F);
    int breaks = 0;
    for (std::size_t i = from; i + 1 < played.size(); ++i) {
        const float d = played[i + 1] - played[i];
        const bool onRamp = std::fabs(d - step) < step * 1e-2F;
        const bool wraps = std::fabs(d + 29999 * step) < step * 4;
        breaks += onRamp || wraps ? 0 : 1;
    }
    EXPECT_EQ(breaks, 0);

    KeyOne(QEvent::KeyRelease, release);
    Run(30);
    EXPECT_EQ(State().StoppedByUser[0], 1) << "stopped within 30 ms of the release";
    Run(300);
    EXPECT_EQ(State().OutputState[0], 0);
}

TEST_F(FirstMeet, ANormalKeyHeldOneAndAHalfSecondsFiresOnceOnItsRelease)
{
    ASSERT_TRUE(Start());
    ASSERT_NE(DropFiles(Face(Button(0, 0)), {RampWave("normal.wav", 4 * Rate)}), platform::DropEffectNone);
    ChooseKeyTarget();
    Played(1);
    const unsigned long release =
        Hold(1500, [this](int elapsed) { ASSERT_EQ(State().OutputState[0], 0) << elapsed << " ms into the hold"; });
    EXPECT_THAT(Played(1), testing::Each(0.0F)) << "nothing sounded while the key was held";
    KeyOne(QEvent::KeyRelease, release);
    Run(30);
    EXPECT_EQ(State().OutputState[0], 1) << "fired within 30 ms of the release";
    // Once: the sound plays on from its start, not restarted.
    Run(500);
    const std::vector<float> played = Played(1);
    const auto start = std::find_if(played.begin(), played.end(), [](float s) { return s != 0.0F; });
    ASSERT_NE(start, played.end());
    const std::size_t from = static_cast<std::size_t>(start - played.begin()) + 200;
    const float step = played[from + 1] - played[from];
    for (std::size_t i = from; i + 1 < played.size(); ++i) {
        ASSERT_NEAR(played[i + 1] - played[i], step, step * 1e-2F) << i;
    }
}

// The window's picture shows the control exactly as the control draws
// itself: nothing of it is cut off or covered.
bool ShownWhole(const QImage& shot, QWidget& window, QWidget& control)
{
    const QRect place(control.mapTo(&window, QPoint(0, 0)), control.size());
    return shot.rect().contains(place) && shot.copy(place).convertToFormat(QImage::Format_RGB32) ==
                                              control.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST_F(FirstMeet, TheFirstWindowShowsTheWholeDefaultGridAndItsLabelsInBothDisplays)
{
    ASSERT_TRUE(Start());
    for (const int big : {0, 1}) {
        if (State().DispBig != big) {
            Window().MenuDispBig->trigger();
            QApplication::processEvents();
        }
        ASSERT_EQ(State().DispBig, big);
        const QImage shot = Window().grab().toImage();
        testsupport::SaveToGallery(shot, big != 0 ? "assembled-first-window-big" : "assembled-first-window");
        EXPECT_LE(Window().width(), 1920);
        EXPECT_LE(Window().height(), 1080);
        ASSERT_EQ(State().ButtonsPerPage[0], 32);
        for (int b = 0; b < 32; ++b) {
            EXPECT_TRUE(ShownWhole(shot, Window(), Button(0, b))) << "button " << b + 1 << ", big " << big;
        }
        for (auto* array : {&Window().TextAir, &Window().TextKey, &Window().TextSTBY}) {
            controls::UC_TextPicture* panel = array->At(0);
            ASSERT_NE(panel, nullptr);
            EXPECT_TRUE(panel->isVisibleTo(&Window()));
            EXPECT_TRUE(ShownWhole(shot, Window(), *panel)) << panel->TextMes(0) << ", big " << big;
        }
    }
}

} // namespace
