#include "platform/BusyCursor.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(Dialogs, AreAnsweredThroughTheirSeams)
{
    platform::FileDialogRequest seenFile;
    platform::SetFileDialogAnswer([&](const platform::FileDialogRequest& request) {
        seenFile = request;
        return std::string("/srv/a.tlv");
    });
    platform::FileDialogRequest file;
    file.save = true;
    file.filters = {{"Assign tables", "*.tlv"}};
    EXPECT_EQ(platform::ShowFileDialog(file), "/srv/a.tlv");
    EXPECT_TRUE(seenFile.save);
    EXPECT_EQ(seenFile.filters.size(), 1u);

    platform::SetFolderDialogAnswer([](const platform::FolderDialogRequest& request) { return request.startFolder; });
    EXPECT_EQ(platform::ShowFolderDialog({nullptr, "t", "/srv"}), "/srv");

    platform::SetColourDialogAnswer([](const platform::ColourDialogRequest&) { return std::nullopt; });
    EXPECT_EQ(platform::ShowColourDialog({}), std::nullopt);

    platform::SetInputBoxAnswer([](const platform::InputBoxRequest& request) { return request.defaultText + "!"; });
    EXPECT_EQ(platform::ShowInputBox({nullptr, "Name", "t", "Page"}), "Page!");

    platform::SetMessageBoxAnswer(
        [](const platform::MessageBoxRequest& request) { return request.style == 36 ? 6 : 1; });
    EXPECT_EQ(platform::ShowMessageBox({nullptr, "Save?", "tolv", 36, {}}), platform::IdYes);

    platform::SetFileDialogAnswer(nullptr);
    platform::SetFolderDialogAnswer(nullptr);
    platform::SetColourDialogAnswer(nullptr);
    platform::SetInputBoxAnswer(nullptr);
    platform::SetMessageBoxAnswer(nullptr);
}

TEST(Dialogs, FilterPatternsMatchRegardlessOfCase)
{
    EXPECT_EQ(platform::CaseBlindPattern("*.wav"), "*.[wW][aA][vV]");
    EXPECT_EQ(platform::CaseBlindPattern("*.MP3"), "*.[mM][pP]3");
    EXPECT_EQ(platform::CaseBlindPattern("[ab]*"), "[ab]*") << "sets stay as they are";
}

// The real box, answered by a click as a user would.
TEST(MessageBoxes, ReturnThePressedButtonAndGoWhereTheyAreTold)
{
    QPoint placedAt;
    QSize placedSize;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        placedAt = box->pos();
        EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No));
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        box->button(QMessageBox::No)->click();
    });
    platform::MessageBoxRequest request;
    request.text = "Overwrite?";
    request.title = "tolv";
    request.style = platform::BoxYesNo | platform::IconQuestion | platform::DefaultButton2;
    request.place = [&](QSize box) {
        placedSize = box;
        return QPoint(33, 44);
    };
    EXPECT_EQ(platform::ShowMessageBox(request), platform::IdNo);
    EXPECT_EQ(placedAt, QPoint(33, 44));
    EXPECT_FALSE(placedSize.isEmpty());
}

TEST(MessageBoxes, EscapeInAnOkCancelBoxIsCancel)
{
    QTimer::singleShot(0, [] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box, &escape);
    });
    EXPECT_EQ(platform::ShowMessageBox({nullptr, "Stop all?", "tolv", platform::BoxOkCancel, {}}), platform::IdCancel);
}

TEST(PopupMenus, TriggerTheEntryTheSeamChooses)
{
    QMenu menu;
    int triggered = 0;
    menu.addAction("Copy page");
    QAction* second = menu.addAction("Paste page");
    QObject::connect(second, &QAction::triggered, [&] { ++triggered; });
    second->setEnabled(false);
    platform::SetPopupMenuAnswer([&](QMenu&) { return second; });
    EXPECT_EQ(platform::ShowPopupMenu(menu), nullptr) << "a disabled entry cannot be chosen";
    second->setEnabled(true);
    EXPECT_EQ(platform::ShowPopupMenu(menu), second);
    EXPECT_EQ(triggered, 1);
    platform::SetPopupMenuAnswer(nullptr);
}

TEST(BusyCursor, ShowsOnceAndRestoresWhatWasThere)
{
    EXPECT_FALSE(platform::BusyCursor());
    {
        platform::ScopedBusyCursor busy;
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        platform::ScopedBusyCursor nested;
        platform::SetBusyCursor(true);
    }
    EXPECT_FALSE(platform::BusyCursor());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
