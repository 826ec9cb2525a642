#include "dialogs/FrmSplash.h"

#include "foundation/ModuleValues.h"
#include "support/Gallery.h"
#include "support/ScratchFolder.h"

#include <QImage>
#include <QPixmap>

#include <gmock/gmock.h>

#include <filesystem>

namespace {

class Splash : public testing::Test {
protected:
    void SetUp() override
    {
        basic::LogError = 1;
        basic::LogFolder = folder.Folder("log");
    }
    void TearDown() override { basic::LogFolder.clear(); }

    std::string ErrorLog() const
    {
        std::string text;
        for (const auto& entry : std::filesystem::directory_iterator(folder / "log")) {
            text += testsupport::ReadText(entry.path().string());
        }
        return text;
    }

    testsupport::ScratchFolder folder;
    FrmSplash splash;
};

TEST_F(Splash, ShowsThePictureFromItsTopLeftInAWindowOf640By480)
{
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(QColor(200, 40, 40));
    const std::string path = folder / "tolv_splash.bmp";
    ASSERT_TRUE(picture.save(QString::fromStdString(path), "BMP"));

    splash.Show(path);
    QWidget* window = splash.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->size(), QSize(640, 480));
    const QImage shown = window->grab().toImage();
    testsupport::SaveToGallery(shown, "splash-window");
    EXPECT_EQ(shown.pixelColor(10, 10), QColor(200, 40, 40));
    EXPECT_EQ(shown.pixelColor(319, 199), QColor(200, 40, 40));
    EXPECT_EQ(shown.pixelColor(400, 300), QColor(Qt::black));

    splash.Unload();
    EXPECT_EQ(splash.Window(), nullptr);
}

TEST_F(Splash, AFileThatIsNoPictureShowsNothingAndIsLogged)
{
    const std::string path = folder.Write("tolv_splash.bmp", "not a bitmap");
    splash.Show(path);
    EXPECT_EQ(splash.Window(), nullptr);
    EXPECT_THAT(ErrorLog(), testing::HasSubstr("tolv_splash.bmp cannot be read"));
    splash.Unload();
}

} // namespace
