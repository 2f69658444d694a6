#include "platform/atomicfile.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

bool fail(QSaveFile &file, QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    file.cancelWriting(); // the temporary file goes with `file`
    return false;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file, error, file.errorString());
    errno = 0;
    // A write cut short by a full disk is no error to QSaveFile: commit() would put the cut
    // file in place and succeed. So every byte must be out of the buffer before committing.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int reason = errno;
        return fail(file, error,
            reason != 0 ? QString::fromLocal8Bit(std::strerror(reason))
                        : QStringLiteral("Not all of the file could be written."));
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace platform
