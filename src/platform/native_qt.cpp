// The small differences of the systems without POSIX calls (Windows), one function each.
#include "platform/pathrules.h"
#include "platform/shell.h"
#include "platform/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

PathStyle nativePathStyle()
{
    return PathStyle::Windows;
}

QUrl localFileUrl(const QString &path)
{
    return QUrl::fromLocalFile(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

void prepareApplicationStart()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QString programSuffix()
{
    return QStringLiteral(".exe");
}

} // namespace platform
