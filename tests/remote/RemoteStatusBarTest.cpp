// The status bar's box texts from the real remote control: a working box, a
// box being reset with its seconds left, and a box that failed at set-up.
#include "foundation/Language.h"
#include "platform/base/Clock.h"
#include "platform/base/Twips.h"
#include "playback/StatusBar.h"
#include "support/Gallery.h"
#include "tests/remote/RemoteControlFixture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QMenuBar>

#include <string>

namespace {

class RemoteStatusBar : public remotetest::RemoteControlTest {
protected:
    void SetUp() override
    {
        RemoteControlTest::SetUp();
        savedLanguage_ = basic::LangMode;
        basic::LangMode = 1;
        basic::TwipsPerPixel = 15;
        window.resize(640, 300);
        window.Form_Resize();
        platform::Surface& grad = window.PictureGrad->Picture();
        grad.Resize(640, 40);
        grad.SetBackColor(0xFFFFFF);
        window.State.ShowObservation = 1;
    }
    void TearDown() override
    {
        window.Ports.Remote = nullptr;
        basic::LangMode = savedLanguage_;
        RemoteControlTest::TearDown();
    }
    // The text the status bar composes from what the remote port reports of
    // boxes 1..4 now.
    StatusBar::Line Composed()
    {
        StatusBar::Inputs inputs;
        RemotePort& port = *control;
        for (int box = 1; box <= 4; ++box) {
            inputs.boxes[static_cast<std::size_t>(box - 1)] = port.HidBox(box);
        }
        inputs.secondsOfDay = platform::Timer();
        return StatusBar::Compose(inputs);
    }
    // Red pixels in the status bar's strip after a redraw.
    int RedPixels()
    {
        clock.Advance(300); // the bar redraws at most five times a second
        bar.DrawStatusBar();
        const QImage& image = window.Picture().Image();
        const int top = window.MenuBar->height();
        int count = 0;
        for (int y = top; y < top + StatusBar::StripHeight; ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += (image.pixel(x, y) & 0xFFFFFFU) == 0xFF0000U ? 1 : 0;
            }
        }
        return count;
    }
    static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

    StatusBar bar{window};
    std::int32_t savedLanguage_ = 0;
};

TEST_F(RemoteStatusBar, AWorkingBoxIsOkAResettingBoxCountsDownInRed)
{
    auto& box = hid.Plug(1, "1-1");
    basic::SaveSetting("USBHIDID_1", "1");
    Init();
    window.Ports.Remote = control.get();
    StatusBar::Line line = Composed();
    EXPECT_TRUE(Has(line.text, " / USB Controller1 OK")) << line.text;
    EXPECT_FALSE(Has(line.text, "USB Controller2")) << "only configured boxes are shown: " << line.text;
    EXPECT_FALSE(line.alert);
    EXPECT_EQ(RedPixels(), 0);

    // The box stops answering: the reset waits 2 s, counted down.
    box.gone = true;
    control->PollRemote();
    clock.Advance(500);
    line = Composed();
    EXPECT_TRUE(Has(line.text, "USB Controller1 Restarting...1.5")) << line.text;
    EXPECT_TRUE(line.alert);
    EXPECT_GT(RedPixels(), 0) << "the bar drawn from the remote control is red";
    testsupport::SaveToGallery(window.Picture().Image(), "status_bar_box_restarting");
}

TEST_F(RemoteStatusBar, ABoxThatFailedAtSetUpIsStopped)
{
    hid.Plug(1, "1-1");
    basic::SaveSetting("USBHIDID_1", "1");
    basic::SaveSetting("USBHIDID_4", "7"); // no such box
    Init();
    window.Ports.Remote = control.get();
    const StatusBar::Line line = Composed();
    EXPECT_TRUE(Has(line.text, " / USB Controller1 OK / USB Controller4 Stopped")) << line.text;
    EXPECT_TRUE(line.alert);
    EXPECT_GT(RedPixels(), 0);
}

} // namespace
