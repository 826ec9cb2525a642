#include "platform/DragData.h"

#include "platform/ServerPaths.h"

#include <QMimeData>
#include <QUrl>

namespace platform {

namespace {

// A file URL of a name as the file system holds it. Going through a QString
// would turn a byte that is no part of a UTF-8 character into U+FFFD, which
// names another file; percent-encoding the bytes keeps every one.
QUrl FileUrlOf(const std::string& native)
{
    const QByteArray bytes(native.data(), static_cast<qsizetype>(native.size()));
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

// The bytes a file URL names: its path percent-decoded byte for byte (never
// through a QString, see above), a host before it as "//host". The host
// "localhost" is this machine (some file managers write it): its path is a
// local one, as that of "file:///path" is.
std::string LocalBytesOf(const QUrl& url)
{
    const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    std::string local;
    if (const QString host = url.host();
        !host.isEmpty() && host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) != 0) {
        local = "//" + host.toStdString();
    }
    local.append(path.constData(), static_cast<std::size_t>(path.size()));
    return local;
}

} // namespace

void DragData::WriteTo(QMimeData& mime) const
{
    QList<QUrl> urls;
    for (const std::string& path : files_) {
        // Other programs see a server path where the shares are mounted.
        const std::string native = NativePath(path);
        if (!native.empty()) {
            urls.push_back(FileUrlOf(native));
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
            const std::string path = LocalBytesOf(url);
            // Only an absolute path names a file whatever the working folder
            // is; "%00" decodes to a NUL, which no file name holds, and such
            // a path would be cut short further on.
            if (path.starts_with('/') && path.find('\0') == std::string::npos) {
                data.AddFile(FromDesktopPath(path));
            }
        }
    }
    return data;
}

} // namespace platform
