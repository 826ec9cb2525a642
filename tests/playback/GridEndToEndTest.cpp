// The operator's path through the real window under the offscreen platform:
// the start-up opens an assign table file with three sounds, a click on a
// sound button plays its sound on a null device, the second page shows other
// buttons, and a key plays a button of that page.
#include "GridFixture.h"

#include "playback/AssignFile.h"
#include "support/FaceClick.h"
#include "support/Gallery.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using playbacktest::GridFixture;

class GridEndToEnd : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        file = std::make_unique<AssignFile>(window->State, window->Ports, window.get());
        window->Ports.AssignFile = file.get();
    }
    void TearDown() override
    {
        window->Ports.AssignFile = &ports.AssignFile;
        file.reset();
        GridFixture::TearDown();
    }
    // A left click in the middle of the text area of a sound button.
    void Click(controls::UC_TolvButton& button) { testsupport::ClickFace(button, Qt::LeftButton, 0.75, 0.7); }
    void Key(QEvent::Type type, int key)
    {
        QKeyEvent event(type, key, Qt::NoModifier);
        // The desktop sends keys to the control that has the focus.
        QWidget* focus = QApplication::focusWidget();
        QWidget* target = focus != nullptr && focus->window() == window.get() ? focus : window.get();
        QCoreApplication::sendEvent(target, &event);
    }

    std::unique_ptr<AssignFile> file;
};

TEST_F(GridEndToEnd, AFileOpensAClickPlaysThePageSwitchesAndAKeyPlays)
{
    const std::string one = RampWave("one.wav", 2 * Rate);
    const std::string two = RampWave("two.wav", 2 * Rate);
    const std::string three = RampWave("three.wav", 2 * Rate);
    const std::string table = program / "show.txt";
    std::ofstream(table, std::ios::binary) << "\"BankName_01\",\"Opening\"\r\n"
                                           << "\"Button_01-001\",\"" << one << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
                                           << "\"Button_01-002\",\"" << two << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
                                           << "\"BankName_02\",\"Second\"\r\n"
                                           << "\"Button_02-001\",\"" << three << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n";
    Store("OpenLast", "1");
    Store("LastTlvFilename", table);
    ASSERT_TRUE(Start());
    ASSERT_EQ(State().CurrentFileTitle, "show");
    ASSERT_EQ(Record(0, 0, 0).FileName, one);
    ASSERT_EQ(Record(0, 1, 0).FileName, three);
    window->show();
    QApplication::processEvents();
    controls::UC_TolvButton* first = window->TolvButton.At(0);
    ASSERT_NE(first, nullptr);
    ASSERT_GT(first->width(), 0);
    EXPECT_EQ(window->TextPage(0)->TextMes(0), "[show] Opening");
    testsupport::SaveToGallery(window->grab().toImage(), "grid-end-to-end-page1");
    const QImage pageOne = first->Picture().Image().copy();

    Played(1);
    Click(*first);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().PlayerTitle[0], "one");
    Run(200);
    EXPECT_NE(FirstSound(Played(1)), 0.0F) << "the sound reached the null device";
    control->StopOutput(0);
    Run(300);

    control->PageButtons_ButtonClicked(0, 1);
    EXPECT_EQ(State().CurrentPage[0], 1);
    EXPECT_EQ(window->TextPage(0)->TextMes(0), "[show] Second");
    EXPECT_NE(first->Picture().Image(), pageOne) << "the first button shows the second page's sound";
    testsupport::SaveToGallery(window->grab().toImage(), "grid-end-to-end-page2");

    State().KeyTarget = 0;
    Played(1);
    Key(QEvent::KeyPress, Qt::Key_1);
    Key(QEvent::KeyRelease, Qt::Key_1);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().PlayerTitle[0], "three");
    Run(200);
    EXPECT_NE(FirstSound(Played(1)), 0.0F);
}

} // namespace
