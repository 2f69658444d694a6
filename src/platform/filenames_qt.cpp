// The variant of encoding a path for systems whose file names are no bytes: Qt's encoding.
#include "platform/filenames.h"

#include <QFile>

namespace platform {

QByteArray encodeFilePath(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace platform
