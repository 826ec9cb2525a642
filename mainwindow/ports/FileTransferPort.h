#pragma once

#include <string>
#include <string_view>

class QWidget;

// The main window's file-transfer control FH1 (progress of copies, with its
// cancel button), a control of the cache subsystem.
class FileTransferPort {
public:
    virtual ~FileTransferPort() = default;
    // The control itself, to be placed in the window; null while it has none.
    virtual QWidget* Control() = 0;
    virtual void Init(int mode) = 0;
    virtual void SetDispFN(int mode) = 0;
    // Half the progress panel's width and height in twips.
    virtual int AdjustX() = 0;
    virtual int AdjustY() = 0;

    // The safe copy: the target is replaced only by a complete copy. 1 on
    // success; 0 with ErrorCode set (1: the operator cancelled).
    virtual int TranspFile(std::string_view source, std::string_view target, int killTarget, int killSource)
    {
        (void)source;
        (void)target;
        (void)killTarget;
        (void)killSource;
        return 0;
    }
    // 1 once the operator cancelled the running or last operation.
    virtual int Canceled() { return 0; }
    virtual int ErrorCode() { return 0; }
    virtual std::string ErrorCodeText() { return {}; }
    // A transfer runs: the Cache menu and the backup must wait.
    virtual bool Busy() { return false; }
};
