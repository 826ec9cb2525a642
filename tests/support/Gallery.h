#pragma once

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testsupport {

// Writes what a test drew to $TOLV_GALLERY/<name>.png, so that a person can
// look at it; small pictures are enlarged pixel for pixel. Nothing when the
// variable is unset.
inline void SaveToGallery(const QImage& image, const std::string& name, int scale = 1)
{
    const char* folder = std::getenv("TOLV_GALLERY");
    if (folder == nullptr || *folder == '\0' || image.isNull()) {
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const QImage shown = scale > 1 ? image.scaled(image.width() * scale, image.height() * scale, Qt::IgnoreAspectRatio,
                                                  Qt::FastTransformation)
                                   : image;
    shown.save(QString::fromStdString(std::string(folder) + "/" + name + ".png"));
}

} // namespace testsupport
