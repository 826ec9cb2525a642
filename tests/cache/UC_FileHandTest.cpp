#include "cache/UC_FileHand.h"
#include "FileHandFixture.h"
#include "cache/FileHandErrors.h"
#include "controls/MouseTwips.h"
#include "controls/PictureProbe.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_TextPicture.h"
#include "platform/base/Twips.h"
#include "support/Gallery.h"

#include <QPushButton>

#include <gmock/gmock.h>

namespace {

using testing::Each;
using testing::ElementsAre;

namespace fs = std::filesystem;

class FileHandFace : public FileHandFixture {
protected:
    FileHandFace() : savedTwips_(basic::TwipsPerPixel) { basic::TwipsPerPixel = 15; }
    ~FileHandFace() override { basic::TwipsPerPixel = savedTwips_; }

    QRect Geometry(const char* name) const
    {
        const auto* child = control->findChild<QWidget*>(name);
        return child != nullptr ? child->geometry() : QRect();
    }
    void ClickCancel() const
    {
        controls::UC_Buttons& row = *control->CancelButtonRow();
        mousetwips::Click(row, row.width() / 2 * 15.0, row.height() / 2 * 15.0);
    }

    std::unique_ptr<cache::UC_FileHand> control = std::make_unique<cache::UC_FileHand>();

private:
    int savedTwips_;
};

TEST_F(FileHandFace, AdjustXAndAdjustYAreHalfTheFaceInTwips)
{
    EXPECT_EQ(control->AdjustX(), 160 * 15);
    EXPECT_EQ(control->AdjustY(), 50 * 15);
    control->SetSizeRate(1.5F);
    EXPECT_EQ(control->AdjustX(), 240 * 15);
    EXPECT_EQ(control->AdjustY(), 75 * 15);
    basic::TwipsPerPixel = 12;
    control->SetSizeRate(1.0F);
    EXPECT_EQ(control->AdjustX(), 160 * 12);
}

TEST_F(FileHandFace, FaceOneHoldsItsPanelBarAndButtonAtTheirScaledPlaces)
{
    control->Init(1);
    EXPECT_EQ(control->size(), QSize(320, 100));
    EXPECT_EQ(Geometry("PictureParentName"), QRect(0, 0, 320, 100));
    EXPECT_EQ(Geometry("TextMesName"), QRect(20, 20, 280, 20));
    EXPECT_EQ(Geometry("ProgBarName"), QRect(20, 45, 280, 20));
    EXPECT_EQ(Geometry("CancelButtonName"), QRect(110, 70, 100, 20));
    EXPECT_EQ(control->CancelButtonRow()->GetButtonChar(0), "キャンセル");
    EXPECT_EQ(control->CancelButtonRow()->focusPolicy(), Qt::NoFocus);

    auto big = std::make_unique<cache::UC_FileHand>();
    big->SetSizeRate(1.5F);
    big->Init(1);
    EXPECT_EQ(big->size(), QSize(480, 150));
    EXPECT_EQ(big->findChild<QWidget*>("ProgBarName")->geometry(), QRect(30, 68, 420, 30)) << "67.5 rounds to even";
    big->CancelButtonRow()->SetButtonChar(0, "キャンセル");
    big->ProgressBar()->SetValue(700);
    big->MessagePanel()->DispMes(0, "Copying…jingle.wav", 0);
    testsupport::SaveToGallery(big->grab().toImage(), "filehand-face1-size1.5");
}

TEST_F(FileHandFace, WhileCopyingThePanelNamesTheFileTheBarRisesAndCancelEndsWithCodeOne)
{
    control->Init(1);
    control->SetDispFN(2);
    control->show();
    const std::string src = scratch.Write("jingle.wav", Pattern(50));
    const std::string target = scratch.Write("out/jingle.wav", "old");
    std::vector<std::string> texts;
    std::vector<int> values;
    control->MirrorProg = [&](float rate) {
        texts.push_back(control->MessagePanel()->TextMes(0));
        values.push_back(control->ProgressBar()->Value());
        if (rate >= 0.39F) {
            testsupport::SaveToGallery(control->grab().toImage(), "filehand-face1-copying");
            ClickCancel();
        }
    };
    EXPECT_EQ(control->TranspFile(src, target, 1, 0, 10), 0);
    EXPECT_EQ(control->ErrorCode(), cache::filehand::Cancelled);
    EXPECT_EQ(control->ErrorCodeText(), "ユーザーによりキャンセルされました");
    EXPECT_THAT(texts, Each(std::string("Copying…jingle.wav")));
    // The bar follows each pass; the event comes before the bar moves.
    EXPECT_THAT(values, ElementsAre(0, 0, 200));
    EXPECT_EQ(control->ProgressBar()->Value(), 400);
    EXPECT_EQ(control->MessagePanel()->TextMes(0), "") << "cleared at the end";
    EXPECT_EQ(testsupport::ReadText(target), "old");
    EXPECT_THAT(Temporaries(scratch / "out"), testing::IsEmpty());
}

TEST_F(FileHandFace, FaceZeroDrawsItsFrameBarAndMessageAndItsButtonCancels)
{
    control->Init(0);
    ASSERT_NE(control->CancelButton(), nullptr);
    EXPECT_EQ(control->CancelButton()->geometry(), QRect(110, 70, 100, 20));
    control->SetDispFN(2);
    const std::string src = scratch.Write("jingle.wav", Pattern(40));
    const platform::Color caption = platform::GetSysColor(platform::ColorActiveCaption);
    control->MirrorProg = [&](float rate) {
        if (rate == 0.75F) {
            const platform::Surface& face = control->Picture();
            // The pass before left half of the track (320 - 44 px) filled,
            // from 22 px in, between the rows 22 and 27.
            EXPECT_EQ(face.GetPixel(22, 22), caption);
            EXPECT_EQ(face.GetPixel(22 + 137, 27), caption);
            EXPECT_NE(face.GetPixel(22 + 138, 24), caption);
            EXPECT_NE(face.GetPixel(21, 24), caption);
            // The message left-aligned 20 px in, below the bar.
            const QRect text = pictureprobe::Extent(face, QRect(2, 32, 316, 30), [&](platform::Color pixel) {
                return pixel == platform::GetSysColor(platform::ColorBtnText);
            });
            EXPECT_GE(text.left(), 20);
            EXPECT_LE(text.left(), 22);
            EXPECT_GE(text.top(), 38);
            testsupport::SaveToGallery(control->grab().toImage(), "filehand-face0-copying");
            control->CancelButton()->click();
        }
    };
    control->show();
    EXPECT_EQ(control->TranspFile(src, scratch / "t.wav", 1, 0, 10), 0);
    EXPECT_EQ(control->ErrorCode(), cache::filehand::Cancelled);
    EXPECT_FALSE(fs::exists(scratch / "t.wav"));
}

TEST_F(FileHandFace, TheEndOfTheControlCancelsARunningCopy)
{
    control->Init(1);
    const std::string src = scratch.Write("jingle.wav", Pattern(50));
    const std::string target = scratch.Write("t.wav", "old");
    const std::shared_ptr<cache::FileHandEngine> own = control->Engine();
    bool started = false;
    control->MirrorProg = [&](float) { started = true; };
    onPump = [&] {
        if (started && control) {
            control.reset();
        }
    };
    EXPECT_EQ(own->TranspFile(src, target, 1, 0, 10), 0);
    EXPECT_EQ(control, nullptr);
    EXPECT_EQ(own->ErrorCode(), cache::filehand::Cancelled);
    EXPECT_EQ(testsupport::ReadText(target), "old");
    EXPECT_THAT(Temporaries(scratch.Path()), testing::IsEmpty());
}

} // namespace
