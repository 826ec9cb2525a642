#pragma once

#include "mainwindow/ports/AssignFilePort.h"
#include "platform/base/TextCodec.h"
#include "playback/AssignFileFormat.h"
#include "playback/AssignRecords.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct MainState;
struct MainPorts;
namespace platform {
class Form;
}

// The assign table file between the main window and the disk: open, save
// (atomic), save as, the session's default file, the owner lock, the allowed
// sound locations, the spare copy, the backup of the table and its sounds, and
// the File menu. A file is read completely before it replaces the tables, so a
// damaged file changes nothing. A file read as code page 932 is written back
// as code page 932 (other machines read it) while it can be; a new file is
// UTF-8, but a table whose reading may be wrong keeps its form and its lines'
// bytes under a new name too; a byte order mark stays, and a table that goes
// over to UTF-8 gets one.
class AssignFile final : public AssignFilePort {
public:
    // owner centres the messages and dialogs; ports reach the page display,
    // the list cursor, the remote status and the cache.
    AssignFile(MainState& state, MainPorts& ports, platform::Form* owner);

    void OpenSaveAssignFile(int save, std::string_view path, int& ok) override;
    void FindRemovableAssignFile() override;
    void MenuFile_Click(int index) override;

    // Writes the live tables to path atomically with the given path mode
    // (PathFull or PathNamesOnly); noUser 1 leaves the user line out. 1 when
    // written; 0 leaves any old file as it was.
    int WriteAssignFile(std::string_view path, int pathMode, int noUser);
    // The owner's name of a file ("" when it has none or cannot be read).
    static std::string ReadFileUser(std::string_view path);
    // 1 when the current user may open (forSave 0) or save the file.
    int CheckFileUserLock(std::string_view path, int forSave);
    // 1 when every sound of the existing file lies in an allowed location.
    int CheckFileSoundPaths(std::string_view path);
    // Writes the spare copy of a just-saved file, when the spare folder exists.
    void SaveSpareCopy(std::string_view path);
    // Where the spare copy of path goes: the spare folder and the path below
    // the assign table folder, or the file name when it lies elsewhere.
    static std::string SpareCopyPath(std::string_view path, std::string_view txtPath, std::string_view backupPath);
    // The File menu's backup: the table and every assigned sound copied into
    // a chosen folder.
    void BackUp();

    textcodec::Encoding CurrentEncoding() const { return form_.Encoding; }

private:
    void Open(std::string target, int& ok);
    void Save(const std::string& target, int& ok);
    // Reads the whole file into tables; false (after the message) when it
    // cannot be read or a line is bad.
    bool LoadTables(const std::string& path, AssignTableSet& tables, playback::AssignTextForm& form);
    // The pre-read, the cache check, page 1 everywhere, the list cursors and
    // the remote list status, after new tables were put in place.
    void AfterRead();
    // The current file and its title; SetCurrentFile also stores it as the
    // last file.
    void SetCurrentPath(const std::string& path);
    void SetCurrentFile(const std::string& path);
    bool CheckBeforeOpen(const std::string& path);
    // Writes the tables to path in form; the lines that the file at source
    // holds keep their bytes.
    int WriteWith(std::string_view path, int pathMode, int noUser, const playback::AssignTextForm& form,
                  const std::string& source);
    // The bytes of text in form, checked as the next open reads them; nothing
    // (after the log line, and noted for the box) when a table in doubt would
    // read otherwise, or when a table going over to UTF-8 over its own file
    // cannot keep that file's bytes.
    std::optional<std::string> BytesInForm(std::string_view path, const std::string& text,
                                           const playback::AssignTextForm& form, const std::string& source);
    void ShowFileDialog(int save);
    std::string DialogStartFolder();
    bool BackupFolderInUse(const std::string& folder) const;
    void CopySoundsInto(const std::string& folder);
    int Message(std::string_view text, int style);

    MainState& state_;
    MainPorts& ports_;
    platform::Form* owner_;
    playback::AssignTextForm form_;
    // The last file this session stored as LastTlvFilename: a save of the
    // file just opened stores nothing new, and a name the store refused is
    // not refused (and logged) again.
    std::optional<std::string> lastStored_;
};
