// The title bar of a message box as the X server tells it to the window
// manager (_NET_WM_NAME, read with xprop): a box asked for without a title
// shows none, not the program's name; a box with a title shows it. Without
// the X server of the operator sessions or xprop the check is skipped.
#include "platform/MessageBox.h"
#include "platform/ProcessStart.h"
#include "support/RealWait.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// The window manager's name of the box on the server, as xprop prints it.
QString ServerTitleOfModalBox()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
        return "no box";
    }
    QProcess xprop;
    xprop.start(QString::fromStdString(platform::FindProgram("xprop")),
                {"-id", QString::number(box->winId()), "_NET_WM_NAME"});
    xprop.waitForFinished(testsupport::RealWaitMs);
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    box->button(QMessageBox::Ok)->click();
    // _NET_WM_NAME(UTF8_STRING) = "text"
    const int open = line.indexOf('"');
    return open < 0 ? line : line.mid(open + 1, line.lastIndexOf('"') - open - 1);
}

QString TitleShownFor(const std::string& title)
{
    QString shown;
    QTimer::singleShot(0, [&shown] { shown = ServerTitleOfModalBox(); });
    platform::ShowMessageBox({nullptr, "Invalid Time.", title, platform::IconStop, {}});
    return shown;
}

TEST(MessageBoxTitle, AnEmptyTitleShowsNoNameAndAGivenTitleShowsItself)
{
    if (const char* why = std::getenv("TOLV_NO_X_SERVER"); why != nullptr) {
        GTEST_SKIP() << why;
    }
    if (platform::FindProgram("xprop").empty()) {
        GTEST_SKIP() << "xprop is needed (scripts/install-deps installs it)";
    }
    EXPECT_EQ(TitleShownFor("").trimmed().toStdString(), "");
    EXPECT_EQ(TitleShownFor("Fade").toStdString(), "Fade");
}

} // namespace
