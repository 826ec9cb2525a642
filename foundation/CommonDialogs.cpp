#include "foundation/CommonDialogs.h"

#include "foundation/DayLog.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Paths.h"
#include "platform/CommonDialogs.h"
#include "platform/Files.h"
#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "platform/base/Hooks.h"
#include "platform/base/TextCodec.h"

#include <QWidget>

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace basic {

namespace {

// Flags of the open and save dialogs.
constexpr int flagOverwritePrompt = 0x2;
constexpr int flagFileMustExist = 0x1000;
constexpr int defaultSaveFlags = 0x80006;
constexpr int defaultOpenFlags = 0x81104;

std::vector<std::pair<std::string, std::string>> ParseFilter(std::string_view filter)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const std::size_t bar = filter.find('|', start);
        const std::size_t end = bar == std::string_view::npos ? filter.size() : bar;
        parts.emplace_back(filter.substr(start, end - start));
        if (bar == std::string_view::npos) {
            break;
        }
        start = bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i + 1].empty()) {
            pairs.emplace_back(parts[i], parts[i + 1]);
        }
    }
    return pairs;
}

std::string UnlistedNote()
{
    return LangText("名前が UTF-8 でないため一覧にないもの（使うには名前を変えてください）:",
                    "Not listed, as their names are not UTF-8 (rename them to use them):");
}

// A dialog that takes names as text (a desktop's own one) may hand back a
// name that is no UTF-8 text with U+FFFD in place of its byte, which names
// no file: refused as a dropped file of such a name is, never taken for it.
std::string RealOrRefused(std::string chosen, QWidget* owner)
{
    platform::FileStatus status;
    if (chosen.find(textcodec::ReplacementCharacter) == std::string::npos ||
        platform::files::Stat(chosen, status, false)) {
        return chosen;
    }
    WriteLog("File dialog: " + chosen +
                 " names no file: a name that is not UTF-8 shows so in a dialog; rename the file to use it",
             1, 0);
    ShowMessage(LangText("この場所の素材は使用できません", "Invalid Path.") + "\r\n" + chosen, platform::IconStop, "",
                dynamic_cast<platform::Form*>(owner != nullptr ? owner->window() : nullptr));
    return {};
}

} // namespace

std::string BrowseForFolder(std::string_view startFolder, std::string_view title, QWidget* owner)
{
    platform::FolderDialogRequest request;
    request.owner = owner;
    request.title = title.empty() ? std::string("フォルダを選択してください") : std::string(title);
    request.startFolder = FixTrailingSeparator(startFolder, 1);
    if (request.startFolder.empty() && !startFolder.empty() && (startFolder[0] == '/' || startFolder[0] == '\\')) {
        request.startFolder = "/"; // the root has nothing left without its separator
    } else if (request.startFolder.empty()) {
        std::error_code error;
        request.startFolder = std::filesystem::current_path(error).string();
    }
    request.unlistedNote = UnlistedNote();
    const std::string chosen = RealOrRefused(platform::ShowFolderDialog(request), owner);
    return chosen.empty() ? std::string() : FixTrailingSeparator(chosen, 0);
}

std::string FileDialog(QWidget* owner, int isSave, std::string_view filter, std::string_view initialFolder,
                       std::string_view fileName, int flags)
{
    if (flags == -1) {
        flags = isSave == 1 ? defaultSaveFlags : defaultOpenFlags;
    }
    platform::FileDialogRequest request;
    request.owner = owner;
    request.save = isSave != 0;
    request.filters = ParseFilter(filter);
    request.initialFolder = FixTrailingSeparator(initialFolder, 1);
    request.fileName = std::string(fileName);
    request.overwritePrompt = (flags & flagOverwritePrompt) != 0;
    request.mustExist = (flags & flagFileMustExist) != 0;
    request.unlistedNote = UnlistedNote();
    std::string chosen = platform::ShowFileDialog(request);
    // Let the windows under the dialog repaint before the caller goes on.
    platform::Pump();
    platform::Pump();
    return RealOrRefused(std::move(chosen), owner);
}

} // namespace basic

namespace FCT_GetColor {

std::int32_t GetColor(std::int32_t initialColour, QWidget* owner)
{
    platform::ColourDialogRequest request;
    request.owner = owner;
    request.custom.fill(0xFFFFFF);
    request.custom[0] = initialColour;
    // The dialog opens on black; the colour in use waits as the first custom
    // colour, a click away.
    request.current = 0;
    return platform::ShowColourDialog(request).value_or(initialColour);
}

} // namespace FCT_GetColor
