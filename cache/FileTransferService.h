#pragma once

#include "cache/FileHandEngine.h"
#include "cache/UC_FileHand.h"
#include "mainwindow/ports/FileTransferPort.h"

#include <QPointer>

#include <memory>

namespace cache {

// The main window's file transfer control FH1 behind the transfer port. The
// window takes the control into its own tree; the copies keep working
// through the control's operations even after the window has let it go.
class FileTransferService final : public FileTransferPort {
public:
    FileTransferService();
    ~FileTransferService() override;
    FileTransferService(const FileTransferService&) = delete;
    FileTransferService& operator=(const FileTransferService&) = delete;

    QWidget* Control() override;
    void Init(int mode) override;
    void SetDispFN(int mode) override;
    int AdjustX() override;
    int AdjustY() override;

    int TranspFile(std::string_view source, std::string_view target, int killTarget, int killSource) override;
    int Canceled() override { return engine_->Canceled(); }
    int ErrorCode() override { return engine_->ErrorCode(); }
    std::string ErrorCodeText() override { return engine_->ErrorCodeText(); }
    bool Busy() override { return engine_->Busy(); }

    // The control while it exists.
    UC_FileHand* FileHand() const { return control_.data(); }

private:
    QPointer<UC_FileHand> control_;
    std::shared_ptr<FileHandEngine> engine_;
};

} // namespace cache
