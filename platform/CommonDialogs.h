#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QWidget;

// The desktop's open, save, folder, colour and text-input dialogs. Each one
// has a test seam: while an answer is set, no dialog opens and the answer's
// result is returned, so no test waits on a modal window.
namespace platform {

struct FileDialogRequest {
    QWidget* owner = nullptr;
    bool save = false;
    // Pairs of description and patterns ("*.wav;*.mp3"); patterns match
    // regardless of case, as the program's files come from Windows machines.
    std::vector<std::pair<std::string, std::string>> filters;
    std::string initialFolder;
    std::string fileName;
    bool overwritePrompt = false; // save: ask before replacing a file
    bool mustExist = false;       // open: only existing files
    // Said under the list, before the names, when the folder shown holds
    // names that are no UTF-8 text: Qt leaves them out of the list.
    std::string unlistedNote{};
};
// The chosen path, or "" when cancelled. A path in a mounted server share
// comes back as a server path ("//host/share/..."), as do chosen folders.
// An open dialog gives a name that is no UTF-8 text back byte for byte when
// it can tell which one the U+FFFD that Qt shows in it stands for; else the
// path comes back with U+FFFD in it, naming no file.
std::string ShowFileDialog(const FileDialogRequest& request);
using FileDialogAnswer = std::function<std::string(const FileDialogRequest&)>;
void SetFileDialogAnswer(FileDialogAnswer answer);

struct FolderDialogRequest {
    QWidget* owner = nullptr;
    std::string title;
    std::string startFolder;
    std::string unlistedNote{}; // as for the file dialog
};
// The chosen folder (without a trailing "/"), or "" when cancelled; names
// that are no UTF-8 text as from the open dialog.
std::string ShowFolderDialog(const FolderDialogRequest& request);
using FolderDialogAnswer = std::function<std::string(const FolderDialogRequest&)>;
void SetFolderDialogAnswer(FolderDialogAnswer answer);

struct ColourDialogRequest {
    QWidget* owner = nullptr;
    std::int32_t current = 0; // &HBBGGRR the dialog opens on
    std::array<std::int32_t, 16> custom{};
};
// The chosen colour (&HBBGGRR), or none when cancelled.
std::optional<std::int32_t> ShowColourDialog(const ColourDialogRequest& request);
using ColourDialogAnswer = std::function<std::optional<std::int32_t>(const ColourDialogRequest&)>;
void SetColourDialogAnswer(ColourDialogAnswer answer);

struct InputBoxRequest {
    QWidget* owner = nullptr;
    std::string prompt;
    std::string title;
    std::string defaultText;
};
// The typed text, or none when cancelled.
std::optional<std::string> ShowInputBox(const InputBoxRequest& request);
using InputBoxAnswer = std::function<std::optional<std::string>(const InputBoxRequest&)>;
void SetInputBoxAnswer(InputBoxAnswer answer);

// A wildcard pattern that matches regardless of case ("*.wav" -> "*.[wW][aA][vV]").
std::string CaseBlindPattern(const std::string& pattern);

} // namespace platform
