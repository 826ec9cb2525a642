#include "platform/DragData.h"

#include "platform/ServerPaths.h"

#include <QMimeData>
#include <QUrl>

namespace platform {

void DragData::WriteTo(QMimeData& mime) const
{
    QList<QUrl> urls;
    for (const std::string& path : files_) {
        // Other programs see a server path where the shares are mounted.
        const std::string native = NativePath(path);
        if (!native.empty()) {
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(native)));
        }
    }
    mime.setUrls(urls);
}

DragData DragData::ReadFrom(const QMimeData& mime)
{
    DragData data;
    if (!mime.hasUrls()) {
        return data;
    }
    for (const QUrl& url : mime.urls()) {
        if (url.isLocalFile()) {
            const QString path = url.toLocalFile();
            // Only an absolute path names a file whatever the working folder
            // is; "%00" decodes to a NUL, which no file name holds, and such
            // a path would be cut short further on.
            if (path.startsWith(u'/') && !path.contains(QChar(u'\0'))) {
                data.AddFile(FromDesktopPath(path.toStdString()));
            }
        }
    }
    return data;
}

} // namespace platform
