// The File menu of the assign table file: the dialogs, the backup and the
// look for a file on removable drives.
#include "foundation/CommonDialogs.h"
#include "foundation/DayLog.h"
#include "foundation/Drives.h"
#include "foundation/FileAccess.h"
#include "foundation/FileLists.h"
#include "foundation/Folders.h"
#include "foundation/HostReachability.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Paths.h"
#include "foundation/Settings.h"
#include "mainwindow/MainState.h"
#include "mainwindow/ports/MainPorts.h"
#include "platform/BusyCursor.h"
#include "platform/ErrorText.h"
#include "platform/EventPump.h"
#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "platform/base/Hooks.h"
#include "playback/AssignFile.h"
#include "playback/AssignPaths.h"
#include "playback/AssignRecords.h"
#include "playback/PagesRules.h"

#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <string>
#include <vector>

using playback::ForEachAssigned;

void AssignFile::MenuFile_Click(int index)
{
    if (state_.SomethingPlays == 1) {
        return;
    }
    platform::DoEvents();
    if (index == 0 || index == 1) {
        ShowFileDialog(index);
    } else if (index == 2) {
        BackUp();
    }
}

std::string AssignFile::DialogStartFolder()
{
    const std::string& txtPath = state_.TlvTxtPath;
    if (!txtPath.empty()) {
        if (FCT_Ping::IsPathHostReachable(txtPath, 1500, 300) != 1) {
            Message(txtPath + "\r\n" + "保存フォルダのある端末を認識できません", platform::IconStop);
        } else if (basic::FolderExists(txtPath) == 0) {
            Message(txtPath + "\r\n" + "保存フォルダを参照できません", platform::IconStop);
        } else {
            return txtPath;
        }
    }
    const std::string& backupPath = state_.TlvBackupPath;
    if (!backupPath.empty()) {
        if (basic::FolderExists(backupPath) != 0) {
            Message("予備フォルダを開きます", platform::IconInformation);
            return backupPath;
        }
        Message(backupPath + "\r\n" + "予備フォルダを参照できません", platform::IconStop);
    }
    return {};
}

void AssignFile::ShowFileDialog(int save)
{
    std::string start;
    {
        platform::ScopedBusyCursor busy;
        start = DialogStartFolder();
    }
    const std::string filter = "tolv file|*." + state_.TlvExtention;
    std::string name = basic::FileDialog(owner_, save, filter, start, "", -1);
    if (name.empty()) {
        return;
    }
    platform::ScopedBusyCursor busy;
    int ok = 0;
    if (save != 0) {
        name = basic::EnsureExtension(name, state_.TlvExtention);
        OpenSaveAssignFile(1, name, ok);
        // Also when the owner lock refused the save.
        SaveSpareCopy(name);
        if (ports_.Playback != nullptr) {
            for (int output = 0; output < std::clamp(state_.NumOut, 0, AssignOutputs); ++output) {
                ports_.Playback->ShowPageTitle(output);
            }
        }
    } else {
        OpenSaveAssignFile(0, name, ok);
    }
}

bool AssignFile::BackupFolderInUse(const std::string& folder) const
{
    bool inUse = playback::StartsWithPath(state_.CurrentFilePath, folder);
    ForEachAssigned(state_, [&](const AssignRecord& record) {
        inUse = inUse || playback::StartsWithPath(record.FileName, folder);
        return !inUse;
    });
    return inUse;
}

void AssignFile::BackUp()
{
    if (state_.SomethingPlays == 1) {
        return;
    }
    // One transfer at a time: a running copy of the cache keeps the control.
    if (ports_.FileTransfer != nullptr && ports_.FileTransfer->Busy()) {
        basic::WriteLog("BackUp refused: a transfer runs", 0, 0);
        return;
    }
    std::string folder = basic::BrowseForFolder(basic::GetSetting("BackUpPath", ""),
                                                basic::LangText("バックアップ先フォルダ", "BackUp Folder"), owner_);
    if (folder.empty()) {
        return;
    }
    folder = basic::FixTrailingSeparator(folder, 0);
    const int answer =
        Message(basic::LangText("バックアップ先フォルダ内容を一旦クリアしますか？", "Remove all files in this folder?"),
                platform::BoxYesNoCancel + platform::IconQuestion);
    if (answer == platform::IdCancel) {
        return;
    }
    if (answer == platform::IdYes) {
        // Never delete a sound that is assigned, or the table in use.
        if (BackupFolderInUse(folder)) {
            Message(basic::LangText("使用中のファイルが含まれるためクリアできません", "Cant clear this folder."),
                    platform::IconStop);
            return;
        }
        basic::DeleteFolderContents(folder, 1, 0, "", 0);
    }
    basic::SaveSetting("BackUpPath", folder);
    const std::string title = state_.CurrentFileTitle.empty() ? std::string("backup") : state_.CurrentFileTitle;
    // A new file: in the table's own form, or UTF-8 when that is in doubt
    // (its lines of names differ from the table's, so none could be kept).
    WriteWith(folder + title + "." + state_.TlvExtention, playback::PathNamesOnly, 1,
              form_.Certain ? form_ : playback::AssignTextForm{}, state_.CurrentFilePath);
    CopySoundsInto(folder);
}

namespace {

// Copies that failed, named as the transfer control's callers name them:
// its error text above the target path. A long list ends with a count.
std::string FailedCopiesText(const std::vector<std::string>& failures)
{
    constexpr std::size_t Shown = 10;
    std::string text;
    for (std::size_t i = 0; i < failures.size() && i < Shown; ++i) {
        text += (i == 0 ? "" : "\n\n") + failures[i];
    }
    if (failures.size() > Shown) {
        text += "\n\n(+" + std::to_string(failures.size() - Shown) + ")";
    }
    return text;
}

} // namespace

void AssignFile::CopySoundsInto(const std::string& folder)
{
    // The copies go through the one transfer control, which shows progress
    // and offers cancel; without it (tests of this file alone) through the
    // file layer's safe copy.
    FileTransferPort* transfer = ports_.FileTransfer;
    QWidget* face = transfer != nullptr ? transfer->Control() : nullptr;
    std::vector<std::string> failures;
    bool canceled = false;
    {
        platform::ScopedBusyCursor busy;
        if (face != nullptr) {
            face->setVisible(true);
        }
        ForEachAssigned(state_, [&](const AssignRecord& record) {
            const std::string target = folder + basic::GetPathPart(record.FileName, 0, 0, 1, 1, 1, 0);
            bool failed = false;
            std::string failure;
            if (FCT_Ping::IsPathHostReachable(record.FileName, 1500, 300) != 1) {
                // Not tried: the copy would wait for a server that is gone.
                failed = true;
                failure = platform::ErrorText(EHOSTUNREACH);
            } else if (basic::FilesDiffer(record.FileName, target, 0, 0, 0) == 1) {
                // Written under a temporary name and renamed, so a cut-off copy
                // never looks like a good one.
                const int copied = transfer != nullptr ? transfer->TranspFile(record.FileName, target, 1, 0)
                                                       : basic::CopyFileOver(record.FileName, target, 1);
                if (transfer != nullptr && transfer->Canceled() == 1) {
                    canceled = true;
                    return false;
                }
                if (copied != 1) {
                    failed = true;
                    failure = transfer != nullptr ? transfer->ErrorCodeText() : basic::SystemErrorText(0);
                }
            }
            if (failed) {
                basic::WriteLog("BackUp copy Failed " + record.FileName + " to " + target + " " + failure, 1, 0);
                failures.push_back(failure + "\n" + target);
            }
            platform::Pump();
            return true;
        });
        if (face != nullptr) {
            face->setVisible(false);
        }
    }
    // A cancelled backup ends without a word, as the operator asked.
    if (!canceled && !failures.empty()) {
        Message(FailedCopiesText(failures), platform::IconStop);
    }
}

void AssignFile::FindRemovableAssignFile()
{
    basic::BuildDriveTable();
    if (basic::DriveTable.empty()) {
        return;
    }
    // Every removable drive is looked at until one holds a file, also while
    // a file is open.
    const playback::RemovableScan scan =
        playback::ScanRemovableDrives(basic::DriveTable, [this](const basic::DriveEntry& drive) {
            std::vector<std::string> files;
            const int count = basic::ListFiles(basic::FixTrailingSeparator(drive.drive, 0), state_.TlvExtention, files,
                                               basic::ListFilesOnly, 0, 1, 0, 1);
            return count > 0 ? files.front() : std::string();
        });
    state_.RemovableDrive = scan.removableDrive;
    if (!scan.found.empty()) {
        state_.CurrentFilePath = scan.found;
    }
}
