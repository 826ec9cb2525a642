// Qt's own file dialog leaves names that are no UTF-8 text out of its list:
// the dialog says which ones the folder shown holds, and a U+FFFD that Qt
// shows in such a name comes back as the byte it stands for.
#include "platform/CommonDialogs.h"
#include "support/CapturedLog.h"
#include "support/ScratchFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using testsupport::ScratchFolder;

const QString Replacement(QChar(0xFFFD));

// Shows the real dialog of request, lets act work on it once it is up, and
// returns what the dialog gives back.
std::string WithDialog(const platform::FileDialogRequest& request, const std::function<void(QFileDialog&)>& act)
{
    QTimer::singleShot(0, [&act] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    return platform::ShowFileDialog(request);
}

// The line under the list, "(none)" while it is hidden.
std::string LineOf(QFileDialog& dialog)
{
    auto* line = dialog.findChild<QLabel*>("unlistedNames");
    return line == nullptr || !line->isVisibleTo(&dialog) ? std::string("(none)") : line->text().toStdString();
}

TEST(UnlistedNames, TheDialogNamesTheSoundsAndFoldersItCannotListAndLogsThemOnce)
{
    const ScratchFolder folder;
    folder.Write("a.wav", "");
    folder.Write("s\xE9.wav", "");
    folder.Write("T\x82\xA0.WAV", ""); // code page 932
    folder.Write("n\xE9.txt", "");
    folder.Write(".h\xE9.wav", "");
    folder.Folder("d\xE9");
    const std::string clean = folder.Folder("clean");
    folder.Write("clean/b.wav", "");
    const std::string shown = folder.Path().substr(0, folder.Path().size() - 1);
    testsupport::CapturedLog log;

    platform::FileDialogRequest request;
    request.filters = {{"wav File", "*.wav"}, {"All", "*.*"}};
    request.initialFolder = folder.Path();
    request.mustExist = true;
    request.unlistedNote = "Not listed:";
    std::vector<std::string> lines;
    WithDialog(request, [&](QFileDialog& dialog) {
        lines.push_back(LineOf(dialog));
        // The operator picks "All" in the type box.
        auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        types->setFocus();
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(types, &down);
        lines.push_back(LineOf(dialog));
        dialog.setDirectory(QString::fromStdString(clean));
        lines.push_back(LineOf(dialog));
        dialog.setDirectory(QString::fromStdString(shown));
        lines.push_back(LineOf(dialog));
    });
    EXPECT_EQ(lines, (std::vector<std::string>{"Not listed: T\\x82\\xA0.WAV, d\\xE9, s\\xE9.wav",
                                               "Not listed: T\\x82\\xA0.WAV, d\\xE9, n\\xE9.txt, s\\xE9.wav", "(none)",
                                               "Not listed: T\\x82\\xA0.WAV, d\\xE9, n\\xE9.txt, s\\xE9.wav"}));
    EXPECT_EQ(log.LinesWith("File dialog: " + shown +
                            " holds names that are no UTF-8 text, which the dialog does not list: "
                            "T\\x82\\xA0.WAV, d\\xE9, s\\xE9.wav"),
              1);
    EXPECT_EQ(log.LinesWith("File dialog: "), 1);
}

TEST(UnlistedNames, AReplacementCharacterComesBackAsTheOneByteItStandsFor)
{
    const ScratchFolder folder;
    const std::string latin1 = folder.Write("s\xE9.wav", "");
    folder.Write("x\xE9.wav", "");
    folder.Write("x\xE8.wav", "");
    const std::string literal = folder.Write("r\xEF\xBF\xBD.wav", ""); // a real name holding U+FFFD
    const QString base = QString::fromStdString(folder.Path());

    platform::FileDialogRequest request;
    request.initialFolder = folder.Path();
    const auto choose = [&](const QString& name) {
        return WithDialog(request, [&](QFileDialog& dialog) {
            dialog.selectFile(base + name);
            auto* buttons = dialog.findChild<QDialogButtonBox*>();
            ASSERT_NE(buttons, nullptr);
            for (QAbstractButton* button : buttons->buttons()) {
                if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) {
                    button->click(); // Open, or Save
                }
            }
        });
    };
    EXPECT_EQ(choose("s" + Replacement + ".wav"), latin1);
    EXPECT_EQ(choose("r" + Replacement + ".wav"), literal);
    EXPECT_EQ(choose("x" + Replacement + ".wav"), folder / "x\xEF\xBF\xBD.wav")
        << "two names look alike: neither is taken";

    request.save = true;
    EXPECT_EQ(choose("s" + Replacement + ".wav"), folder / "s\xEF\xBF\xBD.wav") << "a save names a new file";
}

} // namespace
