#pragma once

#include <string_view>

// The assign table file: open, save, the File menu and the look on
// removable drives.
class AssignFilePort {
public:
    virtual ~AssignFilePort() = default;

    // save 0 opens, 1 saves; an empty path stands for the file in use. An
    // open of a missing file takes the session's default file. ok is 1 on
    // success.
    virtual void OpenSaveAssignFile(int save, std::string_view path, int& ok) = 0;
    // Puts the first assign table file in the root of a removable drive into
    // CurrentFilePath (or leaves it empty).
    virtual void FindRemovableAssignFile() = 0;
    // The File menu: 0 open (dialog), 1 save, 2 back up.
    virtual void MenuFile_Click(int index) = 0;
};
