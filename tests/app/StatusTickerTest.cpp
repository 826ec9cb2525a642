// The status ticker at the top of the window, as the operator sees it on the
// assembled program: while nothing plays, its strip shows the live ticker and
// nothing else, whatever the layout did meanwhile.
#include "AssembledFixture.h"

#include "foundation/Background.h"
#include "platform/Surface.h"
#include "playback/StatusBar.h"
#include "support/Gallery.h"
#include "support/LayoutArrangements.h"

#include <QApplication>
#include <QImage>
#include <QMenuBar>

#include <string>
#include <vector>

namespace {

using apptest::AssembledFixture;

using Arrangement = testsupport::LayoutArrangement;

class StatusTicker : public AssembledFixture, public testing::WithParamInterface<Arrangement> {
protected:
    // The strip of the window as shown, and the same rows of a freshly
    // painted window background.
    QImage Strip()
    {
        const QImage shot = Window().grab().toImage().convertToFormat(QImage::Format_RGB32);
        return shot.copy(0, Window().MenuBar->height(), shot.width(), StatusBar::StripHeight);
    }
    QImage CleanStrip()
    {
        platform::Surface background(Window().width(), Window().height());
        background.SetBackColor(Window().Picture().BackColor());
        background.Cls();
        basic::PaintBackground(background, 0, -1, -1, -1);
        return background.Image()
            .convertToFormat(QImage::Format_RGB32)
            .copy(0, Window().MenuBar->height(), Window().width(), StatusBar::StripHeight);
    }
};

// Ink of the alert colour, red, also where its edges blend into the grey
// background; grey ink has no tint at all.
bool RedInk(QRgb pixel)
{
    return qRed(pixel) > qGreen(pixel) && qRed(pixel) > qBlue(pixel);
}

TEST_P(StatusTicker, AfterALayoutThatLetTheTickRunOnlyTheLiveTickerIsInTheStrip)
{
    const Arrangement& arrangement = GetParam();
    Store("ShowObservation", "1");
    Store("ListOrderHorizon", "1");
    Store("ButtonOrderHorizon", arrangement.layoutType == 0 ? "0" : "1");
    ASSERT_TRUE(Start(arrangement.numOut, arrangement.lists));
    ASSERT_EQ(State().LayoutType, arrangement.layoutType);
    Run(300);

    // The window is laid out anew while the files are still taken as valid;
    // time goes on while it lays out, so the tick may draw the ticker then.
    QMetaObject::invokeMethod(
        qApp, [this] { Run(300); }, Qt::QueuedConnection);
    Window().resize(Window().width() + 30, Window().height() + 20);
    QApplication::processEvents();

    // The table's pre-read then finds an invalid file: the ticker turns red.
    State().InvalidIncluded = 1;
    Run(1000);

    const QImage strip = Strip();
    const QImage clean = CleanStrip();
    ASSERT_EQ(strip.size(), clean.size());
    int red = 0;
    int other = 0;
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            const QRgb shown = strip.pixel(x, y);
            if (shown == clean.pixel(x, y)) {
                continue;
            }
            ++(RedInk(shown) ? red : other);
        }
    }
    const std::string name = "status-ticker-layout" + std::to_string(arrangement.layoutType);
    testsupport::SaveToGallery(strip, name, 2);
    EXPECT_GT(red, 50) << "the live ticker, red with the invalid file";
    EXPECT_EQ(other, 0) << "ink that is not the live ticker's: see " << name;
}

INSTANTIATE_TEST_SUITE_P(EveryLayoutType, StatusTicker, testing::ValuesIn(testsupport::EveryLayoutArrangement()),
                         testsupport::LayoutArrangementName);

} // namespace
