// The material browser window under the offscreen platform: its grid of
// folders, shortcuts and sound files, walking folders, dragging files out,
// closing and unloading.
#include "cache/FrmSozai.h"
#include "ShortcutBuilder.h"
#include "cache/MaterialBrowser.h"
#include "controls/SurfaceBox.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_ListView.h"
#include "controls/UC_PathText.h"
#include "controls/UC_TolvButton.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "platform/DragSource.h"
#include "platform/Form.h"
#include "platform/InputGate.h"
#include "platform/base/Hooks.h"
#include "platform/base/Twips.h"
#include "support/ClockFixture.h"
#include "support/Gallery.h"
#include "support/ProcessUntil.h"
#include "support/ScratchFolder.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

using testing::ElementsAre;

constexpr int Px = 15;

class FrmSozaiTest : public testsupport::ClockFixture {
protected:
    FrmSozaiTest()
    {
        savedTwips_ = basic::TwipsPerPixel;
        basic::TwipsPerPixel = Px;
        savedPlayerType_ = parms::PlayerType;
        parms::PlayerType = 3;
        SetNow(Date(2026, 12, 7), At(9, 0, 0));
        basic::SaveSetting("NumSozaiColumn", "4");
        sounds = scratch.Folder("sounds");
        scratch.Folder("sounds/a");
        scratch.Folder("sounds/b");
        for (const char* name : {"w1.wav", "w2.wav", "w3.wav"}) {
            scratch.Write(std::string("sounds/") + name, "RIFF");
        }
        WriteShortcut(sounds + "link.lnk", "\\\\host\\share\\news");
        basic::SaveSetting("SozaiPath", sounds);
    }
    ~FrmSozaiTest() override
    {
        platform::SetDragHook(nullptr);
        parms::PlayerType = savedPlayerType_;
        basic::TwipsPerPixel = savedTwips_;
    }

    static void WriteShortcut(const std::string& path, const std::string& share, const std::string& localBase = "")
    {
        ShortcutBuilder link;
        link.netName = share;
        link.localBase = localBase;
        const std::vector<std::uint8_t> bytes = link.Build();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    cache::FrmSozai& Open(int output = 0)
    {
        browser.Show(owner, output);
        cache::FrmSozai* window = browser.Browser();
        EXPECT_NE(window, nullptr);
        return *window;
    }
    UC_ListView& List() { return browser.Browser()->LVSozai(); }

    std::vector<std::string> Row(int row)
    {
        std::vector<std::string> texts;
        for (int c = 0; c < List().NumData(); ++c) {
            texts.push_back(List().Value(row, c).Text());
        }
        return texts;
    }

    // The middle of a cell, in pixels of the list's rows.
    QPoint CellPoint(int row, int column)
    {
        int left = 0;
        for (int c = 0; c < column; ++c) {
            left += List().TabWidth(c);
        }
        const int height = List().OneHeight();
        return {(left + List().TabWidth(column) / 2) / Px, (row * height + height / 2) / Px + 4};
    }
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QWidget& area = List().ListArea();
        QMouseEvent event(type, QPointF(at), area.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(&area, &event);
    }
    void DoubleClick(int row, int column)
    {
        const QPoint at = CellPoint(row, column);
        Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        Mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    void Drag(int row, int column)
    {
        const QPoint at = CellPoint(row, column);
        Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        Mouse(QEvent::MouseMove, at + QPoint(12, 12), Qt::NoButton, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, at + QPoint(12, 12), Qt::LeftButton, Qt::NoButton);
    }

    testsupport::ScratchFolder scratch;
    std::string sounds;
    platform::Form owner;
    cache::MaterialBrowser browser;

private:
    int savedTwips_ = 0;
    int savedPlayerType_ = 0;
};

TEST_F(FrmSozaiTest, FoldersShortcutsAndWavesFillTheGridInThatOrder)
{
    cache::FrmSozai& window = Open();
    EXPECT_TRUE(browser.IsLoaded());
    EXPECT_EQ(window.Caption(), "素材");
    ASSERT_EQ(List().ItemCount(), 2);
    EXPECT_THAT(Row(0), ElementsAre("【..】", "【a】", "【b】", "link■"));
    EXPECT_THAT(Row(1), ElementsAre("w1.wav", "w2.wav", "w3.wav", ""));
    EXPECT_EQ(List().AuxID(0, 0).Text(), "..");
    EXPECT_EQ(List().AuxID(0, 1).Text(), sounds + "a");
    EXPECT_EQ(List().AuxID(0, 3).Text(), "//host/share/news") << "the shortcut's share as a server path";
    EXPECT_EQ(List().AuxID(1, 2).Text(), sounds + "w3.wav");
    testsupport::SaveToGallery(window.grab().toImage(), "FrmSozai");
    const QPoint wave = CellPoint(1, 1);
    Mouse(QEvent::MouseButtonPress, wave, Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, wave, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(List().SelectedItem(), 1);
    EXPECT_EQ(List().SelectedData(), 1);
    testsupport::SaveToGallery(window.grab().toImage(), "FrmSozai_selected");
}

TEST_F(FrmSozaiTest, WhatIsListedDependsOnThePlayerAndOnTipFiles)
{
    scratch.Write("sounds/x.mp3", "ID3");
    scratch.Write("sounds/x.tip", "tip");
    scratch.Write("sounds/w1.wav.tip", "tip");
    scratch.Folder("sounds/y.tip");
    scratch.Write("sounds/notes.txt", "text");
    Open();
    EXPECT_THAT(Row(0), ElementsAre("【..】", "【a】", "【b】", "【y.tip】"));
    EXPECT_THAT(Row(1), ElementsAre("link■", "w1.wav", "w2.wav", "w3.wav")) << "no .mp3 on the waveOut player";

    parms::PlayerType = 1;
    browser.Browser()->ListSozaiFolder();
    ASSERT_EQ(List().ItemCount(), 3);
    EXPECT_THAT(Row(2), ElementsAre("x.mp3", "", "", "")) << "the DirectShow player decodes it";
}

TEST_F(FrmSozaiTest, SymbolicLinksAreListedAsWhatTheyPointTo)
{
    const std::string elsewhere = scratch.Folder("elsewhere");
    scratch.Write("elsewhere/far.wav", "RIFF");
    std::filesystem::create_directory_symlink(elsewhere, sounds + "c");
    std::filesystem::create_symlink(elsewhere + "far.wav", sounds + "w4.wav");
    std::filesystem::create_symlink(sounds + "nowhere.wav", sounds + "w5.wav");
    Open();
    EXPECT_THAT(Row(0), ElementsAre("【..】", "【a】", "【b】", "【c】"));
    EXPECT_THAT(Row(1), ElementsAre("link■", "w1.wav", "w2.wav", "w3.wav"));
    EXPECT_THAT(Row(2), ElementsAre("w4.wav", "", "", "")) << "a link that leads nowhere is not listed";
}

TEST_F(FrmSozaiTest, TheUpdateButtonRefreshesAndAMissingFolderLeavesTheList)
{
    cache::FrmSozai& window = Open();
    scratch.Write("sounds/w4.wav", "RIFF");
    QWidget& button = *window.FCTButtons().findChild<controls::SurfaceBox*>();
    const QPointF middle(button.width() / 2.0, button.height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, middle, button.mapToGlobal(middle), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, middle, button.mapToGlobal(middle), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&button, &release);
    EXPECT_THAT(Row(1), ElementsAre("w1.wav", "w2.wav", "w3.wav", "w4.wav"));

    window.TextSozaiPath().SetText(sounds + "missing/");
    window.ListSozaiFolder();
    EXPECT_THAT(Row(1), ElementsAre("w1.wav", "w2.wav", "w3.wav", "w4.wav"));
}

TEST_F(FrmSozaiTest, DoubleClicksWalkUpAndIntoFolders)
{
    cache::FrmSozai& window = Open();
    DoubleClick(0, 1);
    EXPECT_EQ(window.TextSozaiPath().Text(), sounds + "a/");
    EXPECT_THAT(Row(0), ElementsAre("【..】", "", "", ""));

    DoubleClick(0, 0);
    EXPECT_EQ(window.TextSozaiPath().Text(), sounds);
    DoubleClick(0, 0);
    EXPECT_EQ(window.TextSozaiPath().Text(), scratch.Path());
    EXPECT_THAT(Row(0), ElementsAre("【..】", "【sounds】", "", ""));

    // A sound file enters nothing.
    DoubleClick(0, 1);
    DoubleClick(1, 0);
    EXPECT_EQ(window.TextSozaiPath().Text(), sounds);
}

TEST_F(FrmSozaiTest, AShortcutToAShareEntersItsMappedFolder)
{
    const std::string uncRoot = scratch.Folder("unc");
    scratch.Write("unc/host/share/news/n1.wav", "RIFF");
    const char* saved = std::getenv("TOLV_UNC_ROOT");
    const std::string savedRoot = saved != nullptr ? saved : "";
    setenv("TOLV_UNC_ROOT", uncRoot.c_str(), 1);

    cache::FrmSozai& window = Open();
    DoubleClick(0, 3);
    EXPECT_EQ(window.TextSozaiPath().Text(), "//host/share/news/");
    EXPECT_THAT(Row(0), ElementsAre("【..】", "n1.wav", "", ""));
    EXPECT_EQ(List().AuxID(0, 1).Text(), "//host/share/news/n1.wav");

    if (saved != nullptr) {
        setenv("TOLV_UNC_ROOT", savedRoot.c_str(), 1);
    } else {
        unsetenv("TOLV_UNC_ROOT");
    }
}

TEST_F(FrmSozaiTest, AShortcutThatCannotBeResolvedEntersNothingAndTheListingGoesOn)
{
    scratch.Write("sounds/broken.lnk", "no shortcut");
    WriteShortcut(sounds + "drive.lnk", "", "C:\\sounds");
    Open();
    EXPECT_THAT(Row(1), ElementsAre("drive■", "link■", "w1.wav", "w2.wav"));
    EXPECT_EQ(List().AuxID(0, 3).Text(), "") << "broken■ has no target";
    EXPECT_EQ(List().AuxID(1, 0).Text(), "") << "nor has a drive letter here";
    EXPECT_EQ(Row(0)[3], "broken■");
    DoubleClick(0, 3);
    EXPECT_EQ(browser.Browser()->TextSozaiPath().Text(), sounds);
}

TEST_F(FrmSozaiTest, AShortcutClimbingOutOfItsShareEntersNothing)
{
    const std::string uncRoot = scratch.Folder("unc");
    scratch.Folder("unc/host/share");
    scratch.Write("private/secret.wav", "RIFF");
    const char* saved = std::getenv("TOLV_UNC_ROOT");
    const std::string savedRoot = saved != nullptr ? saved : "";
    setenv("TOLV_UNC_ROOT", uncRoot.c_str(), 1);
    std::filesystem::remove(sounds + "link.lnk");
    // From the share up past the unc root into the folder beside it.
    WriteShortcut(sounds + "escape.lnk", "\\\\host\\share\\..\\..\\..\\private");

    cache::FrmSozai& window = Open();
    EXPECT_EQ(Row(0)[3], "escape■");
    EXPECT_EQ(List().AuxID(0, 3).Text(), "") << "its target is not offered";
    DoubleClick(0, 3);
    EXPECT_EQ(window.TextSozaiPath().Text(), sounds);
    EXPECT_EQ(List().Value(1, 0).Text(), "w1.wav");

    if (saved != nullptr) {
        setenv("TOLV_UNC_ROOT", savedRoot.c_str(), 1);
    } else {
        unsetenv("TOLV_UNC_ROOT");
    }
}

TEST_F(FrmSozaiTest, DraggingAWaveOffersItsFileForCopying)
{
    int drags = 0;
    QList<QUrl> urls;
    int offered = -1;
    platform::SetDragHook([&](QWidget&, const platform::DragData& data, int allowed) {
        ++drags;
        QMimeData mime;
        data.WriteTo(mime);
        urls = mime.urls();
        offered = allowed;
        return platform::DropEffectCopy;
    });
    Open();
    Drag(1, 1);
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(urls, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(sounds + "w2.wav"))});
    EXPECT_EQ(offered, platform::DropEffectCopy);

    // Folders, the way up and shortcuts start no drag; nor does a vanished file.
    Drag(0, 0);
    Drag(0, 1);
    Drag(0, 3);
    std::remove((sounds + "w3.wav").c_str());
    Drag(1, 2);
    EXPECT_EQ(drags, 1);
}

// A file dragged from the browser onto a sound button of the main window
// while a press holds input: the window system sends the moves and the
// release to the browser, which took the pointer, placed in the browser.
// After the press the file lands on the button where it was let go.
TEST_F(FrmSozaiTest, AFileDraggedOntoAButtonOfTheMainWindowInAPressLandsThereAfterIt)
{
    platform::InstallInputGate();
    owner.setGeometry(0, 0, 200, 100);
    controls::UC_TolvButton button(&owner);
    button.setGeometry(50, 20, 100, 60);
    std::vector<std::string> landed;
    button.OLEDropped = [&landed](platform::DragData& data) { landed = data.Files(); };
    owner.show();
    basic::SaveSetting("WindowLeftSozai1", std::to_string(400 * Px));
    cache::FrmSozai& window = Open();
    QWindow* from = window.windowHandle();
    ASSERT_TRUE(testsupport::ProcessUntil([&] { return from->isExposed() && owner.windowHandle()->isExposed(); },
                                          testsupport::RealWaitMs));
    const QPointF start = List().ListArea().mapTo(&window, QPointF(CellPoint(1, 1)));
    const QPointF end = from->mapFromGlobal(button.mapToGlobal(QPointF(50, 30)));
    const auto queue = [from](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
            from, at, from->mapToGlobal(at), held, Qt::LeftButton, type);
    };
    {
        const platform::InputHold press;
        queue(QEvent::MouseButtonPress, start, Qt::LeftButton);
        queue(QEvent::MouseMove, (start + end) / 2, Qt::LeftButton);
        queue(QEvent::MouseMove, end, Qt::LeftButton);
        queue(QEvent::MouseButtonRelease, end, Qt::NoButton);
        QCoreApplication::processEvents();
        EXPECT_TRUE(landed.empty()) << "not in the press";
    }
    EXPECT_TRUE(testsupport::ProcessUntil([&] { return !landed.empty(); }, testsupport::RealWaitMs));
    EXPECT_THAT(landed, ElementsAre(sounds + "w2.wav"));
}

TEST_F(FrmSozaiTest, TheCloseBoxHidesTheWindowAndKeepsItLoaded)
{
    cache::FrmSozai& window = Open();
    DoubleClick(0, 2);
    basic::SaveSetting("WindowLeftSozai1", "");
    window.close();
    EXPECT_TRUE(window.isHidden());
    EXPECT_TRUE(browser.IsLoaded());
    EXPECT_NE(basic::GetSetting("WindowLeftSozai1"), "") << "its position is kept";

    browser.Show(owner, 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.TextSozaiPath().Text(), sounds + "b/") << "it keeps its folder";
}

TEST_F(FrmSozaiTest, UnloadingKeepsTheFolderAsSozaiPath)
{
    Open();
    DoubleClick(0, 1);
    browser.Unload();
    EXPECT_FALSE(browser.IsLoaded());
    EXPECT_EQ(basic::GetSetting("SozaiPath"), sounds + "a/");

    // The next load starts there.
    cache::FrmSozai& window = Open();
    EXPECT_EQ(window.TextSozaiPath().Text(), sounds + "a/");
}

TEST_F(FrmSozaiTest, OpeningForAnotherOutputKeepsThePlaceTheMainWindowGaveIt)
{
    basic::SaveSetting("WindowLeftSozai1", "600");
    basic::SaveSetting("WindowTopSozai1", "450");
    cache::FrmSozai& window = Open(0);
    // The main window kept output 1's place and moved the browser to output
    // 2's before it shows it there.
    window.hide();
    window.Move(1500, 1200);
    browser.Show(owner, 1);
    EXPECT_EQ(browser.Output(), 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.Left(), 1500);
    EXPECT_EQ(window.Top(), 1200);
    EXPECT_EQ(basic::GetSetting("WindowLeftSozai1"), "600") << "output 1 keeps its own place";
    EXPECT_EQ(basic::GetSetting("WindowTopSozai1"), "450");
    // Its own saves go under its new output.
    window.close();
    EXPECT_EQ(basic::GetSetting("WindowLeftSozai2"), "1500");
    EXPECT_EQ(basic::GetSetting("WindowLeftSozai1"), "600");
}

TEST_F(FrmSozaiTest, ASmallWindowKeepsTheListUsable)
{
    cache::FrmSozai& window = Open();
    window.resize(20, 20);
    EXPECT_GE(List().width() * Px, 900);
    EXPECT_GE(List().height() * Px, 900);
    // Columns share the list's width less its frame.
    window.resize(400, 300);
    const int listWidth = List().width() * Px;
    EXPECT_EQ(List().TabWidth(0), (listWidth - 450) / 4);
}

} // namespace
