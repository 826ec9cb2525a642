#include "platform/CommonDialogs.h"

#include "platform/ServerPaths.h"
#include "platform/UnlistedNames.h"
#include "platform/base/LogSink.h"
#include "platform/base/TextCodec.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QStringList>

#include <memory>
#include <optional>
#include <set>

namespace platform {

namespace {

FileDialogAnswer fileAnswer;
FolderDialogAnswer folderAnswer;
ColourDialogAnswer colourAnswer;
InputBoxAnswer inputAnswer;

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QColor ColourOf(std::int32_t bgr)
{
    const auto value = static_cast<std::uint32_t>(bgr);
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

std::int32_t BgrOf(const QColor& colour)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(colour.red()) |
                                     (static_cast<std::uint32_t>(colour.green()) << 8) |
                                     (static_cast<std::uint32_t>(colour.blue()) << 16));
}

// "Sounds" with "*.wav;*.mp3" becomes "Sounds (*.[wW][aA][vV] *.[mM][pP]3)".
QString QtFilter(const std::pair<std::string, std::string>& filter)
{
    QStringList patterns;
    for (const QString& pattern : FromUtf8(filter.second).split(';', Qt::SkipEmptyParts)) {
        patterns.push_back(FromUtf8(CaseBlindPattern(pattern.trimmed().toStdString())));
    }
    if (patterns.isEmpty()) {
        patterns.push_back("*");
    }
    return FromUtf8(filter.first) + " (" + patterns.join(' ') + ")";
}

std::vector<std::string> PatternsOf(const std::string& patterns)
{
    std::vector<std::string> list;
    for (const QString& pattern : FromUtf8(patterns).split(';', Qt::SkipEmptyParts)) {
        list.push_back(pattern.trimmed().toStdString());
    }
    return list;
}

// The operator looking for a file whose name is no UTF-8 text would find
// nothing in the list and not know why: a line under the list names the ones
// the folder shown holds (where Qt's own dialog is used), and the log says it
// once per folder. patterns gives the patterns of the filter chosen.
void TellUnlistedNames(QFileDialog& dialog, const std::string& note, std::function<std::vector<std::string>()> patterns,
                       bool foldersOnly)
{
    const std::string intro = note.empty() ? std::string("Not listed, as these names are no UTF-8 text:") : note;
    auto* line = new QLabel(&dialog);
    line->setObjectName("unlistedNames");
    line->setTextFormat(Qt::PlainText);
    line->setWordWrap(true);
    line->hide();
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(line, grid->rowCount(), 0, 1, grid->columnCount());
    }
    auto logged = std::make_shared<std::set<std::string>>();
    const auto show = [line, intro, patterns = std::move(patterns), foldersOnly, logged](const QString& shown) {
        const std::string folder = shown.toStdString();
        const std::vector<std::string> names = UnlistedNames(folder, patterns(), foldersOnly);
        line->setVisible(!names.empty());
        line->setText(names.empty() ? QString() : FromUtf8(intro + " " + ShownNames(names, 5)));
        if (!names.empty() && logged->insert(folder).second) {
            Log("File dialog: " + textcodec::ShowingStrayBytes(folder) +
                    " holds names that are no UTF-8 text, which the dialog does not list: " + ShownNames(names, 20),
                0);
        }
    };
    const auto showCurrent = [&dialog, show] { show(dialog.directory().absolutePath()); };
    // Qt's own dialog shows the root of its model, whichever way the folder
    // changed (also by setDirectory, which tells no directoryEntered).
    if (auto* model = dialog.findChild<QFileSystemModel*>()) {
        QObject::connect(model, &QFileSystemModel::rootPathChanged, line, show);
    } else {
        QObject::connect(&dialog, &QFileDialog::directoryEntered, line, show);
    }
    QObject::connect(&dialog, &QFileDialog::filterSelected, line, showCurrent);
    showCurrent();
}

} // namespace

std::string CaseBlindPattern(const std::string& pattern)
{
    std::string result;
    bool inSet = false;
    for (const char c : pattern) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (c == '[') {
            inSet = true;
        } else if (c == ']') {
            inSet = false;
        }
        if (letter && !inSet) {
            const char lower = static_cast<char>(c | 0x20);
            const char upper = static_cast<char>(lower & ~0x20);
            result += '[';
            result += lower;
            result += upper;
            result += ']';
        } else {
            result += c;
        }
    }
    return result;
}

void SetFileDialogAnswer(FileDialogAnswer answer)
{
    fileAnswer = std::move(answer);
}

std::string ShowFileDialog(const FileDialogRequest& request)
{
    if (fileAnswer) {
        return fileAnswer(request);
    }
    QFileDialog dialog(request.owner);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save || !request.mustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    QStringList filters;
    for (const auto& filter : request.filters) {
        filters.push_back(QtFilter(filter));
    }
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
    }
    if (!request.initialFolder.empty()) {
        dialog.setDirectory(FromUtf8(NativePath(request.initialFolder)));
    }
    if (!request.fileName.empty()) {
        dialog.selectFile(FromUtf8(request.fileName));
    }
    const auto chosenPatterns = [&dialog, &request] {
        // With the details hidden, the dialog names a filter by its description.
        const QString chosen = dialog.selectedNameFilter();
        for (const auto& filter : request.filters) {
            if (chosen == QtFilter(filter) || chosen == FromUtf8(filter.first)) {
                return PatternsOf(filter.second);
            }
        }
        return std::vector<std::string>();
    };
    TellUnlistedNames(dialog, request.unlistedNote, chosenPatterns, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog.selectedFiles().front();
    // A save names a new file: a U+FFFD in it is no stand-in for an old one.
    const std::optional<std::string> onDisk = request.save ? std::nullopt : PathOnDisk(chosen);
    return FromDesktopPath(onDisk.value_or(chosen.toStdString()));
}

void SetFolderDialogAnswer(FolderDialogAnswer answer)
{
    folderAnswer = std::move(answer);
}

std::string ShowFolderDialog(const FolderDialogRequest& request)
{
    if (folderAnswer) {
        return folderAnswer(request);
    }
    QFileDialog dialog(request.owner, FromUtf8(request.title), FromUtf8(NativePath(request.startFolder)));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    TellUnlistedNames(
        dialog, request.unlistedNote, [] { return std::vector<std::string>(); }, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog.selectedFiles().front();
    return FromDesktopPath(PathOnDisk(chosen).value_or(chosen.toStdString()));
}

void SetColourDialogAnswer(ColourDialogAnswer answer)
{
    colourAnswer = std::move(answer);
}

std::optional<std::int32_t> ShowColourDialog(const ColourDialogRequest& request)
{
    if (colourAnswer) {
        return colourAnswer(request);
    }
    for (int i = 0; i < static_cast<int>(request.custom.size()); ++i) {
        QColorDialog::setCustomColor(i, ColourOf(request.custom[static_cast<std::size_t>(i)]));
    }
    QColorDialog dialog(ColourOf(request.current), request.owner);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return BgrOf(dialog.selectedColor());
}

void SetInputBoxAnswer(InputBoxAnswer answer)
{
    inputAnswer = std::move(answer);
}

std::optional<std::string> ShowInputBox(const InputBoxRequest& request)
{
    if (inputAnswer) {
        return inputAnswer(request);
    }
    bool ok = false;
    const QString text = QInputDialog::getText(request.owner, FromUtf8(request.title), FromUtf8(request.prompt),
                                               QLineEdit::Normal, FromUtf8(request.defaultText), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text.toStdString();
}

} // namespace platform
