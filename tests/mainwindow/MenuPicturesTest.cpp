// Pictures of the menu bar with its File menu dropped down, and of the
// button menu with its mode sub-menu open, in Japanese and English, for a
// person to look at in the gallery.
#include "ShellFixture.h"

#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/ServerFolders.h"
#include "support/Gallery.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using shelltest::ShellFixture;
using Outcome = FrmMain::StartOutcome;

QImage Picture(QWidget& widget)
{
    widget.ensurePolished();
    widget.resize(widget.sizeHint());
    return widget.grab().toImage();
}

// The bar, and below its entry the drop-down of menu.
QImage BarWithMenu(QMenuBar& bar, QMenu& menu)
{
    const QImage barImage = Picture(bar);
    const QImage menuImage = Picture(menu);
    const QRect entry = bar.actionGeometry(menu.menuAction());
    QImage image(std::max(barImage.width(), entry.left() + menuImage.width()), barImage.height() + menuImage.height(),
                 QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, barImage);
    painter.drawImage(entry.left(), barImage.height(), menuImage);
    return image;
}

// A menu and, beside the entry of sub, that sub-menu open.
QImage MenuWithSubMenu(QMenu& menu, QMenu& sub)
{
    const QImage menuImage = Picture(menu);
    const QImage subImage = Picture(sub);
    const QRect entry = menu.actionGeometry(sub.menuAction());
    QImage image(menuImage.width() + subImage.width(), std::max(menuImage.height(), entry.top() + subImage.height()),
                 QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, menuImage);
    painter.drawImage(menuImage.width(), entry.top(), subImage);
    return image;
}

class MenuPictures : public ShellFixture {
protected:
    void TearDown() override
    {
        basic::LangMode = languageBefore_;
        parms::EditApp.clear();
        parms::DispButtonOption = 0;
        FCT_Quind::LocalPath.clear();
        ShellFixture::TearDown();
    }
    // Every entry shown, the button under the pointer a Latch button.
    void StartIn(int language)
    {
        Store("EditApp", "/usr/bin/audacity");
        Store("DispButtonOption", "1");
        Store("TlvTxtPath", "/srv/tables");
        Store("LocalPath", cache.Path());
        program.Write("tolv.pdf", "%PDF");
        program.Write("tolv_help_eng.txt", "help");
        ASSERT_EQ(Start(), Outcome::Running);
        basic::LangMode = language;
        window->ApplySettings(0);
        window->CheckButtonModeItems(2);
    }
    void Take(int language, const std::string& suffix)
    {
        StartIn(language);
        const QImage bar = BarWithMenu(*window->MenuBar, *window->MenuFileP);
        const QImage buttonMenu = MenuWithSubMenu(*window->MenuRCButtonP, *window->MenuRCButtonModeP);
        EXPECT_GT(bar.width(), 300);
        EXPECT_GT(buttonMenu.height(), 150);
        testsupport::SaveToGallery(bar, "menu-bar-" + suffix);
        testsupport::SaveToGallery(buttonMenu, "button-menu-" + suffix);
    }

    testsupport::ScratchFolder cache;

private:
    std::int32_t languageBefore_ = basic::LangMode;
};

TEST_F(MenuPictures, Japanese)
{
    Take(0, "ja");
}

TEST_F(MenuPictures, English)
{
    Take(1, "en");
}

} // namespace
