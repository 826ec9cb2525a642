#include "ApplyFixture.h"

#include "foundation/Parms.h"
#include "mainwindow/DisplaySizes.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Twips.h"
#include "support/Gallery.h"

#include <QApplication>
#include <QMenuBar>

#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using shelltest::ApplyFixture;

// A transfer control whose progress panel is 4800 x 1500 twips.
class CentredTransfer final : public FileTransferPort {
public:
    QWidget* Control() override
    {
        if (control_ == nullptr) {
            control_ = new QWidget;
        }
        return control_;
    }
    void Init(int) override {}
    void SetDispFN(int) override {}
    int AdjustX() override { return 2400; }
    int AdjustY() override { return 750; }

private:
    QPointer<QWidget> control_;
};
using Outcome = FrmMain::StartOutcome;

// The main window at its real size, drawn for a person to look at.
class WindowLayoutGallery : public ApplyFixture {
protected:
    // The window as the settings apply leaves it, with captions and rows.
    void ShowContents()
    {
        Fill();
        window->Form_Resize();
    }

    // Captions on the buttons and rows in the lists, as a file would give.
    void Fill()
    {
        MainState& state = window->State;
        for (int output = 0; output < state.NumOut; ++output) {
            const auto o = static_cast<std::size_t>(output);
            if (parms::IsList[o] != 0) {
                UC_ListView& list = *window->LV(output);
                list.DeleteAll();
                list.AddItem(6);
                for (int row = 0; row < 6; ++row) {
                    list.SetValue(row, 0, "0" + std::to_string(row + 1) + ":3" + std::to_string(row));
                    list.SetValue(row, 1, "Item " + std::to_string(row + 1) + " of output " + std::to_string(output + 1));
                }
                list.Refresh();
                if (controls::UC_TextPicture* current = window->PictureCurrent.At(output)) {
                    current->DispMes(0, "01:30", 1);
                    current->DispMes(1, "Item 1 of output " + std::to_string(output + 1), 0);
                }
                continue;
            }
            for (int b = 0; b < state.ButtonsPerPage[o]; ++b) {
                if (controls::UC_TolvButton* button = window->TolvButton.At(output * state.ButtonsPerOutput + b)) {
                    button->SetText(1, "Sound " + std::to_string(output + 1) + "-" + std::to_string(b + 1));
                    button->SetActivated(b % 5);
                    button->Draw(0);
                }
            }
        }
    }

    QImage Shot(int widthPx, int heightPx)
    {
        window->resize(widthPx, heightPx);
        QApplication::processEvents();
        window->Form_Resize();
        return window->grab().toImage();
    }

    // True when no two output areas' elements overlap and each lies in PictureAll.
    void ExpectEveryButtonInsidePictureAll()
    {
        const QRect all(QPoint(0, 0), window->PictureAll->size());
        for (int i = 0; i < 400; ++i) {
            if (const controls::UC_TolvButton* button = window->TolvButton.At(i); button != nullptr && !button->isHidden()) {
                EXPECT_TRUE(all.contains(button->geometry())) << i;
            }
        }
    }
};

TEST_F(WindowLayoutGallery, OneGridOfEightByFourAtBothSizes)
{
    ASSERT_EQ(Start(), Outcome::Running);
    ShowContents();
    EXPECT_EQ(window->State.LayoutType, 0);
    testsupport::SaveToGallery(Shot(1100, 720), "window-layout0-grid8x4-size1.0");
    ExpectEveryButtonInsidePictureAll();

    window->State.DispBig = 1;
    window->ApplySettings(1);
    ShowContents();
    testsupport::SaveToGallery(Shot(1400, 920), "window-layout0-grid8x4-size1.3");
    ExpectEveryButtonInsidePictureAll();
    EXPECT_EQ(window->TolvButton(9)->x() - window->TolvButton(8)->x(), 153 + 7);
}

TEST_F(WindowLayoutGallery, AGridWithTwoListsBeforeAndAfterAResize)
{
    Store("NumOut", "3");
    Store("IsList_2", "1");
    Store("IsList_3", "1");
    Store("PlayerColor_1", "255");
    Store("PlayerColor_3", "16744576");
    ASSERT_EQ(Start(), Outcome::Running);
    ShowContents();
    ASSERT_EQ(window->State.LayoutType, 3);
    testsupport::SaveToGallery(Shot(1100, 1000), "window-layout3-before-resize");
    const int listHeight = window->LV(1)->height();
    testsupport::SaveToGallery(Shot(1400, 1150), "window-layout3-after-resize");
    // The lists take the new room; the grid keeps its size.
    EXPECT_GE(window->LV(1)->height(), listHeight + 150);
    EXPECT_EQ(window->LV(2)->height(), window->LV(1)->height());
    EXPECT_EQ(window->TolvButton(0)->width(), 118);
    EXPECT_EQ(window->TolvButton(0)->height(), 113);
    ExpectEveryButtonInsidePictureAll();
    // 150 pixels higher only: the lists are 150 pixels higher, nothing else moves.
    const int before = window->LV(1)->height();
    const QRect lastButton = window->TolvButton(31)->geometry();
    Shot(1400, 1300);
    EXPECT_EQ(window->LV(1)->height(), before + 150);
    EXPECT_EQ(window->LV(2)->height(), before + 150);
    EXPECT_EQ(window->TolvButton(31)->geometry(), lastButton);
}

TEST_F(WindowLayoutGallery, FourGridsOfFourByFourSideBySide)
{
    Store("NumOut", "4");
    for (int n = 1; n <= 4; ++n) {
        Store("ModuleX_" + std::to_string(n), "4");
        Store("ModuleY_" + std::to_string(n), "4");
    }
    ASSERT_EQ(Start(), Outcome::Running);
    ShowContents();
    ASSERT_EQ(window->State.LayoutType, 11);
    testsupport::SaveToGallery(Shot(2560, 1440), "window-layout11-four-grids4x4");
    ExpectEveryButtonInsidePictureAll();
    // Side by side: the first buttons of all four grids on one row.
    for (int output = 1; output < 4; ++output) {
        EXPECT_EQ(window->TolvButton(output * 16)->y(), window->TolvButton(0)->y());
        EXPECT_GT(window->TolvButton(output * 16)->x(), window->TolvButton((output - 1) * 16 + 3)->x());
    }
}

TEST_F(WindowLayoutGallery, ALayoutWaitsForTheWindowToBeReadyAndNotMinimised)
{
    Store("IsList_1", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    const QRect placed = window->LV(0)->geometry();
    window->State.Running = 0;
    window->resize(900, 700);
    window->Form_Resize();
    EXPECT_EQ(window->LV(0)->geometry(), placed);
    window->State.Running = 1;
    window->Form_Resize();
    EXPECT_NE(window->LV(0)->geometry(), placed);
}

class WindowLayoutWithTransfer : public WindowLayoutGallery {
protected:
    CentredTransfer transfer;
};

TEST_F(WindowLayoutWithTransfer, TheTransferControlIsCentredAndColouredOutputsAreFramed)
{
    window->Ports.FileTransfer = &transfer;
    Store("PlayerColor_1", "255");
    ASSERT_EQ(Start(), Outcome::Running);
    ShowContents();
    Shot(1200, 800);
    const int p = basic::TwipsPerPixel;
    const int allWidth = 1200 * p - 120;
    const int allHeight = (800 - window->MenuBar->height()) * p - 600;
    ASSERT_NE(window->FH1, nullptr);
    EXPECT_EQ(window->FH1->parentWidget(), window->PictureAll);
    EXPECT_EQ(window->FH1->x(), platform::TwipsToPixels(allWidth / 2.0 - 2400));
    EXPECT_EQ(window->FH1->y(), platform::TwipsToPixels(allHeight / 2.0 - 750));

    // A red outline one unit (6 pixels) outside the grid, and nothing inside it.
    const platform::Surface& all = window->PictureAll->Picture();
    const QRect first = window->TolvButton(0)->geometry();
    const QRect last = window->TolvButton(31)->geometry();
    EXPECT_EQ(all.GetPixel(first.x() - 6, first.y() + 20), 0x0000FF);
    EXPECT_EQ(all.GetPixel(first.x() + 20, first.y() - 6), 0x0000FF);
    EXPECT_EQ(all.GetPixel(last.right() + 7, last.y() + 20), 0x0000FF);
    EXPECT_EQ(all.GetPixel(last.x() + 20, last.bottom() + 7), 0x0000FF);
    EXPECT_NE(all.GetPixel(first.x() - 3, first.y() + 20), 0x0000FF);

    // The window's top and bottom rows, one above the other.
    EXPECT_EQ(window->PictureGrad->Picture().PixelHeight(), 40);
    EXPECT_EQ(window->PictureGrad->Picture().PixelWidth(), window->width());
    EXPECT_EQ(window->PictureGrad->Picture().GetPixel(10, 39), window->Picture().GetPixel(10, window->height() - 1));
}

} // namespace
