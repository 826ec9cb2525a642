#include "platform/Form.h"
#include "platform/TextBox.h"
#include "platform/WindowDecorations.h"
#include "platform/base/Twips.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace {

class Forms : public testing::Test {
protected:
    void SetUp() override { basic::TwipsPerPixel = 15; }
    void TearDown() override { basic::TwipsPerPixel = 0; }
};

TEST_F(Forms, KeepGeometryInTwips)
{
    platform::Form form;
    form.Move(1500, 3000, 9000, 6000);
    EXPECT_EQ(form.pos(), QPoint(100, 200));
    EXPECT_EQ(form.size(), QSize(600, 400));
    EXPECT_EQ(form.Left(), 1500);
    EXPECT_EQ(form.Width(), 9000);
    EXPECT_EQ(form.ScaleHeight(), 6000);
    form.SetWidth(4507); // whole pixels only
    EXPECT_EQ(form.Width(), 4500);
    form.SetCaption("tolv - Quorvant");
    EXPECT_EQ(form.Caption(), "tolv - Quorvant");
}

// The frame a shown window has around its inside (pixels).
QSize FrameOf(const QWidget& window)
{
    return window.frameGeometry().size() - window.size();
}

TEST_F(Forms, KeepTheOuterSizeSetBeforeTheyAreShown)
{
    platform::Form form;
    form.Move(1500, 3000, 9000, 6000);
    form.show();
    QApplication::processEvents();
    const QSize frame = FrameOf(form);
    ASSERT_NE(frame, QSize(0, 0)) << "the window system gives this window no frame";
    // The frame is inside the size asked for, not added to it.
    EXPECT_EQ(form.frameGeometry(), QRect(100, 200, 600, 400));
    EXPECT_EQ(form.Left(), 1500);
    EXPECT_EQ(form.Top(), 3000);
    EXPECT_EQ(form.Width(), 9000);
    EXPECT_EQ(form.Height(), 6000);
    EXPECT_EQ(form.ScaleWidth(), (600 - frame.width()) * 15);
    EXPECT_EQ(form.ScaleHeight(), (400 - frame.height()) * 15);

    // Once shown, a size set is the outer size too, one dimension at a time.
    form.SetWidth(6000);
    form.SetHeight(4500);
    EXPECT_EQ(form.frameGeometry().size(), QSize(400, 300));
    EXPECT_EQ(form.Width(), 6000);
    EXPECT_EQ(form.Height(), 4500);
}

TEST_F(Forms, KeepTheirFramesPlaceAndSizeWhileHidden)
{
    platform::Form form;
    form.Move(1500, 3000, 9000, 6000);
    form.show();
    QApplication::processEvents();
    ASSERT_EQ(form.frameGeometry(), QRect(100, 200, 600, 400));
    form.hide();
    QApplication::processEvents();
    EXPECT_EQ(form.Left(), 1500);
    EXPECT_EQ(form.Top(), 3000);
    EXPECT_EQ(form.Width(), 9000);
    EXPECT_EQ(form.Height(), 6000);
    // A place asked while hidden is the frame's corner once shown again.
    form.Move(3000, 1500);
    EXPECT_EQ(form.Left(), 3000);
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.frameGeometry(), QRect(200, 100, 600, 400));
    EXPECT_EQ(form.Top(), 1500);
}

TEST_F(Forms, TellTheSizeAskedForUntilTheyAreShownOrResized)
{
    platform::Form form;
    form.Move(0, 0, 9000, 6000);
    form.SetHeight(7500); // the width asked for stays
    EXPECT_EQ(form.Width(), 9000);
    EXPECT_EQ(form.Height(), 7500);
    // Resized by the program before it shows: that size is the window's.
    form.resize(300, 200);
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(300, 200));
    EXPECT_EQ(form.Width(), (300 + FrameOf(form).width()) * 15);
}

TEST_F(Forms, MaximisedBeforeTheFrameIsKnownComeBackToTheOuterSizeAsked)
{
    platform::Form form;
    form.Move(1500, 1500, 9000, 6000);
    form.SetWindowState(platform::StateMaximized);
    form.show();
    QApplication::processEvents();
    form.SetWindowState(platform::StateNormal);
    QApplication::processEvents();
    EXPECT_EQ(form.Width(), 9000);
    EXPECT_EQ(form.Height(), 6000);
    EXPECT_EQ(form.frameGeometry().size(), QSize(600, 400));
}

TEST_F(Forms, TellTheirWindowState)
{
    platform::Form form;
    form.show();
    EXPECT_EQ(form.WindowState(), platform::StateNormal);
    form.SetWindowState(platform::StateMaximized);
    EXPECT_EQ(form.WindowState(), platform::StateMaximized);
    form.SetWindowState(platform::StateMinimized);
    EXPECT_EQ(form.WindowState(), platform::StateMinimized);
    form.SetWindowState(platform::StateNormal);
    EXPECT_EQ(form.WindowState(), platform::StateNormal);
}

TEST_F(Forms, AskBeforeClosingAndSayWhoAsked)
{
    platform::Form form;
    form.show();
    std::vector<int> modes;
    int refuse = 1;
    form.OnQueryUnload = [&](int& cancel, int mode) {
        modes.push_back(mode);
        cancel = refuse;
    };
    int unloads = 0;
    form.OnUnload = [&](int&) { ++unloads; };

    EXPECT_FALSE(form.close()); // the close box
    EXPECT_FALSE(form.Unload());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(unloads, 0) << "a refused query ends the close";
    refuse = 0;
    EXPECT_TRUE(form.Unload());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(modes, (std::vector<int>{platform::UnloadByUser, platform::UnloadByCode, platform::UnloadByCode}));
    EXPECT_EQ(unloads, 1);
}

TEST_F(Forms, WithKeyPreviewSeeTheKeysOfTheirControlsFirst)
{
    platform::Form form;
    auto* box = new platform::TextBox(&form);
    form.show();
    box->setFocus();
    QApplication::setActiveWindow(&form);
    std::vector<int> seen;
    form.Keys.KeyDown = [&](int& keyCode, int) {
        seen.push_back(keyCode);
        if (keyCode == 112) {
            keyCode = 0; // F1 belongs to the window
        }
    };
    form.SetKeyPreview(true);
    ASSERT_EQ(QApplication::focusWidget(), box);
    for (const auto& [key, text] : {std::pair{Qt::Key_F1, QString()}, std::pair{Qt::Key_K, QString("k")}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(box, &press);
    }
    EXPECT_EQ(seen, (std::vector<int>{112, 'K'}));
    EXPECT_EQ(box->Text(), "k");
}

TEST_F(Forms, ShowModalReturnsWhenTheWindowCloses)
{
    platform::Form form;
    QTimer::singleShot(0, &form, [&] { form.Unload(); });
    form.ShowModal();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.isModal());
}

TEST_F(Forms, LoseTheirCloseButtonAndKeepTheRest)
{
    platform::Form form;
    form.Move(1500, 1500, 3000, 3000);
    form.show();
    platform::RemoveCloseButton(form);
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(form.isVisible());
    // Shown again by the window system, framed as before.
    QApplication::processEvents();
    EXPECT_EQ(form.frameGeometry().size(), QSize(200, 200));
    EXPECT_EQ(form.Width(), 3000);
}

} // namespace
