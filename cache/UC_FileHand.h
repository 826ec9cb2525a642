#pragma once

#include "cache/FileHandEngine.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QPushButton;

namespace controls {
class SurfaceBox;
class UC_Bar;
class UC_Buttons;
class UC_TextPicture;
} // namespace controls

namespace platform {
class Surface;
} // namespace platform

namespace cache {

// The file transfer control: copies files with a progress display and a
// cancel button, and replaces a target only with a complete copy. The main
// window keeps one (FH1), hidden until a copy runs; the cache, the backup and
// the folder mirror copy through it. The operations are FileHandEngine's;
// this control gives them a face: 0 a drawn frame with its own button, 1 a
// text panel, a progress bar and a "キャンセル" button row.
class UC_FileHand final : public QWidget {
public:
    explicit UC_FileHand(QWidget* parent = nullptr);
    // Cancels a running operation; it stops at its next check.
    ~UC_FileHand() override;
    UC_FileHand(const UC_FileHand&) = delete;
    UC_FileHand& operator=(const UC_FileHand&) = delete;

    // Sizes the control (320 x 100 pixels times SizeRate) and builds face
    // pMode (0 or 1).
    void Init(int pMode = 0);
    std::int32_t Canceled() const { return engine_->Canceled(); }
    void ProcCancel() { engine_->ProcCancel(); }
    // Half the control's width and height in twips, for centring it.
    std::int32_t AdjustX() const;
    std::int32_t AdjustY() const;
    void SetSizeRate(float rate) { sizeRate_ = rate; }
    float SizeRate() const { return sizeRate_; }
    void SetDispFN(std::int32_t mode) { engine_->SetDispFN(mode); }
    std::int32_t ErrorCode() const { return engine_->ErrorCode(); }
    std::string ErrorCodeText() const { return engine_->ErrorCodeText(); }
    bool Busy() const { return engine_->Busy(); }
    int InitMode() const { return initMode_; }

    std::int32_t MirrorFile(std::string_view sFilename, std::string_view tFilename, std::int32_t pInt = 0,
                            std::int64_t pSize = 0, std::int32_t pSaiki = 0);
    std::int32_t TranspFile(std::string_view sFilename, std::string_view tFilename, std::int32_t KillTarget,
                            std::int32_t KillSource, std::int64_t pSize = 0, std::int32_t pInt = 0,
                            std::int32_t pSaiki = 0);
    std::int32_t DelAllTempfile(std::string_view pFolder, std::int32_t pSlow = 0, std::int32_t pSaiki = 0);
    // The folder mirror and the file compare (FolderMirror, FileCompare).
    std::int32_t MirrorFolder(std::string_view sFolder, std::string_view tFolder, std::int32_t pNoDel,
                              std::int64_t pSize = 0, std::int32_t pInt = 0, std::int32_t pSaiki = 0,
                              std::int32_t pNoSysFolder = 0, std::int32_t pFileCheckDate = 0,
                              std::int32_t pNoSubFolder = 0, std::int32_t pFileCheckMinute = 0,
                              std::int32_t pNoOW = 0);
    std::int32_t MirrorOnlyFolder(std::string_view sFolder, std::string_view tFolder, std::int32_t pSaiki = 0,
                                  std::int32_t pNoSysFolder = 0);
    std::int32_t HikakuFile(std::string_view sFilename, std::string_view tFilename, std::int32_t pInt = 0,
                            std::int64_t pSize = 0);
    static void FindFileInfo(std::string_view path, std::string& timeText, std::int64_t& size);

    // The operations themselves, for the folder mirror and compare.
    const std::shared_ptr<FileHandEngine>& Engine() const { return engine_; }

    // The share of the file copied so far (0..1), once per pass.
    std::function<void(float pRate)> MirrorProg;
    // The share of the files compared so far (0..1), once per pass.
    std::function<void(float pRate)> HikakuProg;

    // The parts of the faces (null until the face is built).
    controls::UC_TextPicture* MessagePanel() const { return textMes_; }
    controls::UC_Bar* ProgressBar() const { return progBar_; }
    controls::UC_Buttons* CancelButtonRow() const { return cancelRow_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    // Face 0's drawing.
    platform::Surface& Picture();

private:
    int Scaled(double pixels) const;
    void BuildFace0();
    void BuildFace1();
    void ShowMessage(std::string_view text, int flag);
    void SetProgress(float rate);

    std::shared_ptr<FileHandEngine> engine_;
    float sizeRate_ = 1.0F;
    int initMode_ = 0;

    // Face 0.
    controls::SurfaceBox* face0_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    // Face 1.
    controls::SurfaceBox* pictureParent_ = nullptr;
    controls::UC_TextPicture* textMes_ = nullptr;
    controls::UC_Bar* progBar_ = nullptr;
    controls::UC_Buttons* cancelRow_ = nullptr;
};

} // namespace cache
