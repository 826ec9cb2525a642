#include "cache/FileTransferService.h"

#include "cache/UC_FileHand.h"

namespace cache {

FileTransferService::FileTransferService() : control_(new UC_FileHand()), engine_(control_->Engine())
{
    // Hidden until a copy runs.
    control_->hide();
}

FileTransferService::~FileTransferService()
{
    // A control the window never took is still ours.
    if (control_ != nullptr && control_->parent() == nullptr) {
        delete control_.data();
    }
}

QWidget* FileTransferService::Control()
{
    return control_.data();
}

void FileTransferService::Init(int mode)
{
    if (control_ != nullptr) {
        control_->Init(mode);
    }
}

void FileTransferService::SetDispFN(int mode)
{
    engine_->SetDispFN(mode);
}

int FileTransferService::AdjustX()
{
    return control_ != nullptr ? control_->AdjustX() : 0;
}

int FileTransferService::AdjustY()
{
    return control_ != nullptr ? control_->AdjustY() : 0;
}

int FileTransferService::TranspFile(std::string_view source, std::string_view target, int killTarget, int killSource)
{
    const std::shared_ptr<FileHandEngine> engine = engine_;
    return engine->TranspFile(source, target, killTarget, killSource);
}

} // namespace cache
