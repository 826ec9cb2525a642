#include "playback/AssignFile.h"

#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Folders.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "foundation/RefusedSaves.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "foundation/Settings.h"
#include "mainwindow/MainState.h"
#include "mainwindow/ports/MainPorts.h"
#include "platform/AtomicFile.h"
#include "platform/KeptOriginal.h"
#include "platform/MessageBox.h"
#include "platform/base/Utf16Text.h"
#include "playback/AssignChecks.h"
#include "playback/AssignFileFormat.h"
#include "playback/AssignLine.h"
#include "playback/AssignPaths.h"
#include "playback/PreRead.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

// The whole file, none when it cannot be read or is larger than any real
// table (it is then not read at all). An empty file is a good file without
// assignments.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(std::string_view path)
{
    const platform::FileContents contents = platform::ReadSettingsFile(std::string(path), playback::MaxAssignFileBytes);
    if (contents.state != platform::FileContents::State::Read) {
        if (contents.state == platform::FileContents::State::Failed) {
            basic::WriteLog("ReadAssignFile " + contents.failure, 1, 0);
        }
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(contents.bytes.begin(), contents.bytes.end());
}

std::string CurrentUserName()
{
    basic::CurrentQuorUser = basic::RegRead("CurrentQuorUser", "", basic::SharedSection);
    return basic::CurrentQuorUser;
}

} // namespace

AssignFile::AssignFile(MainState& state, MainPorts& ports, platform::Form* owner)
    : state_(state), ports_(ports), owner_(owner)
{
}

int AssignFile::Message(std::string_view text, int style)
{
    return basic::ShowMessage(text, style, "", owner_);
}

void AssignFile::OpenSaveAssignFile(int save, std::string_view path, int& ok)
{
    ok = 0;
    const std::string target = path.empty() ? state_.CurrentFilePath : std::string(path);
    if (save != 0) {
        Save(target, ok);
    } else {
        Open(target, ok);
    }
}

bool AssignFile::CheckBeforeOpen(const std::string& path)
{
    if (CheckFileUserLock(path, 0) == 0) {
        Message(basic::LangText("このファイルはユーザーロックされています", "This file is locked"), platform::IconStop);
        return false;
    }
    if (CheckFileSoundPaths(path) == 0) {
        Message(basic::LangText("このファイルには使用できない場所にあるサウンドが含まれます",
                                "This file contains restricted sound drive."),
                platform::IconStop);
        return false;
    }
    return true;
}

void AssignFile::Open(std::string target, int& ok)
{
    if (basic::FileExists(target) == 0) {
        // The session's own file beside the program; while it does not exist
        // the tables stay, but the save on close writes there.
        target = basic::AppPath() + basic::SettingsStoreName + "." + state_.TlvExtention;
        if (basic::FileExists(target) == 0) {
            SetCurrentFile(target);
            ok = 1;
            return;
        }
    }
    if (!CheckBeforeOpen(target)) {
        return;
    }
    AssignTableSet tables = playback::FreshTablesForRead(state_);
    playback::AssignTextForm form;
    if (!LoadTables(target, tables, form)) {
        return;
    }
    SetCurrentFile(target);
    form_ = form;
    playback::ReplaceTables(state_, std::move(tables));
    AfterRead();
    if (state_.AlertNoCache == 1 && state_.AllCached == 0 && ports_.Cache != nullptr) {
        const int answer =
            Message(basic::LangText("キャッシュされていない素材があります。キャッシュしますか？", "Chache files?"),
                    platform::BoxYesNo + platform::IconQuestion);
        if (answer == platform::IdYes) {
            ports_.Cache->CacheAll(0);
        }
    }
    ok = 1;
}

void AssignFile::Save(const std::string& target, int& ok)
{
    const bool existing = basic::FileExists(target) != 0;
    if (existing && CheckFileUserLock(target, 1) == 0) {
        Message(basic::LangText("このファイルはユーザーロックされています", "This file is locked"), platform::IconStop);
        return;
    }
    const basic::RefusedSaves refused;
    const std::string previous = state_.CurrentFilePath;
    const playback::AssignTextForm previousForm = form_;
    // The target is the current file while it is written: its new form is
    // the one read from then on.
    SetCurrentPath(target);
    // A table whose reading may be wrong (in doubt, or of another code
    // page) is written under a new name as a save over its own file writes
    // it: only its own bytes say what its lines hold, so they keep them, and
    // the rest takes its form. A table read for certain is new text in a new
    // file. Under a new name the file it replaces is replaced whole, so its
    // old reading decides nothing.
    std::string source = target;
    playback::AssignTextForm form;
    if (target != previous) {
        source = previousForm.Certain && previousForm.Supported ? std::string() : previous;
        form = previousForm.Certain && previousForm.Supported ? playback::AssignTextForm() : previousForm;
    } else if (existing) {
        // A UTF-16 file holds no table this program reads: it is replaced
        // as a new table would be, not read as 8-bit text.
        if (const auto bytes = ReadFileBytes(target); bytes && !textcodec::Utf16TextOrder(*bytes)) {
            form = playback::ReadAssignText(*bytes).Form;
        }
    }
    form_ = form;
    // A new file gets no owner on its first save: its second save sets it.
    ok = WriteWith(target, state_.Abspath, existing ? 0 : 1, form, source);
    if (ok == 1 || target == previous) {
        SetCurrentFile(target);
    } else {
        // A table that was not written under a new name stays the table it
        // was: its next save must not go to the file that refused it.
        SetCurrentPath(previous);
        form_ = previousForm;
    }
    // A spare copy that could not be written is named in the same box.
    SaveSpareCopy(target);
    if (!refused.Empty()) {
        Message(refused.Text(ok == 1 ? basic::LangText("ボタンアサインは保存しましたが、次の値は保存されませんでした。",
                                                       "The assign table was saved, but not these values:")
                                     : basic::LangText("ボタンアサインを保存できませんでした。",
                                                       "The assign table was not saved:")),
                platform::IconExclamation);
    }
}

void AssignFile::SetCurrentPath(const std::string& path)
{
    state_.CurrentFilePath = path;
    state_.CurrentFileTitle = basic::GetPathPart(path, 0, 0, 1, 0, 0, 0);
}

void AssignFile::SetCurrentFile(const std::string& path)
{
    SetCurrentPath(path);
    if (lastStored_ != path) {
        basic::SaveSetting("LastTlvFilename", path);
        lastStored_ = path;
    }
}

bool AssignFile::LoadTables(const std::string& path, AssignTableSet& tables, playback::AssignTextForm& form)
{
    const auto bytes = ReadFileBytes(path);
    playback::AssignParseResult result;
    if (bytes) {
        result = playback::ParseAssignFile(*bytes, path, state_.SyncDrive, tables);
    }
    if (!bytes || result.BadLine != 0) {
        basic::WriteLog("ReadAssignFile Failed line=" + std::to_string(result.BadLine) +
                            (result.Problem.empty() ? "" : " (" + result.Problem + ")") + " " + path,
                        1, 0);
        Message(basic::LangText("ファイルを読み込めません", "Can not read assign table file"), platform::IconStop);
        return false;
    }
    form = result.Form;
    return true;
}

void AssignFile::AfterRead()
{
    playback::PreReadAll(state_, 1);
    if (ports_.Cache != nullptr) {
        ports_.Cache->CacheAll(1);
    }
    if (ports_.Playback != nullptr) {
        ports_.Playback->ChangePage(0, 0, 1);
    }
    const int outputs = std::clamp(state_.NumOut, 0, AssignOutputs);
    for (int output = 0; output < outputs; ++output) {
        if (parms::IsList[static_cast<std::size_t>(output)] == 1 && ports_.Playback != nullptr) {
            const ListPage& page = state_.ListTable[static_cast<std::size_t>(
                ListTableIndex(output, state_.CurrentPage[static_cast<std::size_t>(output)]))];
            const bool hasRow = std::any_of(page.Items.begin(), page.Items.end(),
                                            [](const AssignRecord& r) { return !r.FileName.empty(); });
            if (hasRow) {
                ports_.Playback->SetListCursor(output, 0, 1, 0);
            }
            ports_.Playback->ShowCurrentItem(output);
        }
        if (ports_.Remote != nullptr) {
            ports_.Remote->SendRemoteListStatus(output, 0);
        }
    }
}

int AssignFile::WriteAssignFile(std::string_view path, int pathMode, int noUser)
{
    return WriteWith(path, pathMode, noUser, form_, state_.CurrentFilePath);
}

int AssignFile::WriteWith(std::string_view path, int pathMode, int noUser, const playback::AssignTextForm& form,
                          const std::string& source)
{
    std::optional<std::string> user;
    if (state_.UseTlvUser >= 1 && noUser == 0) {
        user = CurrentUserName();
    }
    std::vector<std::string> leftOut;
    const std::string text = playback::BuildAssignFile(state_, path, pathMode, user, &leftOut);
    if (!leftOut.empty()) {
        // A name that is no UTF-8 text (a byte of another code page in a file
        // name) reads back in neither encoding; its line would make the table
        // unreadable, so only that entry is not saved.
        std::string keys;
        for (const std::string& key : leftOut) {
            keys += (keys.empty() ? "" : ", ") + key;
        }
        basic::WriteLog("WriteAssignFile: " + std::string(path) + " cannot hold " + keys +
                            ", which is no UTF-8 text; not saved",
                        1, 0);
        for (const std::string& key : leftOut) {
            basic::NoteRefusedSave({key, std::string(path), basic::RefusalReason::NotText, {}});
        }
    }
    const std::optional<std::string> bytes = BytesInForm(path, text, form, source);
    if (!bytes) {
        return 0;
    }
    if (basic::SaveFileAtomic(path, std::string_view(*bytes)) != 1) {
        basic::WriteLog("WriteAssignFile Failed " + std::string(path), 1, 0);
        basic::NoteRefusedSave({{}, std::string(path), basic::RefusalReason::NotWritten, {}});
        return 0;
    }
    if (path == state_.CurrentFilePath) {
        // Only a table that was written is read in its new form from now on.
        form_ = playback::ReadAssignText(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()))
                    .Form;
    }
    return 1;
}

std::optional<std::string> AssignFile::BytesInForm(std::string_view path, const std::string& text,
                                                   const playback::AssignTextForm& form, const std::string& source)
{
    // The lines the source file holds keep their bytes.
    const auto current = source.empty() ? std::nullopt : ReadFileBytes(source);
    if (current && path == source && !textcodec::Utf16TextOrder(*current) &&
        std::find(current->begin(), current->end(), 0) != current->end()) {
        // Zero bytes beside 8-bit text: a UTF-16 stretch, or text whose order
        // could not be told. A table written over it in 8 bits would mix
        // encodings for good.
        basic::WriteLog("WriteAssignFile: " + std::string(path) +
                            ": it holds zero bytes beside its text, as UTF-16 does, but is no UTF-16 text of one byte "
                            "order; nothing is written into it in 8 bits, and it is left as it is; not saved",
                        1, 0);
        basic::NoteRefusedSave({{}, std::string(path), basic::RefusalReason::Encoding, {}});
        return std::nullopt;
    }
    playback::AssignBytes bytes = playback::EncodeAssignText(
        text, current ? std::span<const std::uint8_t>(*current) : std::span<const std::uint8_t>(), form);
    if (!bytes.Bytes) {
        // The table may have been read in the wrong encoding: going over to
        // UTF-8 would write that reading for good.
        basic::WriteLog("WriteAssignFile: " + std::string(path) +
                            (form.Supported ? ": it reads as UTF-8 and as code page 932 alike, and after the change "
                                              "it would read otherwise; not saved: \""
                                            : ": it reads as neither UTF-8 nor code page 932 text; a text that is "
                                              "not ASCII is not saved: \"") +
                            bytes.Refused + "\"",
                        1, 0);
        basic::NoteRefusedSave({bytes.Refused, std::string(path), basic::RefusalReason::Encoding, {}});
        return std::nullopt;
    }
    if (bytes.WentOverToUtf8) {
        // A name that would not come back as it is (saved as "?", as a
        // look-alike, or in bytes the reader takes for UTF-8) would lose its
        // sound; the table goes over to UTF-8 instead. Written over itself,
        // the table first keeps its bytes beside it, in case it was not code
        // page 932 after all.
        if (current && path == source) {
            const platform::KeptOriginal kept = platform::KeepOriginalOnce(
                std::string(path), std::string_view(reinterpret_cast<const char*>(current->data()), current->size()));
            if (!kept.ok) {
                basic::WriteLog("WriteAssignFile: " + std::string(path) + ": " + platform::NotKeptNote(kept), 1, 0);
                basic::NoteRefusedSave(
                    {{}, std::string(path), basic::RefusalReason::NotWritten, platform::NotKeptNote(kept)});
                return std::nullopt;
            }
        }
        basic::WriteLog("WriteAssignFile: " + textcodec::WentOverToUtf8Note(path, bytes.WhyUtf8), 1, 0);
    }
    return std::move(bytes.Bytes);
}

std::string AssignFile::ReadFileUser(std::string_view path)
{
    if (basic::FileExists(path) == 0) {
        return {};
    }
    const auto bytes = ReadFileBytes(path);
    return bytes ? playback::FindFileUser(*bytes) : std::string();
}

int AssignFile::CheckFileUserLock(std::string_view path, int forSave)
{
    if (state_.UseTlvUser == 0) {
        return 1;
    }
    const std::string current = CurrentUserName();
    const std::string owner = ReadFileUser(path);
    if (owner.empty() || owner == current) {
        return 1;
    }
    if (forSave != 0 || state_.UseTlvUser == 2) {
        return 0;
    }
    return 1;
}

int AssignFile::CheckFileSoundPaths(std::string_view path)
{
    if (basic::FileExists(path) == 0) {
        return 0;
    }
    if (state_.SoundDriveCount < 1) {
        return 1;
    }
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        return 0;
    }
    const std::string text = playback::ReadAssignText(*bytes).Text;
    const std::string folder = basic::GetPathPart(path, 1, 1, 0, 0, 0, 0);
    int result = 1;
    playback::ForEachLine(text, [&](std::string_view lineText, int) {
        const playback::AssignLine line = playback::ParseAssignLine(lineText);
        if ((line.Kind != playback::LineButton && line.Kind != playback::LineListItem) || line.Values[0].empty()) {
            return true;
        }
        const std::string sound = playback::StoredToSoundPath(line.Values[0], folder, false, {});
        std::int32_t allowed = 0;
        playback::CheckSoundPath(state_, sound, 0, allowed, owner_);
        if (allowed == 0) {
            result = 0;
            return false;
        }
        return true;
    });
    return result;
}

std::string AssignFile::SpareCopyPath(std::string_view path, std::string_view txtPath, std::string_view backupPath)
{
    std::string relative;
    if (!txtPath.empty() && playback::StartsWithPath(path, txtPath)) {
        relative = std::string(path.substr(txtPath.size()));
    } else {
        relative = basic::GetPathPart(path, 0, 0, 1, 1, 1, 0);
    }
    return std::string(backupPath) + relative;
}

void AssignFile::SaveSpareCopy(std::string_view path)
{
    if (state_.TlvBackupPath.empty() || basic::FolderExists(state_.TlvBackupPath) == 0) {
        return;
    }
    const std::string spare = SpareCopyPath(path, state_.TlvTxtPath, state_.TlvBackupPath);
    basic::MakeFolderTree(basic::GetPathPart(spare, 1, 1, 0, 0, 0, 0));
    WriteWith(spare, state_.Abspath, 0, form_, state_.CurrentFilePath);
}
