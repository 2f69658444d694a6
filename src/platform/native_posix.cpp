// The small differences of POSIX systems, one function each.
#include "platform/filenames.h"
#include "platform/pathrules.h"
#include "platform/shell.h"
#include "platform/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace platform {

PathStyle nativePathStyle()
{
    return PathStyle::Posix;
}

QUrl localFileUrl(const QString &path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    // "/" stays, everything but the unreserved characters is percent-encoded, byte by byte.
    return QUrl::fromEncoded(
        "file://" + encodeFilePath(absolute).toPercentEncoding("/"), QUrl::StrictMode);
}

void prepareApplicationStart()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

QString programSuffix()
{
    return {};
}

} // namespace platform
