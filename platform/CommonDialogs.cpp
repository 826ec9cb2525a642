#include "platform/CommonDialogs.h"

#include "platform/ServerPaths.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QStringList>

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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return FromDesktopPath(dialog.selectedFiles().front().toStdString());
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return FromDesktopPath(dialog.selectedFiles().front().toStdString());
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
