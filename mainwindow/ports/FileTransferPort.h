#pragma once

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
};
